// The program's own windows under the skin: switching it off gives them their
// plain look and size back, switching it on frames them again, and the
// windows keep working either way.
#include "FormFixture.h"
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "skin/SkinData.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinManager.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace {

class SkinProgramTest : public FormFixture {
protected:
    void LogIn()
    {
        makeRegister();
        createForms();
        pump(1200);
        ASSERT_TRUE(form2->isVisible());
        enterPassword(QString::fromLatin1(kAdminPassword));
        pump(100);
        ASSERT_TRUE(form1->isVisible());
    }
    static TSkinForm* FrameOf(QWidget* w) { return TSkinManager::Instance()->FindSkinForm(w); }
};

TEST_F(SkinProgramTest, SwitchingTheSkinOffAndOnKeepsTheWindowsWhole)
{
    LogIn();
    TSkinForm* frame = FrameOf(form1.get());
    ASSERT_NE(frame, nullptr);
    const QSize skinned = form1->size();
    const QPoint client(frame->LeftWidth(), frame->TopHeight());
    EXPECT_EQ(skinned,
              QSize(716 + frame->LeftWidth() + frame->RightWidth(), 687 + frame->TopHeight() + frame->BottomHeight()));
    EXPECT_TRUE(SkinEvents::AnswersSkinned(form1->Button4));
    EXPECT_TRUE(SkinEvents::AnswersSkinned(form1->PageControl1));

    form1->SkinData1->SetActive(false);
    pump(400);
    EXPECT_EQ(FrameOf(form1.get()), nullptr);
    EXPECT_EQ(form1->size(), QSize(716, 687));
    EXPECT_EQ(form1->PageControl1->pos(), QPoint(0, 97));
    EXPECT_FALSE(SkinEvents::AnswersSkinned(form1->Button4));

    // The register works in the plain look.
    form1->Button_First->click();
    pump(50);
    EXPECT_TRUE(form1->isVisible());

    form1->SkinData1->SetActive(true);
    pump(400);
    ASSERT_NE(FrameOf(form1.get()), nullptr);
    EXPECT_EQ(form1->size(), skinned);
    EXPECT_EQ(form1->PageControl1->pos(), client + QPoint(0, 97));
    EXPECT_TRUE(SkinEvents::AnswersSkinned(form1->Button4));
    EXPECT_TRUE(boxes.isEmpty()) << boxTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(SkinProgramTest, TheProgramsWindowsAreSkinnedWhenTheyShow)
{
    LogIn();
    EXPECT_NE(FrameOf(form2.get()), nullptr) << "the login window keeps its frame while hidden";
    EXPECT_NE(FrameOf(form1.get()), nullptr);
    // The tray menu is one of the main window's own menus: its items are drawn by the skin.
    EXPECT_TRUE(form1->PopupMenu1->property("skinOwnerDrawn").toBool());
}

} // namespace

// The manager: which windows and popups get skinned, the switch and its
// actions, and the matching of controls to skinners.
#include "skin/engine/SkinManager.h"
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"
#include "skin/engine/SkinBox.h"
#include "skin/engine/SkinButton.h"
#include "skin/engine/SkinEdit.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinGroupBox.h"
#include "skin/engine/SkinPopupMenu.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window that asks to be left alone.
class ExemptWindow : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == SkinEvents::kQuery) {
            static_cast<SkinEvents::TSkinQueryEvent*>(e)->Answer = 1;
            return true;
        }
        return QWidget::event(e);
    }
};

class SkinManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallSkinManager();
        data = LoadedShippedSkin();
        manager = TSkinManager::Ensure();
        manager->Register(data.get());
        manager->SetSkinningOn(true);
    }
    void TearDown() override
    {
        data.reset();
        TSkinManager::DestroyInstance();
    }
    // A shown window of the given size.
    static void Show(QWidget& w)
    {
        w.resize(300, 200);
        w.show();
    }
    TSkinForm* SkinAndSetUp(QWidget& w)
    {
        if (!manager->SkinWindow(&w))
            return nullptr;
        QCoreApplication::sendPostedEvents(&w, SkinEvents::kFinishSetup);
        return manager->FindSkinForm(&w);
    }
    std::unique_ptr<TSkinData> data;
    TSkinManager* manager = nullptr;
};

TEST_F(SkinManagerTest, WindowsThatMustStayPlain)
{
    // Tag 99 exempts a form whatever DisableTag holds.
    data->SetDisableTag(5);
    QWidget tagged;
    tagged.setProperty("Tag", 99);
    Show(tagged);
    EXPECT_FALSE(manager->SkinWindow(&tagged));

    ExemptWindow exempt;
    Show(exempt);
    EXPECT_FALSE(manager->SkinWindow(&exempt));

    QWidget empty; // no area yet
    empty.resize(0, 0);
    EXPECT_FALSE(manager->SkinWindow(&empty));

    QWidget popup(nullptr, Qt::Popup);
    Show(popup);
    EXPECT_FALSE(manager->SkinWindow(&popup));

    manager->SetSkinningOn(false);
    QWidget plain;
    Show(plain);
    EXPECT_FALSE(manager->SkinWindow(&plain));
    EXPECT_TRUE(manager->Forms().isEmpty());
}

TEST_F(SkinManagerTest, AWindowIsSkinnedOnceAndAnswersSkinned)
{
    QWidget form;
    Show(form);
    TSkinForm* frame = SkinAndSetUp(form);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsReady());
    EXPECT_TRUE(SkinEvents::AnswersSkinned(&form));
    EXPECT_FALSE(manager->SkinWindow(&form));
    EXPECT_EQ(manager->Forms().size(), 1);
}

TEST_F(SkinManagerTest, MessageBoxesTakeTheDialogSkinWhenThereIsOne)
{
    QMessageBox box;
    box.setText(QStringLiteral("添加成功."));
    Show(box);
    ASSERT_NE(SkinAndSetUp(box), nullptr);
    EXPECT_EQ(manager->FindSkinForm(&box)->SkinData(), data.get());
    manager->RemoveSkinForm(manager->FindSkinForm(&box));

    auto dialogSkin = LoadedShippedSkin();
    dialogSkin->SetSkinFormtype(TSkinData::sfDialog);
    manager->Register(dialogSkin.get());
    ASSERT_NE(SkinAndSetUp(box), nullptr);
    EXPECT_EQ(manager->FindSkinForm(&box)->SkinData(), dialogSkin.get());

    // A plain window keeps the main skin.
    QWidget form;
    Show(form);
    ASSERT_NE(SkinAndSetUp(form), nullptr);
    EXPECT_EQ(manager->FindSkinForm(&form)->SkinData(), data.get());
    dialogSkin.reset();
    EXPECT_EQ(manager->FindSkinForm(&box), nullptr);
}

TEST_F(SkinManagerTest, ControlsAreMatchedToTheirSkinners)
{
    data->SetDisableTag(42);
    QWidget form;
    auto* button = new QPushButton(QStringLiteral("添加"), &form);
    auto* edit = new QLineEdit(&form);
    auto* panel = new QFrame(&form);
    auto* inPanel = new QPushButton(QStringLiteral("刷"), panel);
    auto* exempt = new QFrame(&form);
    exempt->setProperty("Tag", 42);
    auto* insideExempt = new QPushButton(QStringLiteral("x"), exempt);
    auto* group = new QGroupBox(QStringLiteral("g"), &form);
    Show(form);
    TSkinForm* frame = SkinAndSetUp(form);
    ASSERT_NE(frame, nullptr);

    EXPECT_NE(qobject_cast<TSkinButton*>(frame->SkinnerOf(button)), nullptr);
    EXPECT_NE(qobject_cast<TSkinEdit*>(frame->SkinnerOf(edit)), nullptr);
    EXPECT_NE(qobject_cast<TSkinBox*>(frame->SkinnerOf(panel)), nullptr);
    EXPECT_NE(qobject_cast<TSkinButton*>(frame->SkinnerOf(inPanel)), nullptr);
    EXPECT_NE(qobject_cast<TSkinGroupBox*>(frame->SkinnerOf(group)), nullptr);
    EXPECT_EQ(frame->SkinnerOf(exempt), nullptr);
    EXPECT_EQ(frame->SkinnerOf(insideExempt), nullptr);
    for (QWidget* w : {static_cast<QWidget*>(button), static_cast<QWidget*>(edit), static_cast<QWidget*>(inPanel)})
        EXPECT_TRUE(SkinEvents::AnswersSkinned(w));
    EXPECT_FALSE(SkinEvents::AnswersSkinned(insideExempt));

    // The panel's face colour goes back with the frame.
    EXPECT_EQ(panel->palette().color(QPalette::Window), data->FaceColour());
    manager->RemoveSkinForm(frame);
    EXPECT_EQ(panel->palette().color(QPalette::Window), form.palette().color(QPalette::Window));
    EXPECT_FALSE(SkinEvents::AnswersSkinned(button));
}

TEST_F(SkinManagerTest, SkinControlsAndClassLinesDecideWhatIsSkinned)
{
    data->SetSkinControls(data->SkinControls() & ~TSkinData::Bit(TSkinData::xcPanel));
    data->SetSkin3rd({QStringLiteral("QLineEdit=nil"), QStringLiteral("qpushbutton=Button")});
    QWidget form;
    auto* group = new QGroupBox(QStringLiteral("g"), &form);
    auto* inGroup = new QPushButton(QStringLiteral("b"), group);
    auto* edit = new QLineEdit(&form);
    Show(form);
    TSkinForm* frame = SkinAndSetUp(form);
    ASSERT_NE(frame, nullptr);
    // Without xcPanel a group box stays plain, but what it holds is skinned.
    EXPECT_EQ(frame->SkinnerOf(group), nullptr);
    EXPECT_NE(qobject_cast<TSkinButton*>(frame->SkinnerOf(inGroup)), nullptr);
    EXPECT_EQ(frame->SkinnerOf(edit), nullptr);
}

TEST_F(SkinManagerTest, SwitchingActiveOffAndOnRemovesAndReappliesFrames)
{
    data->SetActive(true);
    QWidget form;
    auto* button = new QPushButton(QStringLiteral("b"), &form);
    Show(form);
    manager->SetStartCount(1);
    QSignalSpy changed(data.get(), &TSkinData::SkinChanged);

    data->SetActive(false);
    QTest::qWait(400);
    EXPECT_FALSE(manager->SkinningOn());
    EXPECT_EQ(manager->FindSkinForm(&form), nullptr);
    EXPECT_FALSE(SkinEvents::AnswersSkinned(button));
    EXPECT_EQ(changed.count(), 1);

    data->SetActive(true);
    QTest::qWait(400);
    EXPECT_TRUE(manager->SkinningOn());
    ASSERT_NE(manager->FindSkinForm(&form), nullptr);
    EXPECT_TRUE(SkinEvents::AnswersSkinned(button));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(SkinManagerTest, ShownAndActivatedWindowsAreSkinnedByTheHook)
{
    manager->InstallHook();
    QWidget form;
    Show(form);
    QCoreApplication::sendPostedEvents();
    ASSERT_NE(manager->FindSkinForm(&form), nullptr);
    EXPECT_TRUE(manager->FindSkinForm(&form)->IsReady());
}

TEST_F(SkinManagerTest, EachOpenPopupHasItsSkinnerAndTheLastCloseResetsTheKind)
{
    QMenu first;
    first.addAction(QStringLiteral("显示窗口"));
    QMenu second;
    second.addAction(QStringLiteral("退出程序"));
    manager->SetPendingPopupKind(TSkinManager::PopupKind::SystemMenu);
    manager->SkinPopupMenu(&first);
    manager->SkinPopupMenu(&second);
    ASSERT_NE(manager->FindPopupMenu(&first), nullptr);
    ASSERT_NE(manager->FindPopupMenu(&second), nullptr);
    EXPECT_NE(manager->FindPopupMenu(&first), manager->FindPopupMenu(&second));
    manager->ReleasePopupMenu(&first);
    EXPECT_EQ(manager->PendingPopupKind(), TSkinManager::PopupKind::SystemMenu);
    manager->ReleasePopupMenu(&second);
    EXPECT_EQ(manager->PendingPopupKind(), TSkinManager::PopupKind::PopupMenu);
    EXPECT_TRUE(manager->PopupMenus().isEmpty());

    QMenu exempt;
    exempt.setProperty("Tag", data->DisableTag());
    manager->SkinPopupMenu(&exempt);
    EXPECT_EQ(manager->FindPopupMenu(&exempt), nullptr);
}

} // namespace

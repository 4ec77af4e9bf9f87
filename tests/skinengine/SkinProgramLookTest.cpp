// The program's windows as drawn with the shipped skin, checked on grabbed
// images: the caption's icon and text back, the scroll bars, buttons after
// their window was hidden, and the selected item of the tray menu.
#include "FormFixture.h"
#include "app/ProgramIcon.h"
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "skin/SkinData.h"
#include "skin/SkinElements.h"
#include "skin/engine/SkinCaptionButtons.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinManager.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTest>
#include <cmath>

namespace {

class SkinProgramLookTest : public FormFixture {
protected:
    void LogIn()
    {
        makeRegister();
        createForms();
        pump(1200);
        ASSERT_TRUE(form2->isVisible());
        EnterPassword();
        ASSERT_TRUE(form1->isVisible());
    }
    void EnterPassword()
    {
        enterPassword(QString::fromLatin1(kAdminPassword));
        pump(300);
    }
    static TSkinForm* FrameOf(QWidget* w) { return TSkinManager::Instance()->FindSkinForm(w); }
    static QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static TCaptionButton* IconButton(TSkinForm* frame)
    {
        for (const auto& b : frame->CaptionButtons())
            if (b->Element->Action == CaptionAction::WindowIcon && b->Visible)
                return b.get();
        return nullptr;
    }
    static void MoveOver(QWidget* w)
    {
        const QPoint at = w->rect().center();
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
};

double Luminance(const QColor& c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(SkinProgramLookTest, TheMainWindowsIconButtonShowsTheProgramsIcon)
{
    LogIn();
    TSkinForm* frame = FrameOf(form1.get());
    ASSERT_NE(frame, nullptr);
    TCaptionButton* icon = IconButton(frame);
    ASSERT_NE(icon, nullptr);
    const QImage window = Grab(form1.get());
    const QImage expected = ProgramIcon().pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QRect placed(QPoint(), expected.size());
    placed.moveCenter(icon->Rect.center());
    int opaque = 0, same = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QColor want = expected.pixelColor(x, y);
            if (want.alpha() < 255)
                continue;
            ++opaque;
            const QColor got = window.pixelColor(placed.topLeft() + QPoint(x, y));
            if (std::abs(got.red() - want.red()) <= 2 && std::abs(got.green() - want.green()) <= 2
                && std::abs(got.blue() - want.blue()) <= 2)
                ++same;
        }
    ASSERT_GT(opaque, 60);
    EXPECT_GE(same * 100 / opaque, 95) << same << " of " << opaque << " icon pixels";
}

TEST_F(SkinProgramLookTest, TheLoginWindowHasNoSystemMenuToOpenOrCloseItWith)
{
    makeRegister();
    createForms();
    pump(1200);
    ASSERT_TRUE(form2->isVisible());
    TSkinForm* frame = FrameOf(form2.get());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(IconButton(frame), nullptr);
    // Where the skin puts the icon button, and the caption beside it.
    for (const QPoint at : {QPoint(15, 14), QPoint(40, 10)}) {
        QTest::mouseClick(form2.get(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form2.get(), Qt::LeftButton, {}, at);
        QTest::mouseClick(form2.get(), Qt::RightButton, {}, at);
        pump(50);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_TRUE(form2->isVisible());
    }
    EXPECT_FALSE(form1->HasClosed());
}

TEST_F(SkinProgramLookTest, TheCaptionsTextBackIsAsWideAsThePaintedText)
{
    LogIn();
    TSkinForm* frame = FrameOf(form1.get());
    ASSERT_NE(frame, nullptr);
    const TDataSkinTitle* title = form1->SkinData1->Title();
    const QRect back = frame->CaptionTextRect();
    const QImage window = Grab(form1.get());
    // The text back ends where its box ends: its own pixels inside, the
    // caption's beyond.
    const int row = frame->TopHeight() / 2;
    const QImage art = title->Bitmap;
    const int artWidth = art.width() / 2;
    EXPECT_EQ(window.pixelColor(back.right(), row), art.pixelColor(artWidth - 1, art.height() / 2));
    EXPECT_NE(window.pixelColor(back.right() + 2, row), art.pixelColor(artWidth - 1, art.height() / 2));
    // The text's ink: light pixels on the dark text back.
    int inkLeft = -1, inkRight = -1;
    for (int x = back.left(); x <= back.right(); ++x)
        for (int y = 0; y < frame->TopHeight(); ++y) {
            const QColor c = window.pixelColor(x, y);
            if (c.red() >= 200 && c.green() >= 200 && c.blue() >= 200) {
                if (inkLeft < 0)
                    inkLeft = x;
                inkRight = x;
            }
        }
    ASSERT_GE(inkLeft, 0);
    // The caption is " " + title + "  ", between the text back's margins.
    const int space = QFontMetrics(frame->CaptionFont()).horizontalAdvance(QLatin1Char(' '));
    EXPECT_NEAR(inkLeft, back.left() + title->TxtBackLeft + space, 2);
    EXPECT_NEAR(inkRight, back.right() - title->TxtBackRight - 2 * space, 2);
}

TEST_F(SkinProgramLookTest, TheRecordListsScrollBarShowsTheSkinsArrowCells)
{
    LogIn();
    QScrollBar* bar = form1->DBGrid1->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible()); // the columns are wider than the grid
    const TDataSkinObject* sheet = form1->SkinData1->Element(QStringLiteral("Scrollbar"));
    const int cell = sheet->Bitmap.width() / 23;
    EXPECT_EQ(bar->height(), cell);
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Horizontal;
    opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.pageStep = bar->pageStep();
    opt.singleStep = bar->singleStep();
    const QRect right = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarAddLine, bar);
    const QImage drawn = Grab(bar);
    const QImage arrow = sheet->Bitmap.copy(12 * cell, 0, cell, cell); // right arrow, normal
    int same = 0;
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x)
            same += drawn.pixelColor(right.topLeft() + QPoint(x, y)) == arrow.pixelColor(x, y);
    EXPECT_EQ(same, cell * cell);
}

TEST_F(SkinProgramLookTest, ButtonsAreNotHotWhenTheirWindowIsShownAgain)
{
    LogIn();
    QPushButton* hide = form1->Button_HIde;
    const QImage before = Grab(hide);
    MoveOver(hide);
    const QImage hot = Grab(hide);
    ASSERT_NE(hot, before) << "the pointer over it makes the button hot";
    QTest::mouseClick(hide, Qt::LeftButton); // hides the window to the tray
    pump(100);
    ASSERT_FALSE(form1->isVisible());

    // Shown again through the login window, whose "进入" was hot when clicked.
    form1->ShowMEClick();
    pump(100);
    ASSERT_TRUE(form2->isVisible());
    EXPECT_NE(Grab(form2->Button_Logining), [&] {
        MoveOver(form2->Button_Logining);
        QImage img = Grab(form2->Button_Logining);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(form2->Button_Logining, &leave);
        return img;
    }()) << "进入 came back hot";
    MoveOver(form2->Button_Logining);
    EnterPassword();
    ASSERT_TRUE(form1->isVisible());
    EXPECT_NE(Grab(hide), hot) << "最小化 came back hot";

    // And the login window, hidden by the right password, comes back plain.
    form1->HideMEClick();
    form1->ShowMEClick();
    pump(100);
    ASSERT_TRUE(form2->isVisible());
    const QImage again = Grab(form2->Button_Logining);
    MoveOver(form2->Button_Logining);
    EXPECT_NE(again, Grab(form2->Button_Logining)) << "进入 came back hot";
}

TEST_F(SkinProgramLookTest, TheSelectedTrayMenuItemIsReadable)
{
    LogIn();
    QMenu* menu = form1->PopupMenu1;
    menu->popup(QPoint(200, 200));
    pump(400);
    ASSERT_TRUE(menu->isVisible());
    menu->setActiveAction(form1->Aboutme);
    pump(50);
    const QImage drawn = Grab(menu);
    const QRect item = menu->actionGeometry(form1->Aboutme);
    const QColor background = drawn.pixelColor(item.right() - 8, item.center().y());
    double best = 1.0;
    for (int y = item.top() + 2; y < item.bottom() - 1; ++y)
        for (int x = item.left() + 20; x < item.right() - 10; ++x)
            best = std::max(best, Contrast(drawn.pixelColor(x, y), background));
    EXPECT_GE(best, 4.5) << "text on " << background.name().toStdString();
    menu->hide();
}

} // namespace

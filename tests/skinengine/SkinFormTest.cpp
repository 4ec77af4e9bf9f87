// The skinned window frame on real widgets (offscreen platform).
#include "SkinEngineTestUtil.h"

#include "skin/SkinData.h"
#include "skin/engine/SkinCaptionButtons.h"
#include "skin/engine/SkinForm.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

TCaptionButton* ButtonWithAction(TSkinForm* form, CaptionAction action, bool visibleOnly = true)
{
    for (const auto& b : form->CaptionButtons())
        if (b->Element->Action == action && (!visibleOnly || b->Visible))
            return b.get();
    return nullptr;
}

QAction* ItemTagged(QMenu* menu, int tag)
{
    for (QAction* a : menu->actions())
        if (a->property("Tag").toInt() == tag)
            return a;
    return nullptr;
}

struct Window {
    QWidget w;
    QPushButton* child;
    explicit Window(Qt::WindowFlags flags = Qt::Window)
    {
        w.setWindowFlags(flags);
        w.setWindowTitle("Gate");
        w.resize(320, 200);
        child = new QPushButton("OK", &w);
        child->setGeometry(10, 20, 80, 24);
        w.show();
    }
};

} // namespace

TEST(SkinForm, FrameReservesBordersAroundAnUnchangedClientAndReleaseUndoesIt)
{
    auto data = LoadedShippedSkin();
    Window win;
    const QSize before = win.w.size();
    const QRect childBefore = win.child->geometry();
    TSkinForm* form = SkinNow(&win.w, data.get());
    ASSERT_GT(form->TopHeight(), 0);
    ASSERT_GT(form->LeftWidth(), 0);
    EXPECT_EQ(form->ClientRect().size(), before);
    EXPECT_EQ(win.w.size(),
              before + QSize(form->LeftWidth() + form->RightWidth(), form->TopHeight() + form->BottomHeight()));
    EXPECT_EQ(win.child->pos(), childBefore.topLeft() + QPoint(form->LeftWidth(), form->TopHeight()));
    EXPECT_TRUE(win.w.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(win.w.palette().color(QPalette::Window), data->FaceColour());

    form->Release();
    EXPECT_EQ(win.w.size(), before);
    EXPECT_EQ(win.child->geometry(), childBefore);
    EXPECT_TRUE(win.w.mask().isEmpty());
    EXPECT_FALSE(win.w.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
    delete form;
}

TEST(SkinForm, FixedSizeWindowStaysFixedAndLayoutWindowUsesMargins)
{
    auto data = LoadedShippedSkin();
    Window fixed;
    fixed.w.setFixedSize(300, 180);
    TSkinForm* form = SkinNow(&fixed.w, data.get());
    const QSize framed(300 + form->LeftWidth() + form->RightWidth(), 180 + form->TopHeight() + form->BottomHeight());
    EXPECT_EQ(fixed.w.minimumSize(), framed);
    EXPECT_EQ(fixed.w.maximumSize(), framed);
    form->Release();
    EXPECT_EQ(fixed.w.minimumSize(), QSize(300, 180));
    EXPECT_EQ(fixed.w.maximumSize(), QSize(300, 180));
    delete form;

    QWidget laidOut;
    auto* layout = new QVBoxLayout(&laidOut);
    layout->addWidget(new QLabel("text"));
    laidOut.resize(240, 120);
    laidOut.show();
    const QMargins margins = laidOut.contentsMargins();
    TSkinForm* second = SkinNow(&laidOut, data.get());
    EXPECT_EQ(laidOut.contentsMargins(),
              margins
                  + QMargins(second->LeftWidth(), second->TopHeight(), second->RightWidth(), second->BottomHeight()));
    second->Release();
    EXPECT_EQ(laidOut.contentsMargins(), margins);
    EXPECT_EQ(laidOut.size(), QSize(240, 120));
    delete second;
}

TEST(SkinForm, CaptionHeightComesFromTheTopImageFrames)
{
    auto data = LoadedShippedSkin();
    data->Top()->Bitmap = SolidImage(200, 60, QColor(10, 120, 30));
    data->Top()->Frame = 2;
    data->Top()->Trans = 0;
    Window win;
    TSkinForm* form = SkinNow(&win.w, data.get());
    EXPECT_EQ(form->TopHeight(), 30);
    // The caption band, between the text and the buttons, shows the Top image.
    const QImage img = Grab(&win.w);
    const int x = form->CaptionButtons().empty() ? win.w.width() / 2 : win.w.width() - 100;
    EXPECT_EQ(PixelAt(img, QPoint(x, 2)), QColor(10, 120, 30));
    EXPECT_EQ(PixelAt(img, QPoint(x, 28)), QColor(10, 120, 30));
    // Below the caption the client area is not the Top image.
    EXPECT_NE(PixelAt(img, QPoint(x, 40)), QColor(10, 120, 30));
    delete form;
}

TEST(SkinForm, MagentaOfTransparentEdgesLiesOutsideTheMask)
{
    auto data = LoadedShippedSkin();
    QImage left = SolidImage(8, 40, QColor(40, 40, 40));
    for (int y = 0; y < 40; ++y)
        left.setPixelColor(0, y, QColor(255, 0, 255)); // outer column transparent
    data->Left()->Bitmap = left;
    data->Left()->Frame = 2; // two frames of width 4
    data->Left()->Trans = 1;
    data->Left()->TopHeight = data->Left()->BottomHeight = 0;
    Window win;
    TSkinForm* form = SkinNow(&win.w, data.get());
    ASSERT_EQ(form->LeftWidth(), 4);
    const QRegion mask = win.w.mask();
    ASSERT_FALSE(mask.isEmpty());
    EXPECT_FALSE(mask.contains(QPoint(0, 100)));
    EXPECT_TRUE(mask.contains(QPoint(1, 100)));
    EXPECT_TRUE(mask.contains(form->ClientRect().center()));
    delete form;
}

TEST(SkinForm, CaptionButtonVisibilityFollowsStateAndBoxes)
{
    auto data = LoadedShippedSkin();
    // The shipped restore button: Visibility 1 (maximised), Visibility1 6 (min or max box).
    Window plain;
    TSkinForm* form = SkinNow(&plain.w, data.get());
    EXPECT_NE(ButtonWithAction(form, CaptionAction::Close), nullptr);
    auto restoreShown = [&] {
        for (const auto& b : form->CaptionButtons())
            if (b->Element->Visibility == CaptionCondition::Maximized
                && b->Element->Visibility1 == CaptionCondition::HasMinOrMaxBox)
                return b->Visible;
        return false;
    };
    EXPECT_FALSE(restoreShown());
    plain.w.showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), TSkinForm::ShowState::Maximized);
    EXPECT_TRUE(restoreShown());
    delete form;

    // Maximised but without minimise and maximise boxes: hidden; no system menu: no close.
    Window bare(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    TSkinForm* second = SkinNow(&bare.w, data.get());
    bare.w.showMaximized();
    QApplication::processEvents();
    for (const auto& b : second->CaptionButtons())
        if (b->Element->Visibility == CaptionCondition::Maximized
            && b->Element->Visibility1 == CaptionCondition::HasMinOrMaxBox) {
            EXPECT_FALSE(b->Visible);
        }
    EXPECT_EQ(ButtonWithAction(second, CaptionAction::Close), nullptr);
    EXPECT_GT(second->TopHeight(), 0);
    delete second;
}

TEST(SkinForm, CaptionButtonCodesWithoutANameKeepTheirStoredMeaning)
{
    auto data = LoadedShippedSkin();
    Window win;
    TSkinForm* form = SkinNow(&win.w, data.get());
    TCaptionButton* close = ButtonWithAction(form, CaptionAction::Close);
    ASSERT_NE(close, nullptr);
    TDataSkinSysButton& e = *close->Element;
    auto shownWith = [&](int visibility) {
        e.Visibility = CaptionConditionFromStored(visibility);
        form->LayoutCaption();
        return close->Visible;
    };
    EXPECT_TRUE(shownWith(500));   // 201 ... 999: always
    EXPECT_FALSE(shownWith(1500)); // asks the window, which gives no answer
    EXPECT_FALSE(shownWith(5));    // no meaning: hidden
    EXPECT_TRUE(shownWith(0));

    e.Align = CaptionAlignFromStored(5);
    form->LayoutCaption();
    EXPECT_FALSE(close->Visible);
    e.Align = CaptionAlign::Right;
    form->LayoutCaption();
    ASSERT_TRUE(close->Visible);

    // An action the frame does not name closes nothing.
    e.Action = CaptionActionFromStored(50);
    win.w.show();
    form->RunAction(close);
    QApplication::processEvents();
    EXPECT_TRUE(win.w.isVisible());
    delete form;
}

TEST(SkinForm, SystemMenuOfMaximisedWindow)
{
    auto data = LoadedShippedSkin();
    Window win;
    TSkinForm* form = SkinNow(&win.w, data.get());
    win.w.showMaximized();
    QApplication::processEvents();
    form->BuildSystemMenu();
    QMenu* menu = form->SystemMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->property("Tag").toInt(), 33333);
    EXPECT_TRUE(ItemTagged(menu, 61728)->isEnabled());  // restore
    EXPECT_FALSE(ItemTagged(menu, 61488)->isEnabled()); // maximise
    EXPECT_FALSE(ItemTagged(menu, 61440)->isEnabled()); // size
    EXPECT_FALSE(ItemTagged(menu, 61456)->isEnabled()); // move
    EXPECT_TRUE(ItemTagged(menu, 61472)->isEnabled());  // minimise
    EXPECT_TRUE(ItemTagged(menu, 61536)->isEnabled());  // close

    win.w.showNormal();
    QApplication::processEvents();
    form->BuildSystemMenu();
    EXPECT_FALSE(ItemTagged(menu, 61728)->isEnabled());
    EXPECT_TRUE(ItemTagged(menu, 61488)->isEnabled());
    EXPECT_TRUE(ItemTagged(menu, 61456)->isEnabled());
    delete form;
}

TEST(SkinForm, WindowWithoutCaptionKeepsItsWholeAreaAsClient)
{
    auto data = LoadedShippedSkin();
    Window win(Qt::Window | Qt::FramelessWindowHint);
    const QSize before = win.w.size();
    const QPoint childPos = win.child->pos();
    TSkinForm* form = SkinNow(&win.w, data.get());
    EXPECT_EQ(form->BorderKind(), TSkinForm::BorderType::None);
    EXPECT_EQ(form->TopHeight() + form->LeftWidth() + form->RightWidth() + form->BottomHeight(), 0);
    EXPECT_EQ(form->ClientRect(), win.w.rect());
    EXPECT_EQ(win.w.size(), before);
    EXPECT_EQ(win.child->pos(), childPos);
    EXPECT_TRUE(win.w.mask().isEmpty());
    delete form;
}

TEST(SkinForm, WithoutMainMenuSkinningTheFrameDoesNoBorderWork)
{
    auto data = LoadedShippedSkin();
    data->SetSkinControls(data->SkinControls() & ~TSkinData::Bit(TSkinData::xcMainMenu));
    Window win;
    const QSize before = win.w.size();
    TSkinForm* form = SkinNow(&win.w, data.get());
    EXPECT_EQ(form->TopHeight(), 0);
    EXPECT_EQ(win.w.size(), before);
    EXPECT_TRUE(form->CaptionButtons().empty());
    EXPECT_FALSE(win.w.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
    delete form;
}

TEST(SkinForm, CloseButtonClickAndIconDoubleClickCloseTheWindow)
{
    auto data = LoadedShippedSkin();
    {
        Window win;
        TSkinForm* form = SkinNow(&win.w, data.get());
        TCaptionButton* close = ButtonWithAction(form, CaptionAction::Close);
        ASSERT_NE(close, nullptr);
        const QPoint at = close->Rect.center();
        QTest::mousePress(&win.w, Qt::LeftButton, {}, at);
        EXPECT_EQ(close->State(), TNCObject::MouseState::Pressed);
        EXPECT_TRUE(win.w.isVisible());
        QTest::mouseRelease(&win.w, Qt::LeftButton, {}, at);
        EXPECT_FALSE(win.w.isVisible());
        delete form;
    }
    {
        Window win;
        TSkinForm* form = SkinNow(&win.w, data.get());
        TCaptionButton* icon = ButtonWithAction(form, CaptionAction::WindowIcon);
        ASSERT_NE(icon, nullptr);
        QTest::mouseDClick(&win.w, Qt::LeftButton, {}, icon->Rect.center());
        EXPECT_FALSE(win.w.isVisible());
        delete form;
    }
    {
        // Pressing a button and releasing elsewhere does nothing.
        Window win;
        TSkinForm* form = SkinNow(&win.w, data.get());
        TCaptionButton* close = ButtonWithAction(form, CaptionAction::Close);
        QTest::mousePress(&win.w, Qt::LeftButton, {}, close->Rect.center());
        QTest::mouseRelease(&win.w, Qt::LeftButton, {}, form->ClientRect().center());
        EXPECT_TRUE(win.w.isVisible());
        EXPECT_EQ(close->State(), TNCObject::MouseState::Normal);
        delete form;
    }
}

TEST(SkinForm, CaptionDragMovesTheWindowWithoutAWindowManager)
{
    auto data = LoadedShippedSkin();
    Window win;
    TSkinForm* form = SkinNow(&win.w, data.get());
    const QPoint start = win.w.pos();
    const QPoint grip(win.w.width() / 2 - 40, form->TopHeight() / 2);
    ASSERT_EQ(form->ButtonAt(grip), nullptr);
    QTest::mousePress(&win.w, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(30, 20)),
                     QPointF(win.w.mapToGlobal(grip + QPoint(30, 20))), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&win.w, &move);
    QTest::mouseRelease(&win.w, Qt::LeftButton, {}, grip + QPoint(30, 20));
    // Either the system moved it or the frame did; on the offscreen platform the frame does.
    if (!win.w.windowHandle()->startSystemMove()) {
        EXPECT_EQ(win.w.pos(), start + QPoint(30, 20));
    }
    delete form;
}

TEST(SkinForm, MaximiseFillsTheWorkAreaAndRestoreBringsBackTheFixedWindow)
{
    auto data = LoadedShippedSkin();
    Window win;
    win.w.setFixedSize(320, 200);
    win.w.move(40, 50);
    TSkinForm* form = SkinNow(&win.w, data.get());
    const QRect normal = win.w.geometry();
    TCaptionButton* maximize = ButtonWithAction(form, CaptionAction::Maximize);
    ASSERT_NE(maximize, nullptr);
    EXPECT_EQ(maximize->Element->Visibility, CaptionCondition::NotMaximized); // the maximise picture, not restore

    form->RunAction(maximize);
    EXPECT_EQ(win.w.geometry(), win.w.screen()->availableGeometry());
    EXPECT_EQ(form->WindowState(), TSkinForm::ShowState::Maximized);
    TCaptionButton* restore = ButtonWithAction(form, CaptionAction::Maximize);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->Element->Visibility, CaptionCondition::Maximized);
    // Its tool tip follows the state, in the program's language.
    const auto hint = [form](CaptionAction action) {
        return CaptionButtonHint(action, form->WindowState() == TSkinForm::ShowState::Maximized);
    };
    EXPECT_EQ(hint(restore->Element->Action), QStringLiteral("还原"));
    EXPECT_EQ(hint(CaptionAction::Close), QStringLiteral("关闭"));
    EXPECT_EQ(hint(CaptionAction::Minimize), QStringLiteral("最小化"));
    // A press on the caption of a maximised window does not drag it.
    QTest::mousePress(&win.w, Qt::LeftButton, {}, QPoint(150, 10));
    QTest::mouseMove(&win.w, QPoint(200, 60));
    QTest::mouseRelease(&win.w, Qt::LeftButton, {}, QPoint(200, 60));
    EXPECT_EQ(win.w.geometry(), win.w.screen()->availableGeometry());

    form->RunAction(restore);
    EXPECT_EQ(win.w.geometry(), normal);
    EXPECT_EQ(win.w.minimumSize(), normal.size());
    EXPECT_EQ(win.w.maximumSize(), normal.size());
    EXPECT_EQ(form->WindowState(), TSkinForm::ShowState::Normal);
    EXPECT_EQ(ButtonWithAction(form, CaptionAction::Maximize)->Element->Visibility, CaptionCondition::NotMaximized);
    EXPECT_EQ(hint(CaptionAction::Maximize), QStringLiteral("最大化"));
    delete form;
}

TEST(SkinForm, TheFrameGrowsTheWindowAroundItsMiddleAndStaysOnANewNativeWindow)
{
    auto data = LoadedShippedSkin();
    Window win;
    win.w.move(200, 150);
    const QPoint middle = win.w.geometry().center();
    TSkinForm* form = SkinNow(&win.w, data.get());
    EXPECT_LE((win.w.geometry().center() - middle).manhattanLength(), 1);
    ASSERT_TRUE(win.w.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));

    // A new window type makes the native window again, without the setting;
    // it is frameless again before it is shown.
    win.w.setWindowFlags(Qt::Dialog);
    EXPECT_FALSE(win.w.windowFlags().testFlag(Qt::FramelessWindowHint));
    win.w.show();
    QApplication::processEvents();
    ASSERT_NE(win.w.windowHandle(), nullptr);
    EXPECT_TRUE(win.w.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));

    delete form; // released: the widget's own flags again
    EXPECT_FALSE(win.w.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
}

// Tab widgets: the tab band and the pane drawn from the Tabs elements, the
// pages in the face colour, and the plain look back after detaching.
#include "skin/engine/SkinTab.h"
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"
#include "skin/engine/SkinTabSheet.h"

#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kFrameColours[5] = {QColor(200, 0, 0), QColor(0, 180, 0), QColor(0, 0, 200), QColor(90, 90, 0),
                                 QColor(0, 90, 90)};
const QColor kBorder(10, 20, 230);
const QColor kPane(230, 200, 10);

// Five solid frames of 30 x 22, and a solid second image.
void UseSolidTabs(TSkinData& data)
{
    auto* tabs = data.ElementAs<TDataSkinBorder>(QStringLiteral("Tabs"));
    ASSERT_NE(tabs, nullptr);
    QImage strip(150, 22, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int f = 0; f < 5; ++f)
        p.fillRect(30 * f, 0, 30, 22, kFrameColours[f]);
    p.end();
    tabs->Bitmap = strip;
    tabs->Trans = 0;
    tabs->Bitmap2 = SolidImage(30, 30, kBorder);
    tabs->Style = 0;
    if (TDataSkinObject* pane = data.Element(QStringLiteral("Tab.Pane")))
        pane->Bitmap = SolidImage(30, 30, kPane);
}

struct TabWindow {
    QTabWidget tabs;
    TabWindow()
    {
        for (const char* name : {"One", "Two", "Three"})
            tabs.addTab(new QLabel(QString::fromLatin1(name)), QString::fromLatin1(name));
        tabs.resize(320, 200);
        tabs.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    }
    QPoint TabPoint(int i) const
    {
        const QRect r = tabs.tabBar()->tabRect(i);
        return tabs.tabBar()->mapTo(&tabs, QPoint(r.left() + 2, r.top() + 5));
    }
};

} // namespace

TEST(SkinTab, CurrentTabUsesFrameTwoOthersFrameOneAndPaneIsDrawn)
{
    auto data = LoadedShippedSkin();
    UseSolidTabs(*data);
    TabWindow w;
    auto* skin = new TSkinTab(&w.tabs);
    skin->Attach(nullptr, data.get(), false);

    QImage img = Grab(&w.tabs);
    EXPECT_EQ(PixelAt(img, w.TabPoint(0)), kFrameColours[1]);
    EXPECT_EQ(PixelAt(img, w.TabPoint(1)), kFrameColours[0]);
    EXPECT_EQ(PixelAt(img, w.TabPoint(2)), kFrameColours[0]);
    const QRect pane = skin->PaneRect();
    ASSERT_FALSE(pane.isEmpty());
    EXPECT_EQ(PixelAt(img, QPoint(pane.left(), pane.center().y())), kBorder);
    EXPECT_EQ(PixelAt(img, QPoint(pane.right(), pane.bottom())), kBorder);

    // The frames follow the current tab.
    w.tabs.setCurrentIndex(2);
    img = Grab(&w.tabs);
    EXPECT_EQ(PixelAt(img, w.TabPoint(0)), kFrameColours[0]);
    EXPECT_EQ(PixelAt(img, w.TabPoint(2)), kFrameColours[1]);

    // Style 1 takes the pane from Tab.Pane.
    data->Element(QStringLiteral("Tabs"))->Style = 1;
    img = Grab(&w.tabs);
    EXPECT_EQ(PixelAt(img, QPoint(pane.left(), pane.center().y())), kPane);
}

TEST(SkinTab, BottomTabsAreDrawnBelowThePane)
{
    auto data = LoadedShippedSkin();
    UseSolidTabs(*data);
    TabWindow w;
    w.tabs.setTabPosition(QTabWidget::South);
    auto* skin = new TSkinTab(&w.tabs);
    skin->Attach(nullptr, data.get(), false);
    const QImage img = Grab(&w.tabs);
    const QRect r = w.tabs.tabBar()->tabRect(0);
    EXPECT_EQ(PixelAt(img, w.tabs.tabBar()->mapTo(&w.tabs, r.center() + QPoint(r.width() / 2 - 2, 0))),
              kFrameColours[1]);
    EXPECT_LT(skin->PaneRect().bottom(), w.tabs.tabBar()->geometry().bottom());
}

TEST(SkinTab, LoneTabBarIsSkinned)
{
    auto data = LoadedShippedSkin();
    UseSolidTabs(*data);
    QTabBar bar;
    bar.addTab(QStringLiteral("A"));
    bar.addTab(QStringLiteral("B"));
    bar.setCurrentIndex(1);
    bar.resize(200, bar.sizeHint().height());
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    auto* skin = new TSkinTab(&bar);
    skin->Attach(nullptr, data.get(), false);
    const QImage img = Grab(&bar);
    EXPECT_EQ(PixelAt(img, bar.tabRect(0).topLeft() + QPoint(2, 5)), kFrameColours[0]);
    EXPECT_EQ(PixelAt(img, bar.tabRect(1).topLeft() + QPoint(2, 5)), kFrameColours[1]);
}

TEST(SkinTab, DetachGivesTabsAndPagesTheirOwnLookBack)
{
    auto data = LoadedShippedSkin();
    UseSolidTabs(*data);
    TabWindow w;
    QWidget* page = w.tabs.widget(0);
    const QImage plain = Grab(&w.tabs);

    auto* skin = new TSkinTab(&w.tabs);
    skin->Attach(nullptr, data.get(), false);
    auto* sheet = new TSkinTabSheet(page);
    sheet->Attach(nullptr, data.get(), true);
    const QImage skinned = Grab(&w.tabs);
    EXPECT_NE(skinned, plain);
    // The page shows the face colour.
    ASSERT_NE(PixelAt(plain, page->mapTo(&w.tabs, QPoint(page->width() - 3, page->height() - 3))), data->FaceColour());
    EXPECT_EQ(PixelAt(skinned, page->mapTo(&w.tabs, QPoint(page->width() - 3, page->height() - 3))),
              data->FaceColour());

    sheet->Detach();
    skin->Detach();
    EXPECT_EQ(Grab(&w.tabs), plain);
    delete sheet;
    delete skin;
    EXPECT_EQ(Grab(&w.tabs), plain);
}

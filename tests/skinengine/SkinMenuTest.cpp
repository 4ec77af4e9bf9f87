// Skinned popup menus: the background and border from MenuBackground, the
// owner-drawn items from MenuItem, and which popups get a skinner.
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"
#include "skin/SkinElements.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/SkinMenuOwnerDraw.h"
#include "skin/engine/SkinPopupMenu.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kNormal(200, 0, 0);
const QColor kSeparatorTop(0, 0, 120);
const QColor kSeparatorBottom(0, 160, 0);
const QColor kSelected(0, 0, 200);
const QColor kOther(120, 120, 120);
const QColor kBorder(0, 200, 200);
const QColor kBack(230, 230, 0);
const QColor kMagenta(255, 0, 255);

constexpr int kFrameWidth = 20;
constexpr int kFrameHeight = 40; // taller than any item

class SkinMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallSkinManager();
        data = LoadedShippedSkin();
        data->SetSkinControls(TSkinData::kAllControls);
        manager = TSkinManager::Ensure();
        manager->Register(data.get());
        manager->SetSkinningOn(true);

        // MenuItem: five solid frames; frame 2 has distinct top and bottom
        // rows, and its bottom-left corner is magenta.
        TDataSkinObject* item = data->Element(QStringLiteral("MenuItem"));
        ASSERT_NE(item, nullptr);
        QImage bitmap(kFrameWidth * 5, kFrameHeight, QImage::Format_RGB32);
        QPainter p(&bitmap);
        const QColor frames[5] = {kNormal, kSeparatorTop, kOther, kSelected, kOther};
        for (int f = 0; f < 5; ++f)
            p.fillRect(f * kFrameWidth, 0, kFrameWidth, kFrameHeight, frames[f]);
        p.fillRect(kFrameWidth, kFrameHeight - 10, kFrameWidth, 10, kSeparatorBottom);
        p.fillRect(kFrameWidth, kFrameHeight - 10, 2, 10, kMagenta);
        p.end();
        item->Bitmap = bitmap;
        item->LeftWidth = item->RightWidth = 2;
        item->TopHeight = item->BottomHeight = 0;
        item->Trans = 1;
        item->Tile = 0;

        // MenuBackground: a 3-pixel band around a flat middle.
        TDataSkinObject* back = data->Element(QStringLiteral("MenuBackground"));
        ASSERT_NE(back, nullptr);
        back->Bitmap = SolidImage(30, 30, kBorder);
        QPainter q(&back->Bitmap);
        q.fillRect(3, 3, 24, 24, kBack);
        q.end();
        back->LeftWidth = back->RightWidth = back->TopHeight = back->BottomHeight = 3;
        back->Trans = 0;
    }
    void TearDown() override
    {
        menus.clear();
        TSkinManager::DestroyInstance();
        data.reset();
    }

    QMenu* NewMenu(bool ownerDrawn)
    {
        menus.push_back(std::make_unique<QMenu>());
        QMenu* menu = menus.back().get();
        SetMenuOwnerDrawn(menu, ownerDrawn);
        return menu;
    }

    std::unique_ptr<TSkinData> data;
    TSkinManager* manager = nullptr;
    std::vector<std::unique_ptr<QMenu>> menus;
};

int CountColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

TEST_F(SkinMenuTest, OwnerDrawnItemsUseTheirFramesOverThePopupBackground)
{
    QMenu* menu = NewMenu(true);
    QAction* one = menu->addAction(QStringLiteral("One"));
    QAction* separator = menu->addSeparator();
    QAction* two = menu->addAction(QStringLiteral("Two"));
    menu->popup(QPoint(50, 50));
    manager->SkinPopupMenu(menu);
    ASSERT_NE(manager->FindPopupMenu(menu), nullptr);
    menu->setActiveAction(two);
    const QImage image = Grab(menu);

    // The border band comes from MenuBackground; the items sit inside it.
    EXPECT_EQ(PixelAt(image, {0, image.height() / 2}), kBorder);
    EXPECT_EQ(PixelAt(image, {image.width() - 3, image.height() - 1}), kBorder);
    EXPECT_EQ(menu->actionGeometry(one).topLeft(), QPoint(TSkinPopupMenu::kBorder, TSkinPopupMenu::kBorder));

    const QRect normal = menu->actionGeometry(one);
    const QRect selected = menu->actionGeometry(two);
    const QRect sep = menu->actionGeometry(separator);
    EXPECT_EQ(PixelAt(image, {normal.right() - 4, normal.center().y()}), kNormal);
    EXPECT_EQ(PixelAt(image, {selected.right() - 4, selected.center().y()}), kSelected);

    // The separator shows the bottom rows of frame 2, none of its top, and
    // the popup background where frame 2 is magenta.
    EXPECT_EQ(sep.height(), kMenuSeparatorHeight);
    EXPECT_EQ(CountColour(image, sep, kSeparatorTop), 0);
    EXPECT_EQ(PixelAt(image, sep.center()), kSeparatorBottom);
    EXPECT_EQ(PixelAt(image, {sep.left(), sep.center().y()}), kBack);

    // Moving the selection redraws frame 1 under the old item.
    menu->setActiveAction(one);
    const QImage moved = Grab(menu);
    EXPECT_EQ(PixelAt(moved, {normal.right() - 4, normal.center().y()}), kSelected);
    EXPECT_EQ(PixelAt(moved, {selected.right() - 4, selected.center().y()}), kNormal);
}

TEST_F(SkinMenuTest, ItemContentCheckMarkAndShortcut)
{
    QMenu* menu = NewMenu(true);
    QAction* checked = menu->addAction(QStringLiteral("Checked"));
    checked->setCheckable(true);
    checked->setChecked(true);
    QAction* plain = menu->addAction(QStringLiteral("Plain"));
    plain->setCheckable(true);
    QAction* keyed = menu->addAction(QStringLiteral("Quit"));
    keyed->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    menu->popup(QPoint(50, 50));
    manager->SkinPopupMenu(menu);
    const QImage image = Grab(menu);

    const int glyphLeft = TSkinPopupMenu::kBorder + 1 + 2;
    auto glyphBox = [&](QAction* a) {
        const QRect r = menu->actionGeometry(a);
        return QRect(glyphLeft, r.top(), kMenuGlyphSize, r.height());
    };
    const QColor check = data->Colour(TSkinData::csButtonText);
    ASSERT_NE(check, kNormal);
    EXPECT_GT(CountColour(image, glyphBox(checked), check), 10);
    EXPECT_EQ(CountColour(image, glyphBox(plain), check), 0);

    // The shortcut ends 10 pixels before the item's right edge.
    const QRect row = menu->actionGeometry(keyed);
    int rightmost = -1;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= row.right(); ++x)
            if (PixelAt(image, {x, y}) != kNormal)
                rightmost = std::max(rightmost, x);
    EXPECT_LE(rightmost, row.right() - kMenuShortcutGap);
    EXPECT_GE(rightmost, row.right() - kMenuShortcutGap - 3);

    // Items are measured wider than the plain style makes them.
    QMenu reference;
    reference.addAction(QStringLiteral("Checked"))->setCheckable(true);
    reference.addAction(QStringLiteral("Plain"))->setCheckable(true);
    reference.addAction(QStringLiteral("Quit"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_GE(menu->width(), reference.sizeHint().width() + 2 + 10 + 25);
}

TEST_F(SkinMenuTest, PlainMenuGetsTheSkinnedBackgroundOnly)
{
    QMenu* menu = NewMenu(false);
    QAction* one = menu->addAction(QStringLiteral("One"));
    menu->popup(QPoint(50, 50));
    manager->SkinPopupMenu(menu);
    const QImage image = Grab(menu);
    EXPECT_EQ(PixelAt(image, {1, 1}), kBorder);
    EXPECT_EQ(CountColour(image, menu->actionGeometry(one), kNormal), 0);

    // Without a MenuBackground bitmap the popup keeps its own look.
    data->Element(QStringLiteral("MenuBackground"))->Bitmap = QImage();
    QMenu* other = NewMenu(false);
    other->addAction(QStringLiteral("One"));
    other->popup(QPoint(50, 50));
    const QImage plain = Grab(other);
    manager->SkinPopupMenu(other);
    ASSERT_NE(manager->FindPopupMenu(other), nullptr);
    EXPECT_EQ(Grab(other), plain);
}

TEST_F(SkinMenuTest, DisableTagMenuIsNotSkinned)
{
    data->SetDisableTag(7);
    QMenu* menu = NewMenu(true);
    menu->addAction(QStringLiteral("One"));
    menu->setProperty("Tag", 7);
    menu->popup(QPoint(50, 50));
    const QImage plain = Grab(menu);
    manager->SkinPopupMenu(menu);
    EXPECT_EQ(manager->FindPopupMenu(menu), nullptr);
    EXPECT_EQ(Grab(menu), plain);
}

TEST_F(SkinMenuTest, TwoOpenPopupsHaveTheirOwnSkinners)
{
    manager->InstallHook();
    manager->SetPendingPopupKind(TSkinManager::PopupKind::MenuBar);
    QMenu* first = NewMenu(true);
    first->addAction(QStringLiteral("One"));
    QMenu* second = NewMenu(true);
    second->addAction(QStringLiteral("Two"));
    first->popup(QPoint(20, 20));
    second->popup(QPoint(200, 20));
    TSkinPopupMenu* a = manager->FindPopupMenu(first);
    TSkinPopupMenu* b = manager->FindPopupMenu(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(PixelAt(Grab(first), {0, 0}), kBorder);
    EXPECT_EQ(PixelAt(Grab(second), {0, 0}), kBorder);

    second->hide();
    EXPECT_EQ(manager->FindPopupMenu(second), nullptr);
    EXPECT_EQ(manager->PendingPopupKind(), TSkinManager::PopupKind::MenuBar);
    first->hide();
    EXPECT_TRUE(manager->PopupMenus().isEmpty());
    EXPECT_EQ(manager->PendingPopupKind(), TSkinManager::PopupKind::PopupMenu);
    EXPECT_EQ(first->style(), QApplication::style());
}

TEST_F(SkinMenuTest, DetachGivesTheMenuItsOwnLookBack)
{
    data->SetOptions(data->Options() | (1u << TSkinData::xoMenuBG));
    QMenu* menu = NewMenu(true);
    menu->addAction(QStringLiteral("One"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Two"))->setEnabled(false);
    menu->popup(QPoint(50, 50));
    const QImage plain = Grab(menu);
    const QSize plainSize = menu->size();

    TSkinPopupMenu skinner(menu, data.get());
    skinner.Attach();
    // With xoMenuBG nothing erases the menu before it paints.
    EXPECT_TRUE(menu->testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_NE(Grab(menu), plain);
    EXPECT_EQ(skinner.Background().size(), menu->size());

    skinner.Detach();
    EXPECT_FALSE(menu->testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(menu->style(), QApplication::style());
    EXPECT_TRUE(skinner.Background().isNull());
    EXPECT_EQ(menu->size(), plainSize);
    EXPECT_EQ(Grab(menu), plain);
}

} // namespace

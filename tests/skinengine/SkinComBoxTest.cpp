// Combo boxes: the button frame follows the combo's state, an editable combo
// still takes typed text, the list gets a scroll-bar skinner, and detaching
// gives the plain look back.
#include "skin/engine/SkinComBox.h"
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"
#include "skin/engine/SkinScrollbar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHoverEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kCell[4] = {QColor(200, 0, 0), QColor(0, 180, 0), QColor(0, 0, 200), QColor(120, 0, 120)};

// A prepared strip: four 50 x 21 cells in solid colours with the magenta
// middle the edit area shows through.
void UseSolidStrip(TSkinData& data)
{
    TDataSkinObject* combo = data.Element(QStringLiteral("ComboButton"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->Style, 2); // what the shipped skin ends up with
    QImage strip(200, 21, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int f = 0; f < 4; ++f) {
        p.fillRect(50 * f, 0, 50, 21, kCell[f]);
        p.fillRect(50 * f + 2, 2, 27, 17, QColor(255, 0, 255));
    }
    p.end();
    combo->Bitmap = strip;
}

struct ComboWindow {
    QComboBox combo;
    explicit ComboWindow(bool editable)
    {
        combo.setEditable(editable);
        for (int i = 0; i < 40; ++i)
            combo.addItem(QStringLiteral("Item %1").arg(i));
        combo.resize(160, 26);
        combo.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&combo));
        combo.clearFocus();
    }
};

QColor ButtonColour(QComboBox& combo, const TSkinComBox& skin)
{
    return PixelAt(Grab(&combo), skin.ButtonRect().center());
}

void Hover(QWidget& w, QPoint at)
{
    QHoverEvent e(QEvent::HoverMove, at, w.mapToGlobal(at), QPoint(-1, -1));
    QApplication::sendEvent(&w, &e);
}

} // namespace

TEST(SkinComBox, ButtonFrameFollowsDisabledHotAndPressed)
{
    auto data = LoadedShippedSkin();
    UseSolidStrip(*data);
    ComboWindow w(false);
    auto* skin = new TSkinComBox(&w.combo);
    skin->Attach(nullptr, data.get(), false);

    EXPECT_EQ(ButtonColour(w.combo, *skin), kCell[0]);
    // The edit area is not covered by the strip.
    EXPECT_NE(PixelAt(Grab(&w.combo), skin->EditRect().center() + QPoint(20, 0)), kCell[0]);

    Hover(w.combo, skin->ButtonRect().center());
    EXPECT_TRUE(skin->Hot());
    EXPECT_EQ(ButtonColour(w.combo, *skin), kCell[3]);
    Hover(w.combo, skin->EditRect().center());
    EXPECT_FALSE(skin->Hot());
    EXPECT_EQ(ButtonColour(w.combo, *skin), kCell[0]);

    // Pressed while the list is open, whatever else holds.
    QTest::mouseClick(&w.combo, Qt::LeftButton, {}, skin->ButtonRect().center());
    ASSERT_TRUE(w.combo.view()->isVisible());
    EXPECT_EQ(ButtonColour(w.combo, *skin), kCell[1]);
    w.combo.hidePopup();
    EXPECT_FALSE(skin->Pressed());
    EXPECT_NE(ButtonColour(w.combo, *skin), kCell[1]);

    // Disabled wins over hot.
    Hover(w.combo, skin->ButtonRect().center());
    w.combo.setEnabled(false);
    EXPECT_EQ(ButtonColour(w.combo, *skin), kCell[2]);
}

TEST(SkinComBox, StyleZeroDrawsTheButtonFrameInTheButtonArea)
{
    auto data = LoadedShippedSkin();
    TDataSkinObject* combo = data->Element(QStringLiteral("ComboButton"));
    QImage frames(76, 21, QImage::Format_RGB32);
    QPainter p(&frames);
    for (int f = 0; f < 4; ++f)
        p.fillRect(19 * f, 0, 19, 21, kCell[f]);
    p.end();
    combo->Bitmap = frames;
    combo->Style = 0;
    combo->Trans = 0;
    combo->LeftWidth = combo->RightWidth = combo->TopHeight = combo->BottomHeight = 0;
    data->Element(QStringLiteral("SunkEdge"))->Bitmap = SolidImage(120, 21, QColor(9, 99, 9));
    ComboWindow w(false);
    auto* skin = new TSkinComBox(&w.combo);
    skin->Attach(nullptr, data.get(), false);
    const QImage img = Grab(&w.combo);
    const QRect button = skin->ButtonRect();
    EXPECT_EQ(button.width(), TSkinComBox::kButtonWidth);
    EXPECT_EQ(button.right(), w.combo.width() - 3);
    EXPECT_EQ(PixelAt(img, button.topLeft() + QPoint(1, 1)), kCell[0]);
    EXPECT_EQ(PixelAt(img, QPoint(0, 0)), QColor(9, 99, 9));
    // The edit area is excluded from the edge.
    EXPECT_NE(PixelAt(img, skin->EditRect().center() + QPoint(30, 0)), QColor(9, 99, 9));
}

TEST(SkinComBox, EditableComboKeepsItsLineEditUsable)
{
    auto data = LoadedShippedSkin();
    UseSolidStrip(*data);
    ComboWindow w(true);
    auto* skin = new TSkinComBox(&w.combo);
    skin->Attach(nullptr, data.get(), false);
    QApplication::processEvents();

    QLineEdit* edit = w.combo.lineEdit();
    EXPECT_FALSE(edit->geometry().intersects(skin->ButtonRect()));
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("Visitor"));
    EXPECT_EQ(w.combo.currentText(), QStringLiteral("Visitor"));
    ASSERT_TRUE(w.combo.hasFocus());
    EXPECT_EQ(ButtonColour(w.combo, *skin), kCell[3]); // focused

    // A press in the line edit presses the combo until the release.
    QTest::mousePress(edit, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(skin->Pressed());
    QTest::mouseRelease(edit, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(skin->Pressed());
}

TEST(SkinComBox, ListGetsScrollbarSkinnerAndDetachRestores)
{
    auto data = LoadedShippedSkin();
    UseSolidStrip(*data);
    for (const bool editable : {false, true}) {
        ComboWindow w(editable);
        QApplication::processEvents();
        const QImage plain = Grab(&w.combo);
        const QRect plainEdit = editable ? w.combo.lineEdit()->geometry() : QRect();
        auto* skin = new TSkinComBox(&w.combo);
        skin->Attach(nullptr, data.get(), false);
        ASSERT_NE(skin->ListSkinner(), nullptr);
        EXPECT_EQ(skin->ListSkinner()->Control(), w.combo.view());
        EXPECT_NE(Grab(&w.combo), plain);

        skin->Detach();
        EXPECT_EQ(skin->ListSkinner(), nullptr);
        QApplication::processEvents();
        if (editable) {
            EXPECT_EQ(w.combo.lineEdit()->geometry(), plainEdit);
        }
        EXPECT_EQ(Grab(&w.combo), plain) << "editable " << editable;
        delete skin;
    }
}

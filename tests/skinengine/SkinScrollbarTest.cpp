// Scroll bars of scroll areas: groove and thumb from the scroll elements,
// the bars keep scrolling, and detaching gives the plain look back.
#include "skin/engine/SkinScrollbar.h"
#include "SkinEngineTestUtil.h"
#include "skin/SkinData.h"

#include <QApplication>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

const QColor kThumb[3] = {QColor(200, 0, 0), QColor(0, 180, 0), QColor(0, 0, 200)};
const QColor kTrack(30, 160, 160);
const QColor kHorzThumb(160, 30, 160);

QImage Frames(int count, int w, int h, const QColor* colours)
{
    QImage img(count * w, h, QImage::Format_RGB32);
    QPainter p(&img);
    for (int f = 0; f < count; ++f)
        p.fillRect(f * w, 0, w, h, colours[f]);
    return img;
}

void UseSolidScrollElements(TSkinData& data)
{
    TDataSkinObject* thumb = data.Element(QStringLiteral("VertScrollThumb"));
    TDataSkinObject* track = data.Element(QStringLiteral("VertScroll"));
    TDataSkinObject* horz = data.Element(QStringLiteral("HorzScrollThumb"));
    ASSERT_TRUE(thumb && track && horz);
    thumb->Bitmap = Frames(3, 17, 20, kThumb);
    const QColor tracks[4] = {kTrack, kTrack, kTrack, kTrack};
    track->Bitmap = Frames(4, 17, 20, tracks);
    const QColor horzThumbs[3] = {kHorzThumb, kHorzThumb, kHorzThumb};
    horz->Bitmap = Frames(3, 20, 17, horzThumbs);
}

struct Memo {
    QPlainTextEdit edit;
    Memo()
    {
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QStringLiteral("line %1 ").arg(i).repeated(i == 3 ? 30 : 1);
        edit.setPlainText(lines.join(QLatin1Char('\n')));
        edit.resize(240, 180);
        edit.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&edit));
        QApplication::processEvents();
    }
};

// The area lays its bars out again and the text finds its new width.
void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

QRect Part(QScrollBar& bar, QStyle::SubControl sc)
{
    QStyleOptionSlider opt;
    TSkinScrollbar::FillOption(bar, opt);
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, sc, &bar);
}

} // namespace

TEST(SkinScrollbar, ThumbAndTrackComeFromTheScrollElements)
{
    auto data = LoadedShippedSkin();
    UseSolidScrollElements(*data);
    Memo m;
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    Settle();
    QScrollBar& bar = *m.edit.verticalScrollBar();
    ASSERT_TRUE(bar.isVisible());

    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarSlider).center()), kThumb[0]);
    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarAddPage).center()), kTrack);
    QScrollBar& hbar = *m.edit.horizontalScrollBar();
    ASSERT_TRUE(hbar.isVisible());
    EXPECT_EQ(PixelAt(Grab(&hbar), Part(hbar, QStyle::SC_ScrollBarSlider).center()), kHorzThumb);

    // A pressed thumb uses the pressed frame; the drag still moves it.
    const QPoint grip = Part(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarSlider).center()), kThumb[2]);
    QTest::mouseMove(&bar, grip + QPoint(0, 40));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 40));
    EXPECT_GT(bar.value(), 0);
    // Released: the cursor still rests on it, so hot rather than pressed.
    EXPECT_EQ(PixelAt(Grab(&bar), Part(bar, QStyle::SC_ScrollBarSlider).center()), kThumb[1]);

    // Nothing to scroll: no thumb.
    bar.setRange(0, 0);
    const QImage empty = Grab(&bar);
    for (int y = 0; y < empty.height(); ++y)
        ASSERT_NE(PixelAt(empty, QPoint(bar.width() / 2, y)), kThumb[0]);
}

// Pixels of a grab that equal the source image at an offset, in percent of
// the source's opaque (not magenta) pixels.
int PercentDrawnAsIs(const QImage& grab, QPoint at, const QImage& source)
{
    int same = 0, opaque = 0;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QColor want = source.pixelColor(x, y);
            if (want == QColor(255, 0, 255))
                continue;
            ++opaque;
            if (grab.rect().contains(at + QPoint(x, y)) && grab.pixelColor(at + QPoint(x, y)) == want)
                ++same;
        }
    return opaque ? same * 100 / opaque : 0;
}

TEST(SkinScrollbar, ArrowsAreTheSkinsCellsAtTheirOwnSizeAndTheGripKeepsItsSpacing)
{
    auto data = LoadedShippedSkin();
    const TDataSkinObject* sheet = data->Element(QStringLiteral("Scrollbar"));
    const TDataSkinObject* thumb = data->Element(QStringLiteral("VertScrollThumb"));
    ASSERT_TRUE(sheet && thumb);
    const int cell = sheet->Bitmap.width() / 23;
    Memo m;
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    Settle();
    QScrollBar& bar = *m.edit.verticalScrollBar();
    QScrollBar& hbar = *m.edit.horizontalScrollBar();
    EXPECT_EQ(bar.width(), cell);
    EXPECT_EQ(hbar.height(), cell);

    // Up arrow (frame 1), down arrow (frame 5), left arrow (frame 9): every pixel of the cell.
    const QImage vertical = Grab(&bar);
    const QRect up = Part(bar, QStyle::SC_ScrollBarSubLine);
    const QRect down = Part(bar, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(up.size(), QSize(cell, cell));
    EXPECT_EQ(PercentDrawnAsIs(vertical, up.topLeft(), sheet->Bitmap.copy(0, 0, cell, cell)), 100);
    EXPECT_EQ(PercentDrawnAsIs(vertical, down.topLeft(), sheet->Bitmap.copy(4 * cell, 0, cell, cell)), 100);
    const QRect left = Part(hbar, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(PercentDrawnAsIs(Grab(&hbar), left.topLeft(), sheet->Bitmap.copy(8 * cell, 0, cell, cell)), 100);

    // A thumb longer than its bitmap: the grip in its middle is the bitmap's
    // middle at its own size.
    const QRect slider = Part(bar, QStyle::SC_ScrollBarSlider);
    const int frameWidth = thumb->Bitmap.width() / thumb->Frame;
    ASSERT_GT(slider.height(), thumb->Bitmap.height());
    const QImage grip = thumb->Bitmap.copy(0, thumb->TopHeight, frameWidth,
                                           thumb->Bitmap.height() - thumb->TopHeight - thumb->BottomHeight);
    QRect middle(QPoint(), grip.size());
    middle.moveCenter(slider.center());
    EXPECT_EQ(PercentDrawnAsIs(vertical, QPoint(slider.left(), middle.top()), grip), 100);
    // Elsewhere the middle is the grip's plain first line, not stretched grip lines.
    const QImage plain = grip.copy(0, 0, grip.width(), 1);
    for (int y = slider.top() + thumb->TopHeight; y < middle.top(); ++y)
        ASSERT_EQ(PercentDrawnAsIs(vertical, QPoint(slider.left(), y), plain), 100) << y;
    for (int y = middle.bottom() + 1; y <= slider.bottom() - thumb->BottomHeight; ++y)
        ASSERT_EQ(PercentDrawnAsIs(vertical, QPoint(slider.left(), y), plain), 100) << y;
}

TEST(SkinScrollbar, SkinnedBarStillScrollsByClickAndWheel)
{
    auto data = LoadedShippedSkin();
    UseSolidScrollElements(*data);
    Memo m;
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    QScrollBar& bar = *m.edit.verticalScrollBar();

    QTest::mouseClick(&bar, Qt::LeftButton, {}, Part(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(bar.value(), bar.singleStep());
    QTest::mouseClick(&bar, Qt::LeftButton, {}, Part(bar, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_GT(bar.value(), bar.singleStep());

    const int before = bar.value();
    const QPoint at = bar.rect().center();
    QWheelEvent wheel(at, bar.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bar, &wheel);
    EXPECT_GT(bar.value(), before);
}

TEST(SkinScrollbar, DetachGivesTheBarsTheirOwnLookBack)
{
    auto data = LoadedShippedSkin();
    UseSolidScrollElements(*data);
    Memo m;
    QScrollBar& bar = *m.edit.verticalScrollBar();
    const bool hover = bar.testAttribute(Qt::WA_Hover);
    const QImage plain = Grab(&bar);
    auto* skin = new TSkinScrollbar(&m.edit);
    skin->Attach(nullptr, data.get(), false);
    EXPECT_NE(Grab(&bar), plain);
    skin->Detach();
    Settle();
    EXPECT_EQ(Grab(&bar), plain);
    EXPECT_EQ(bar.testAttribute(Qt::WA_Hover), hover);
    delete skin;
    EXPECT_EQ(Grab(&bar), plain);
}

TEST(SkinScrollbar, AreaDestroyedBeforeItsSkinner)
{
    auto data = LoadedShippedSkin();
    auto* m = new Memo;
    // Owned elsewhere, as a form frame owns its skinners.
    QObject owner;
    auto* skin = new TSkinScrollbar(&m->edit);
    skin->setParent(&owner);
    skin->Attach(nullptr, data.get(), false);
    delete m;
    EXPECT_EQ(skin->State(), TSkinControl::ControlState::Destroyed);

    // Owned by its control, it goes with it.
    auto* n = new Memo;
    QPointer<TSkinScrollbar> owned = new TSkinScrollbar(&n->edit);
    owned->Attach(nullptr, data.get(), false);
    delete n;
    EXPECT_TRUE(owned.isNull());
}

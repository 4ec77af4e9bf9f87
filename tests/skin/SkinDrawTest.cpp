#include "skin/SkinDraw.h"
#include "skin/SkinElements.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {
const QColor kMagenta(255, 0, 255);
const QColor kBack(1, 1, 1);

// A 2-frame 10x10 element: each frame has distinct corners (3x3), edges
// and middle, with a magenta pixel in the middle of frame 2.
TDataSkinObject TwoFrames()
{
    TDataSkinObject e("Test");
    QImage img(20, 10, QImage::Format_RGB32);
    for (int f = 0; f < 2; ++f) {
        const int x0 = f * 10;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const int col = x < 3 ? 0 : x >= 7 ? 2 : 1;
                const int row = y < 3 ? 0 : y >= 7 ? 2 : 1;
                img.setPixelColor(x0 + x, y, QColor(f * 100 + row * 30 + col * 10, x, y));
            }
    }
    img.setPixelColor(15, 5, kMagenta);
    e.Bitmap = img;
    e.LeftWidth = e.TopHeight = e.RightWidth = e.BottomHeight = 3;
    return e;
}

QImage Draw(const TDataSkinObject& e, QSize size, int frames, int frame)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(kBack);
    QPainter p(&out);
    DrawElement(p, out.rect(), &e, frames, frame);
    return out;
}
} // namespace

TEST(DrawElement, CornersCopiedEdgesAndMiddleStretched)
{
    const TDataSkinObject e = TwoFrames();
    const QImage out = Draw(e, QSize(40, 30), 2, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(out.pixel(x, y), e.Bitmap.pixel(x, y));
            EXPECT_EQ(out.pixel(37 + x, 27 + y), e.Bitmap.pixel(7 + x, 7 + y));
            EXPECT_EQ(out.pixel(37 + x, y), e.Bitmap.pixel(7 + x, y));
        }
    EXPECT_EQ(qRed(out.pixel(20, 1)), 10);  // top edge
    EXPECT_EQ(qRed(out.pixel(1, 15)), 30);  // left edge
    EXPECT_EQ(qRed(out.pixel(20, 15)), 40); // middle
    EXPECT_EQ(qRed(out.pixel(20, 28)), 70); // bottom edge
}

TEST(DrawElement, MagentaLeftOutOnlyWithTrans)
{
    TDataSkinObject e = TwoFrames();
    e.LeftWidth = e.TopHeight = e.RightWidth = e.BottomHeight = 0;
    QImage copied = Draw(e, QSize(10, 10), 2, 2);
    EXPECT_EQ(copied.pixelColor(5, 5), kMagenta);
    EXPECT_EQ(qRed(copied.pixel(0, 0)), 100);
    e.Trans = 1;
    QImage masked = Draw(e, QSize(10, 10), 2, 2);
    EXPECT_EQ(masked.pixelColor(5, 5), kBack);
    EXPECT_EQ(qRed(masked.pixel(0, 0)), 100);
}

TEST(DrawElement, NarrowRectanglesDropTheMarginsAndFramesCanStack)
{
    const TDataSkinObject e = TwoFrames();
    // 5 wide < 3 + 3: the side margins count as 0, so column 0 is the
    // stretched left-most source column.
    const QImage narrow = Draw(e, QSize(5, 20), 2, 1);
    EXPECT_EQ(qGreen(narrow.pixel(0, 10)), 0);
    EXPECT_EQ(qGreen(narrow.pixel(4, 10)), 8);

    TDataSkinObject stacked = TwoFrames();
    stacked.Bitmap = stacked.Bitmap.copy(0, 0, 10, 10);
    QImage tall(10, 20, QImage::Format_RGB32);
    QPainter(&tall).drawImage(0, 0, stacked.Bitmap);
    QImage second = stacked.Bitmap;
    second.fill(QColor(5, 6, 7));
    QPainter(&tall).drawImage(0, 10, second);
    stacked.Bitmap = tall;
    stacked.StackedFrames = true;
    EXPECT_EQ(SkinFrameRect(stacked, 2, 2), QRect(0, 10, 10, 10));
    EXPECT_EQ(Draw(stacked, QSize(12, 12), 2, 2).pixelColor(6, 6), QColor(5, 6, 7));
}

TEST(DrawElement, TiledMiddleRepeatsAndBadFramesDrawNothingOutside)
{
    TDataSkinObject e = TwoFrames();
    e.Tile = 1;
    const QImage tiled = Draw(e, QSize(30, 10), 2, 1);
    // Middle source columns 3..6 repeat every 4 pixels from x = 3.
    EXPECT_EQ(qGreen(tiled.pixel(3, 5)), 3);
    EXPECT_EQ(qGreen(tiled.pixel(7, 5)), 3);
    EXPECT_EQ(qGreen(tiled.pixel(10, 5)), 6);

    // Window edges tile when Stretch (held in Tile) is not 1.
    e.WindowEdge = true;
    EXPECT_FALSE(e.TilesMiddle());

    // Out-of-range frames are clamped; frame counts wider than the bitmap draw nothing.
    EXPECT_EQ(SkinFrameRect(e, 2, 9), QRect(10, 0, 10, 10));
    EXPECT_TRUE(SkinFrameRect(e, 50, 1).isEmpty());
    EXPECT_EQ(Draw(e, QSize(8, 8), 50, 1).pixelColor(4, 4), kBack);
    EXPECT_EQ(Draw(e, QSize(8, 8), 0, 1).pixelColor(0, 0), QColor(0, 0, 0));
}

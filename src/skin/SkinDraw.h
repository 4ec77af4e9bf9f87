#pragma once
// Drawing a skin element: one frame of its bitmap as a nine-slice.

#include <QImage>
#include <QRect>

class QPainter;
class TDataSkinObject;

// Frame k (1-based) of frameCount: side by side, or one under the other
// for elements with stacked frames. An empty rectangle when the bitmap
// cannot hold the frame.
QRect SkinFrameRect(const TDataSkinObject& element, int frameCount, int frame);

// Draws the frame into rect: corners copied, edges stretched along their
// length, middle stretched or tiled; magenta left out when Trans is 1.
void DrawElement(QPainter& painter, const QRect& rect, const TDataSkinObject* element, int frameCount, int frame);

// The same into a fresh image of the given size (transparent where magenta
// was left out).
QImage RenderElement(const QSize& size, const TDataSkinObject& element, int frameCount, int frame);

// Nine-slice of an arbitrary source rectangle with explicit margins.
void DrawNineSlice(QPainter& painter, const QRect& target, const QImage& source, const QRect& sourceRect, int left,
                   int top, int right, int bottom, bool tileMiddle);

// Copy of image with magenta (255, 0, 255) pixels made transparent.
QImage MagentaToTransparent(const QImage& image);

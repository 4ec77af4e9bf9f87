#include "skin/SkinDraw.h"

#include "skin/SkinElements.h"

#include <QPainter>
#include <algorithm>

QRect SkinFrameRect(const TDataSkinObject& element, int frameCount, int frame)
{
    const QImage& bmp = element.Bitmap;
    if (bmp.isNull())
        return {};
    const int count = std::max(frameCount, 1);
    const int k = std::clamp(frame, 1, count) - 1;
    if (element.StackedFrames) {
        const int h = bmp.height() / count;
        return h > 0 ? QRect(0, k * h, bmp.width(), h) : QRect();
    }
    const int w = bmp.width() / count;
    return w > 0 ? QRect(k * w, 0, w, bmp.height()) : QRect();
}

namespace {
void tile(QPainter& p, const QRect& target, const QImage& source, const QRect& sourceRect)
{
    if (target.isEmpty() || sourceRect.isEmpty())
        return;
    p.save();
    p.setClipRect(target, Qt::IntersectClip);
    for (int y = target.top(); y <= target.bottom(); y += sourceRect.height())
        for (int x = target.left(); x <= target.right(); x += sourceRect.width())
            p.drawImage(QPoint(x, y), source, sourceRect);
    p.restore();
}

void stretch(QPainter& p, const QRect& target, const QImage& source, const QRect& sourceRect)
{
    if (target.isEmpty() || sourceRect.isEmpty())
        return;
    p.drawImage(target, source, sourceRect);
}
} // namespace

void DrawNineSlice(QPainter& p, const QRect& target, const QImage& source, const QRect& sourceRect, int left, int top,
                   int right, int bottom, bool tileMiddle)
{
    const QRect src = sourceRect.intersected(source.rect());
    if (src.isEmpty() || target.isEmpty())
        return;
    int l = std::max(left, 0), r = std::max(right, 0), t = std::max(top, 0), b = std::max(bottom, 0);
    if (target.width() < l + r || src.width() < l + r)
        l = r = 0;
    if (target.height() < t + b || src.height() < t + b)
        t = b = 0;

    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int sx[4] = {src.left(), src.left() + l, src.right() + 1 - r, src.right() + 1};
    const int sy[4] = {src.top(), src.top() + t, src.bottom() + 1 - b, src.bottom() + 1};
    const int dx[4] = {target.left(), target.left() + l, target.right() + 1 - r, target.right() + 1};
    const int dy[4] = {target.top(), target.top() + t, target.bottom() + 1 - b, target.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
            const QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
            if (row == 1 && col == 1 && tileMiddle)
                tile(p, d, source, s);
            else
                stretch(p, d, source, s);
        }
    }
    p.restore();
}

QImage MagentaToTransparent(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == 0x00FF00FF)
                line[x] = 0;
        }
    }
    return out;
}

QImage RenderElement(const QSize& size, const TDataSkinObject& element, int frameCount, int frame)
{
    QImage out(size, QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::transparent);
    const QRect src = SkinFrameRect(element, frameCount, frame);
    if (src.isEmpty())
        return out;
    {
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        DrawNineSlice(p, out.rect(), element.Bitmap, src, element.LeftWidth, element.TopHeight, element.RightWidth,
                      element.BottomHeight, element.TilesMiddle());
    }
    return element.Trans == 1 ? MagentaToTransparent(out) : out;
}

void DrawElement(QPainter& painter, const QRect& rect, const TDataSkinObject* element, int frameCount, int frame)
{
    if (!element || rect.isEmpty() || element->Bitmap.isNull())
        return;
    if (element->Trans != 1) {
        const QRect src = SkinFrameRect(*element, frameCount, frame);
        if (src.isEmpty())
            return;
        DrawNineSlice(painter, rect, element->Bitmap, src, element->LeftWidth, element->TopHeight, element->RightWidth,
                      element->BottomHeight, element->TilesMiddle());
        return;
    }
    painter.drawImage(rect.topLeft(), RenderElement(rect.size(), *element, frameCount, frame));
}

#pragma once
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;

// A painter on a printer or PDF page that measures in tenths of a
// millimetre from the top left of the printable area, whatever the device's
// resolution, and writes Chinese in a font the page carries with it.
class PrintedPage {
public:
    // False from Begun() when the device cannot be painted (a PDF file that
    // cannot be written, a printer that went away).
    explicit PrintedPage(QPagedPaintDevice& device);

    bool Begun() const { return painter_.isActive(); }
    double Width() const { return width_; }   // of the printable area
    double Height() const { return height_; } // of the printable area
    QPainter& Painter() { return painter_; }

    // A font `height` tenths of a millimetre tall.
    static QFont Font(double height, bool bold = false);
    // Writes `text` into `box` with the alignment, cut with a mark when it
    // is wider than the box.
    void Text(const QRectF& box, const QString& text, const QFont& font, Qt::Alignment alignment = Qt::AlignLeft);
    bool NewPage();
    bool End() { return painter_.end(); }

private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    double width_ = 0;
    double height_ = 0;
};

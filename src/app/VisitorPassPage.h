#pragma once
#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

// A pass handed to a visitor at the gate; its QR code holds the pass text
// that the exit's scanner types back.
struct VisitorPass {
    qint64 recordNumber = 0;
    QString name;
    QString category;
    QString reason;
    QString arrival;
    QString siteName; // may be empty
    QString siteId;   // the record's id on the site, at a gate of a site; else empty
};

// A6 upright. The layout follows the page's width, so an 80 mm receipt
// chosen in the print dialog takes the same pass.
QPageLayout VisitorPassPageLayout();

// Paints the pass on one page; false when the device cannot be painted.
bool PaintVisitorPass(QPagedPaintDevice& device, const VisitorPass& pass);

#pragma once
#include <QList>
#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

// The roll call: who is on site, to take outside at an alarm and tick off.
struct RollCallEntry {
    QString name;
    QString category;
    QString arrival;
    QString reason;
    QString mobile; // in full: the list is for reaching people
};

// A4 upright, with margins every printer can reach.
QPageLayout RollCallPageLayout();

// Paints the roll call on the device's pages, as many as it takes: the
// title, the time printed and the count, then a table with a tick column;
// every page repeats the table's head and says which page it is. False when
// the device cannot be painted.
bool PaintRollCall(QPagedPaintDevice& device, const QList<RollCallEntry>& entries, const QString& printedAt,
                   const QString& siteName);

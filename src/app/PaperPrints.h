#pragma once
#include "app/RollCallPage.h"
#include "app/VisitorPassPage.h"

#include <QObject>

class QPrinter;
class QWidget;
class TRegisterConnection;

// Printing from the record list: the roll call of who is on site and the
// pass of one visitor, each through the print dialog (a printer, or a PDF
// file in the documents folder when there is no printer).
class TPaperPrints : public QObject {
    Q_OBJECT
public:
    TPaperPrints(QWidget* window, TRegisterConnection* connection);

    void PrintRollCall(const QString& printedAt);
    void PrintPass(const VisitorPass& pass);

    // The visitors on site, in the list's order.
    QList<RollCallEntry> OnSiteEntries() const;

private:
    // Shows the print dialog; false when the guard cancels it.
    bool choosePrinter(QPrinter& printer, const QString& title, const QString& fileName);

    QWidget* window_;
    TRegisterConnection* connection_;
};

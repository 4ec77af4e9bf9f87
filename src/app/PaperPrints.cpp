#include "app/PaperPrints.h"
#include "app/FeatureTexts.h"
#include "app/SiteName.h"
#include "db/DataColumn.h"
#include "db/RegisterQuery.h"
#include "db/VisitorPresence.h"
#include "shell/MessageBoxes.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace {

QString withoutDots(const QString& caption)
{
    QString title = caption;
    while (title.endsWith(u'.'))
        title.chop(1);
    return title;
}

} // namespace

TPaperPrints::TPaperPrints(QWidget* window, TRegisterConnection* connection)
    : QObject(window), window_(window), connection_(connection)
{}

QList<RollCallEntry> TPaperPrints::OnSiteEntries() const
{
    TRegisterQuery query(connection_);
    query.SQL.Add(OnSiteListing());
    query.Open();
    QList<RollCallEntry> entries;
    query.ReadRows([&](const QStringList& row) {
        auto field = [&](DataColumn column) { return row.value(ColumnIndex(column)); };
        entries.append({field(DataColumn::Name), field(DataColumn::Category), field(DataColumn::Arrival),
                        field(DataColumn::Reason), field(DataColumn::Mobile)});
        return true;
    });
    return entries;
}

void TPaperPrints::PrintRollCall(const QString& printedAt)
{
    const QList<RollCallEntry> entries = OnSiteEntries();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(RollCallPageLayout());
    const QString fileName =
        FeatureTexts::RollCallFileStem() + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    if (!choosePrinter(printer, withoutDots(FeatureTexts::PrintRollCallItem()), fileName))
        return;
    const QString siteName = ReadSiteName(QCoreApplication::applicationDirPath());
    if (!PaintRollCall(printer, entries, printedAt, siteName))
        MessageBoxes::ShowMessage(FeatureTexts::PrintFailed());
}

void TPaperPrints::PrintPass(const VisitorPass& pass)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(VisitorPassPageLayout());
    const QString fileName = FeatureTexts::PassFileStem() + QString::number(pass.recordNumber);
    if (!choosePrinter(printer, withoutDots(FeatureTexts::PrintPassItem()), fileName))
        return;
    VisitorPass printed = pass;
    printed.siteName = ReadSiteName(QCoreApplication::applicationDirPath());
    if (!PaintVisitorPass(printer, printed))
        MessageBoxes::ShowMessage(FeatureTexts::PrintFailed());
}

bool TPaperPrints::choosePrinter(QPrinter& printer, const QString& title, const QString& fileName)
{
    printer.setDocName(fileName);
    printer.setFontEmbeddingEnabled(true);
    // Without a printer the dialog offers a PDF file: it starts in the
    // documents folder, as exports do.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QDir(folder).exists())
            folder = QDir::homePath();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(folder).filePath(fileName + QStringLiteral(".pdf")));
    }
    QPrintDialog dialog(&printer, window_);
    dialog.setWindowTitle(title);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

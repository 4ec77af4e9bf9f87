// Exporting the list now shown to a spreadsheet or CSV file.
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "db/RegisterQuery.h"
#include "records/NumberMask.h"
#include "records/RecordExport.h"
#include "shell/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>

namespace {

// Above this many rows the export shows its progress and can be cancelled.
constexpr int kRowsWithoutProgress = 10000;

QString suggestedFileName()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(FeatureTexts::ExportFileStem()
                                 + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"))
                                 + QStringLiteral(".xlsx"));
}

} // namespace

QString TForm1::AskExportFileName()
{
    QFileDialog dialog(this, FeatureTexts::ExportDialogTitle());
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList types = {FeatureTexts::ExportXlsxType(), FeatureTexts::ExportCsvType()};
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, types](const QString& type) {
        dialog.setDefaultSuffix(type == types[1] ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    const QString suggested = suggestedFileName();
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const ExportFormat type = dialog.selectedNameFilter() == types[1] ? ExportFormat::Csv : ExportFormat::Xlsx;
    return ExportFileName(dialog.selectedFiles().first(), type);
}

void TForm1::ExportListItemClick()
{
    if (!ADOQuery1->Active())
        return;
    const QString fileName = AskExportFileName();
    if (fileName.isEmpty())
        return;
    ExportRowsToFile(fileName);
}

void TForm1::ExportRowsToFile(const QString& fileName)
{
    TRegisterQuery* query = ADOQuery1;
    QStringList header;
    for (int i = 0; i < query->FieldCount(); ++i)
        header << query->FieldName(i);
    const bool masked = HideNumbersItem->isChecked();
    const ExportRows rows{header, [query, header, masked](const ExportRowVisitor& visit) {
                              query->ReadRows([&](const QStringList& row) {
                                  if (!masked)
                                      return visit(row);
                                  QStringList shown = row;
                                  for (qsizetype i = 0; i < shown.size() && i < header.size(); ++i)
                                      shown[i] = MaskedCell(header[i], shown[i]);
                                  return visit(shown);
                              });
                          }};

    const int count = query->RecordCount();
    std::unique_ptr<QProgressDialog> progress;
    if (count > kRowsWithoutProgress) {
        progress =
            std::make_unique<QProgressDialog>(FeatureTexts::ExportInProgress(), FeatureTexts::Cancel(), 0, count, this);
        progress->setObjectName(QStringLiteral("ExportProgress"));
        progress->setWindowTitle(FeatureTexts::ExportDialogTitle());
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    const ExportProgress report = [&progress](qsizetype written) {
        if (!progress)
            return true;
        progress->setValue(static_cast<int>(written));
        QCoreApplication::processEvents();
        return !progress->wasCanceled();
    };

    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool complete = ExportToFile(fileName, rows, report);
        QApplication::restoreOverrideCursor();
        progress.reset();
        if (complete)
            MessageBoxes::ShowMessage(FeatureTexts::ExportDone(count));
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        progress.reset();
        MessageBoxes::ShowMessage(FeatureTexts::ExportFailed(QString::fromUtf8(e.what())));
    }
}

// Exporting the list now shown to a spreadsheet or CSV file.
#include "app/ListExport.h"
#include "app/FeatureTexts.h"
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

TListExport::TListExport(QWidget* window, TRegisterQuery* query, const QAction* hideNumbers)
    : QObject(window), window_(window), query_(query), hideNumbers_(hideNumbers)
{}

QString TListExport::askFileName(ExportFormat& format)
{
    QFileDialog dialog(window_, FeatureTexts::ExportDialogTitle());
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList types = {FeatureTexts::ExportXlsxType(), FeatureTexts::ExportSpreadsheetCsvType(),
                               FeatureTexts::ExportPlainCsvType()};
    const ExportFormat formats[] = {ExportFormat::Xlsx, ExportFormat::SpreadsheetCsv, ExportFormat::Csv};
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, types](const QString& type) {
        dialog.setDefaultSuffix(type == types[0] ? QStringLiteral("xlsx") : QStringLiteral("csv"));
    });
    const QString suggested = suggestedFileName();
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const ExportFormat type = formats[std::max<qsizetype>(0, types.indexOf(dialog.selectedNameFilter()))];
    QString fileName = ExportFileName(dialog.selectedFiles().first(), type);
    format = ExportFormatFor(fileName, type);
    return fileName;
}

void TListExport::AskAndExport()
{
    if (!query_->Active() || exporting_)
        return;
    ExportFormat format = ExportFormat::Xlsx;
    const QString fileName = askFileName(format);
    if (fileName.isEmpty())
        return;
    ExportRowsToFile(fileName, format);
}

bool TListExport::DeferClose()
{
    if (!exporting_)
        return false;
    closeAfterExport_ = true;
    return true;
}

void TListExport::ExportRowsToFile(const QString& fileName) { ExportRowsToFile(fileName, ExportFormatOf(fileName)); }

void TListExport::ExportRowsToFile(const QString& fileName, ExportFormat format)
{
    TRegisterQuery* query = query_;
    QStringList header;
    for (int i = 0; i < query->FieldCount(); ++i)
        header << query->FieldName(i);
    const bool masked = hideNumbers_->isChecked();
    const ExportRows rows{header,
                          [query, header, masked](const ExportRowVisitor& visit) {
                              query->ReadRows([&](const QStringList& row) {
                                  if (!masked)
                                      return visit(row);
                                  QStringList shown = row;
                                  for (qsizetype i = 0; i < shown.size() && i < header.size(); ++i)
                                      shown[i] = MaskedCell(header[i], shown[i]);
                                  return visit(shown);
                              });
                          },
                          FeatureTexts::ExportCutMark()};

    // From here events may run (the progress dialog runs them).
    exporting_ = true;
    const int count = query->RecordCount();
    std::unique_ptr<QProgressDialog> progress;
    if (count > kRowsWithoutProgress) {
        progress = std::make_unique<QProgressDialog>(FeatureTexts::ExportInProgress(), FeatureTexts::Cancel(), 0, count,
                                                     window_);
        progress->setObjectName(QStringLiteral("ExportProgress"));
        progress->setWindowTitle(FeatureTexts::ExportDialogTitle());
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
    }
    // Events run while the progress shows; a close among them cancels the
    // export (DeferClose) and comes back once the walk has ended.
    const ExportProgress report = [this, &progress](qsizetype written) {
        if (!progress)
            return true;
        progress->setValue(static_cast<int>(written));
        QCoreApplication::processEvents();
        return !progress->wasCanceled() && !closeAfterExport_;
    };

    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString message;
    try {
        const ExportOutcome outcome = ExportToFile(fileName, format, rows, report);
        if (outcome.complete) {
            message = FeatureTexts::ExportDone(count)
                      + (outcome.cutCells > 0 ? FeatureTexts::ExportCellsCut(outcome.cutCells) : QString());
            if (Exported)
                Exported(fileName, count, masked);
        }
    } catch (const EExportError& e) {
        message = FeatureTexts::ExportFailed(
            e.kind() == EExportError::Kind::Incomplete ? FeatureTexts::ExportIncomplete() : e.message());
    } catch (const std::exception& e) {
        message = FeatureTexts::ExportFailed(QString::fromUtf8(e.what()));
    }
    QApplication::restoreOverrideCursor();
    progress.reset();
    exporting_ = false;
    if (closeAfterExport_) {
        closeAfterExport_ = false;
        window_->close();
        return;
    }
    if (!message.isEmpty())
        MessageBoxes::ShowMessage(message);
}

#pragma once
#include "records/RecordExport.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <cstddef>

// The temporary file of an export, written through the descriptor that made
// it. Every write is checked; finish() puts the file on disk and reads it
// back whole, so a file that is not what was written never counts as done.
class ExportSink {
public:
    explicit ExportSink(int fd) : fd_(fd) {}
    void write(const char* data, size_t size);
    void write(const QByteArray& bytes) { write(bytes.constData(), static_cast<size_t>(bytes.size())); }
    void finish();

private:
    int fd_;
    qint64 size_ = 0;
    QCryptographicHash written_{QCryptographicHash::Sha1};
};

// The reason of an EExportError for the last system error.
[[noreturn]] void FailWithSystemError(int error);

// The file formats. Each writes the whole file into the sink and returns an
// outcome that is not complete when progress cancelled; raises EExportError.
// The .xlsx is first built in a private folder named from workStem.
ExportOutcome WriteCsvExport(ExportSink& sink, const ExportRows& rows, const ExportProgress& progress,
                             bool forSpreadsheet);
ExportOutcome WriteXlsxExport(ExportSink& sink, const QString& workStem, const ExportRows& rows,
                              const ExportProgress& progress);

// Passes each row to `write` in order and reports progress every
// kExportProgressStep rows; false when progress cancelled.
bool WriteExportRows(const ExportRows& rows, const ExportProgress& progress,
                     const std::function<void(const QStringList&)>& write);

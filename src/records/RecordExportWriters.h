#pragma once
#include "records/RecordExport.h"

#include <QByteArray>

// The two file formats. Each writes the whole file at `path` (which exists,
// empty) and returns false when progress cancelled; raises EExportError.
bool WriteCsvExport(const QByteArray& path, const ExportRows& rows, const ExportProgress& progress);
bool WriteXlsxExport(const QByteArray& path, const ExportRows& rows, const ExportProgress& progress);

// Passes each row to `write` in order and reports progress every
// kExportProgressStep rows; false when progress cancelled.
bool WriteExportRows(const ExportRows& rows, const ExportProgress& progress,
                     const std::function<void(const QStringList&)>& write);

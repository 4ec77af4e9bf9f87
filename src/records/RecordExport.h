#pragma once
#include "base/VostrelError.h"

#include <QString>
#include <QStringList>
#include <functional>

// Writing the record list to a spreadsheet file (.xlsx) or a CSV file.

enum class ExportFormat { Xlsx, Csv };

// The name to write: a name ending in ".xlsx" or ".csv" (any case) keeps it,
// any other name gets the extension of the type picked in the dialog.
QString ExportFileName(const QString& chosenName, ExportFormat chosenType);
// The format a name's extension stands for; anything but ".csv" is .xlsx.
ExportFormat ExportFormatOf(const QString& fileName);

// A row visitor: false stops the rows.
using ExportRowVisitor = std::function<bool(const QStringList& row)>;

// The rows to write: the header, and a reader that passes the rows in order
// to a visitor until it returns false.
struct ExportRows {
    QStringList header;
    std::function<void(const ExportRowVisitor&)> forEach;
};

// Told the number of rows written so far, now and then; false cancels.
using ExportProgress = std::function<bool(qsizetype written)>;

class EExportError : public EVostrelError {
public:
    using EVostrelError::EVostrelError;
};

// Writes the rows to fileName in the format of its extension. The bytes go to
// a temporary file beside it, which takes the name only when it is complete
// and on disk: a cancelled or failed export leaves nothing behind and an
// existing file as it was. The file is readable by its owner only.
// Returns false when cancelled; raises EExportError when it fails.
bool ExportToFile(const QString& fileName, const ExportRows& rows, const ExportProgress& progress);

// Rows between two progress reports.
inline constexpr qsizetype kExportProgressStep = 1000;

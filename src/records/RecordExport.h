#pragma once
#include "base/VostrelError.h"

#include <QString>
#include <QStringList>
#include <functional>

// Writing the record list to a spreadsheet file (.xlsx) or a CSV file.

// Csv is plain RFC 4180 for other programs; SpreadsheetCsv writes each value
// so that a spreadsheet opening the file keeps it as the text it is.
enum class ExportFormat { Xlsx, Csv, SpreadsheetCsv };

// The name to write: a name ending in ".xlsx" or ".csv" (any case) keeps it,
// any other name gets the extension of the type picked in the dialog.
QString ExportFileName(const QString& chosenName, ExportFormat chosenType);
// The format a name's extension stands for; anything but ".csv" is .xlsx.
ExportFormat ExportFormatOf(const QString& fileName);
// The format to write a name (from ExportFileName) in: its extension decides
// between .xlsx and CSV, the type picked decides which CSV; a ".csv" name
// typed with the .xlsx type picked is the spreadsheet CSV.
ExportFormat ExportFormatFor(const QString& fileName, ExportFormat chosenType);

// A row visitor: false stops the rows.
using ExportRowVisitor = std::function<bool(const QStringList& row)>;

// The rows to write: the header, and a reader that passes the rows in order
// to a visitor until it returns false.
// A .xlsx cell longer than the format allows is cut and ends in cutMark.
struct ExportRows {
    QStringList header;
    std::function<void(const ExportRowVisitor&)> forEach;
    QString cutMark = QStringLiteral("…");
};

// What an export did: complete is false when it was cancelled; cutCells
// counts the .xlsx cells cut to the format's limit.
struct ExportOutcome {
    bool complete = false;
    qsizetype cutCells = 0;
    explicit operator bool() const { return complete; }
};

// Told the number of rows written so far, now and then; false cancels.
using ExportProgress = std::function<bool(qsizetype written)>;

// Incomplete: the file did not read back as written (a disk that filled up
// under a library that does not report it); the caller words the reason.
class EExportError : public EVostrelError {
public:
    enum class Kind { Failed, Incomplete };
    explicit EExportError(const QString& message, Kind kind = Kind::Failed) : EVostrelError(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Writes the rows to fileName in the given format. The bytes go to a
// temporary file beside it, which takes the name only when it is complete,
// on disk and read back: a cancelled or failed export leaves nothing behind
// and an existing file as it was. The file is readable by its owner only.
// Raises EExportError when it fails.
ExportOutcome ExportToFile(const QString& fileName, ExportFormat format, const ExportRows& rows,
                           const ExportProgress& progress);
// The same in the format of the name's extension.
ExportOutcome ExportToFile(const QString& fileName, const ExportRows& rows, const ExportProgress& progress);

// Characters in a .xlsx cell, at most.
inline constexpr qsizetype kXlsxCellMaxChars = 32767;

// Rows between two progress reports.
inline constexpr qsizetype kExportProgressStep = 1000;

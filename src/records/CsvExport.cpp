#include "records/RecordExportWriters.h"

namespace {

constexpr qsizetype kFlushSize = 1 << 20;
// Excel reads at most 255 characters in one string constant of a formula and
// 8,192 in a whole formula.
constexpr qsizetype kFormulaStringMax = 250;
constexpr qsizetype kFormulaMax = 8192;

// RFC 4180: a field holding a comma, a quote or a line break is quoted, its
// quotes doubled.
void appendField(QByteArray& line, const QString& field)
{
    const QByteArray bytes = field.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
        line += '"';
        for (char c : bytes) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    } else {
        line += bytes;
    }
}

bool startsLikeAFormula(const QString& value)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    return !value.isEmpty() && kFormulaStarts.contains(value[0]);
}

// The value as a formula whose result is the value as text: ="..." pieces
// joined by &, line breaks as CHAR(13) and CHAR(10). A spreadsheet then keeps
// digits, dates and leading zeros as typed and never runs the value itself.
// Empty when the formula would be too long for a spreadsheet.
QString textFormula(const QString& value)
{
    QString formula = QStringLiteral("=");
    qsizetype pieceLength = 0;
    bool inPiece = false;
    const auto closePiece = [&] {
        if (inPiece)
            formula += QLatin1Char('"');
        inPiece = false;
        pieceLength = 0;
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const bool lineBreak = c == QLatin1Char('\r') || c == QLatin1Char('\n');
        if (lineBreak || (pieceLength >= kFormulaStringMax && !c.isLowSurrogate()))
            closePiece();
        if (formula.size() > 1 && !inPiece)
            formula += QLatin1Char('&');
        if (lineBreak) {
            formula += c == QLatin1Char('\r') ? QStringLiteral("CHAR(13)") : QStringLiteral("CHAR(10)");
            continue;
        }
        if (!inPiece)
            formula += QLatin1Char('"');
        inPiece = true;
        formula += c;
        if (c == QLatin1Char('"'))
            formula += c;
        ++pieceLength;
    }
    closePiece();
    return formula.size() <= kFormulaMax ? formula : QString();
}

// A value for a spreadsheet: as a text formula, or, when too long for one, as
// it is behind a tab where it would otherwise start a formula.
QString spreadsheetText(const QString& value)
{
    if (value.isEmpty())
        return value;
    QString formula = textFormula(value);
    if (!formula.isEmpty())
        return formula;
    return startsLikeAFormula(value) ? QLatin1Char('\t') + value : value;
}

void appendRecord(QByteArray& out, const QStringList& fields, bool forSpreadsheet)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, forSpreadsheet ? spreadsheetText(fields[i]) : fields[i]);
    }
    out += "\r\n";
}

} // namespace

ExportOutcome WriteCsvExport(ExportSink& sink, const ExportRows& rows, const ExportProgress& progress,
                             bool forSpreadsheet)
{
    // The byte-order mark makes the spreadsheets used in China read UTF-8.
    QByteArray buffer("\xEF\xBB\xBF");
    appendRecord(buffer, rows.header, false);
    const bool complete = WriteExportRows(rows, progress, [&](const QStringList& row) {
        appendRecord(buffer, row, forSpreadsheet);
        if (buffer.size() >= kFlushSize) {
            sink.write(buffer);
            buffer.clear();
        }
    });
    if (complete)
        sink.write(buffer);
    return ExportOutcome{complete, 0};
}

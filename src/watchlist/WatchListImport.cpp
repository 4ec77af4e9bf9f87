#include "watchlist/WatchListImport.h"
#include "base/GbkCodec.h"
#include "base/VostrelError.h"
#include "records/XlsxRead.h"
#include "visitors/IdentityNumber.h"
#include "watchlist/WatchMatcher.h"

#include <QDate>
#include <QFile>
#include <QSet>
#include <QStringDecoder>

namespace {

constexpr qsizetype kColumns = 4;

QString decodedText(const QByteArray& bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? FromGbk(bytes) : text;
}

bool blank(const QStringList& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); });
}

bool mobileWellFormed(QString mobile)
{
    mobile.remove(QLatin1String("+86"));
    return std::all_of(mobile.begin(), mobile.end(),
                       [](QChar c) { return (c >= u'0' && c <= u'9') || c.isSpace() || c == u'-'; });
}

} // namespace

QList<TWatchFileRow> ParseCsvRows(const QString& text)
{
    QList<TWatchFileRow> rows;
    TWatchFileRow row{1, {}};
    QString field;
    bool quoted = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                line += c == u'\n' ? 1 : 0;
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.cells << field;
            field.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row.cells << field;
            rows << row;
            field.clear();
            row = {++line, {}};
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.cells.isEmpty()) {
        row.cells << field;
        rows << row;
    }
    return rows;
}

QList<TWatchFileRow> ReadWatchListFile(const QString& fileName)
{
    if (fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
        QList<TWatchFileRow> rows;
        int line = 0;
        for (const QStringList& cells : ReadXlsxRows(fileName))
            rows << TWatchFileRow{++line, cells};
        return rows;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVostrelError(file.errorString());
    return ParseCsvRows(decodedText(file.readAll()));
}

TWatchImportPlan PlanWatchListImport(const QList<TWatchFileRow>& rows, const TWatchMatcher& listed)
{
    TWatchImportPlan plan;
    QSet<QString> numbersInFile;
    bool first = true;
    for (const TWatchFileRow& row : rows) {
        if (blank(row.cells))
            continue;
        QStringList cells;
        for (const QString& cell : row.cells)
            cells << cell.trimmed();
        if (first && cells.value(0) == QStringLiteral("姓名")) {
            first = false;
            continue;
        }
        first = false;
        TWatchEntry entry{0, cells.value(0), cells.value(1), cells.value(2), cells.value(3), {}};
        const QString number = NormalisedIdentityNumber(entry.identityNumber);
        const IdentityNumberCheck check = CheckIdentityNumber(number, QDate::currentDate());
        WatchSkipReason reason{};
        bool skip = true;
        if (entry.name.isEmpty())
            reason = WatchSkipReason::NoName;
        else if (!blank(cells.mid(kColumns)))
            reason = WatchSkipReason::ExtraColumns;
        else if (check.judged && !check.ok())
            reason = WatchSkipReason::WrongIdentity;
        else if (!mobileWellFormed(entry.mobile))
            reason = WatchSkipReason::WrongMobile;
        else if (!number.isEmpty() && (listed.ByIdentityNumber(number) || numbersInFile.contains(number)))
            reason = WatchSkipReason::AlreadyListed;
        else
            skip = false;
        if (skip) {
            plan.skipped << TWatchSkippedLine{row.line, reason};
            continue;
        }
        if (!number.isEmpty())
            numbersInFile.insert(number);
        plan.entries << entry;
    }
    return plan;
}

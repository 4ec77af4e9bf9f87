#include "db/SqlStatement.h"
#include "db/DatabaseError.h"

#include <QRegularExpression>

const QStringList& DataColumns()
{
    static const QStringList columns = {QStringLiteral("编号"),   QStringLiteral("分类"), QStringLiteral("姓名"),
                                        QStringLiteral("身份证"), QStringLiteral("手机"), QStringLiteral("电话"),
                                        QStringLiteral("来由"),   QStringLiteral("地址"), QStringLiteral("来访"),
                                        QStringLiteral("离开"),   QStringLiteral("备注"), QStringLiteral("日期")};
    return columns;
}

namespace {

// "(data)" names the table data.
QString withoutParentheses(const QString& table)
{
    if (table.startsWith(QLatin1Char('(')) && table.endsWith(QLatin1Char(')')))
        return table.mid(1, table.size() - 2).trimmed();
    return table;
}

} // namespace

SqlLine::SqlLine(const SqlSelect& head)
{
    const QString table = QString::fromUtf8(head.table);
    pieces_.push_back({SqlPiece::Fixed, QString::fromUtf8(head.select) + QString::fromUtf8(head.list)
                                            + QString::fromUtf8(head.from) + table});
    selectHead_ = SqlSelectHead{QString::fromUtf8(head.list), withoutParentheses(table)};
}

SqlLine& SqlLine::operator+=(const char* fixedUtf8)
{
    pieces_.push_back({SqlPiece::Fixed, QString::fromUtf8(fixedUtf8)});
    return *this;
}

SqlLine& SqlLine::operator+=(const SqlValue& v)
{
    pieces_.push_back({SqlPiece::Value, v.text});
    return *this;
}

SqlLine& SqlLine::operator+=(const SqlColumn& c)
{
    pieces_.push_back({SqlPiece::Column, c.text});
    return *this;
}

SqlLine& SqlLine::operator+=(const SqlInteger& n)
{
    pieces_.push_back({SqlPiece::Integer, n.text});
    return *this;
}

SqlLine& SqlLine::operator+=(const SqlWhere& w)
{
    pieces_.push_back({SqlPiece::Where, QString::fromUtf8(w.text)});
    return *this;
}

QString SqlLine::text() const
{
    QString s;
    for (const SqlPiece& p : pieces_)
        s += p.text;
    return s;
}

QString TSqlStrings::Text() const
{
    QString s;
    for (const SqlLine& line : lines_)
        s += line.text() + QStringLiteral("\r\n");
    return s;
}

namespace {

// A value standing inside a quoted literal of the fixed text closes that
// literal and is joined to it: like '%' || ? || '%', values ('' || ? || '').
void appendValue(QString& out, bool insideQuotes)
{
    out += insideQuotes ? QStringLiteral("' || ? || '") : QStringLiteral("?");
}

// Jet accepts a table name in parentheses after FROM; SQLite only in a select.
QString withoutParenthesisedTable(QString text)
{
    static const QRegularExpression parenthesised(QStringLiteral("\\bfrom\\s*\\(\\s*([^\\s()]+)\\s*\\)"),
                                                  QRegularExpression::CaseInsensitiveOption);
    text.replace(parenthesised, QStringLiteral("from \\1"));
    return text;
}

} // namespace

CompiledSql TSqlStrings::compile() const
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]{1,18}$"));
    CompiledSql result;
    QString fixedText; // fixed pieces only, with placeholders: what the engine parses
    bool insideQuotes = false;
    // A plain select begins with a select head, and the first piece after the
    // head, if any, begins a where condition.
    const bool selectHead = !lines_.empty() && lines_.front().selectHead().has_value();
    bool plainSelect = selectHead;
    bool headPending = selectHead; // the head is the first piece of the first line
    bool afterHead = false;
    qsizetype restStart = 0;
    for (const SqlLine& line : lines_) {
        for (const SqlPiece& p : line.pieces()) {
            if (afterHead) {
                plainSelect = plainSelect && p.kind == SqlPiece::Where;
                afterHead = false;
            }
            switch (p.kind) {
            case SqlPiece::Fixed:
            case SqlPiece::Where:
                fixedText += p.text;
                insideQuotes ^= (p.text.count(QLatin1Char('\'')) % 2) == 1;
                break;
            case SqlPiece::Value:
                appendValue(fixedText, insideQuotes);
                result.parameters << p.text;
                break;
            case SqlPiece::Column:
                if (!DataColumns().contains(p.text))
                    throw EDatabaseError(QStringLiteral("no such column: ") + p.text);
                fixedText += p.text;
                break;
            case SqlPiece::Integer:
                if (!wholeNumber.match(p.text).hasMatch())
                    throw EDatabaseError(QStringLiteral("not a record number: ") + p.text);
                fixedText += p.text;
                break;
            }
            if (headPending) {
                headPending = false;
                afterHead = true;
                restStart = fixedText.size();
            }
        }
        fixedText += QStringLiteral("\r\n");
    }
    result.text = withoutParenthesisedTable(fixedText);
    if (plainSelect) {
        const SqlSelectHead& head = *lines_.front().selectHead();
        result.plainSelect = SqlPlainSelect{head.table, head.list, withoutParenthesisedTable(fixedText.mid(restStart))};
    }
    return result;
}

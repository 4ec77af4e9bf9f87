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
    for (const SqlLine& line : lines_) {
        for (const SqlPiece& p : line.pieces()) {
            switch (p.kind) {
            case SqlPiece::Fixed:
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
        }
        fixedText += QStringLiteral("\r\n");
    }
    result.text = withoutParenthesisedTable(fixedText);
    return result;
}

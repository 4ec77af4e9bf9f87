#include "db/ConnectionString.h"

#include <QStringList>
#include <vector>

namespace {

QString unquoted(const QString& value)
{
    const QString v = value.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return value;
}

} // namespace

ConnectionParts ParseConnectionString(const QString& connectionString)
{
    struct Pair {
        QString key;
        QString value;
    };
    std::vector<Pair> pairs;
    for (const QString& piece : connectionString.split(QLatin1Char(';'))) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (!pairs.empty() && !piece.isEmpty())
                pairs.back().value += QLatin1Char(';') + piece;
            continue;
        }
        pairs.push_back({piece.left(eq).trimmed().toLower(), piece.mid(eq + 1)});
    }
    ConnectionParts parts;
    for (const Pair& p : pairs) {
        if (p.key == QLatin1String("provider"))
            parts.provider = unquoted(p.value).trimmed();
        else if (p.key == QLatin1String("data source"))
            parts.dataSource = unquoted(p.value);
        else if (p.key == QLatin1String("jet oledb:database password"))
            parts.password = unquoted(p.value);
    }
    return parts;
}

#include "skin/SkinIni.h"

namespace {
bool isSectionHeader(const QString& line)
{
    return line.size() >= 2 && line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

bool parseDigits(const QString& text, int base, qint64& value)
{
    if (text.isEmpty())
        return false;
    qint64 v = 0;
    for (const QChar c : text) {
        int d;
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            d = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            d = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            d = u - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL)
            return false;
    }
    value = v;
    return true;
}
} // namespace

void TQuickIni::LoadFromStream(const QByteArray& bytes) { LoadFromText(QString::fromLatin1(bytes)); }

void TQuickIni::LoadFromText(const QString& text)
{
    lines_.clear();
    sections_.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    auto keep = [this, &text](qsizetype from, qsizetype to) {
        const QString line = text.mid(from, to - from).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            return;
        if (isSectionHeader(line))
            sections_.append({line.toLower(), static_cast<int>(lines_.size())});
        lines_.append(line);
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            keep(start, i);
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        keep(start, n);
}

void TQuickIni::ReadSections(QStringList* list) const
{
    if (!list)
        throw std::invalid_argument(kNoListText);
    list->clear();
    for (const SectionIndex& s : sections_)
        list->append(lines_[s.line].mid(1, lines_[s.line].size() - 2).trimmed());
}

QString TQuickIni::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const QString header = (QLatin1Char('[') + section + QLatin1Char(']')).toLower();
    for (const SectionIndex& s : sections_) {
        if (s.header != header)
            continue;
        const QString wanted = key.toLower();
        for (qsizetype i = s.line + 1; i < lines_.size(); ++i) {
            const QString& line = lines_[i];
            if (isSectionHeader(line))
                break;
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            const QString lineKey = eq < 0 ? QString() : line.left(eq).trimmed().toLower();
            if (lineKey != wanted)
                continue;
            const QString value = line.mid(eq + 1).trimmed();
            return value.isEmpty() ? defaultValue : value;
        }
        return defaultValue;
    }
    return defaultValue;
}

bool TQuickIni::ParseInteger(const QString& text, int& value)
{
    qint64 v = 0;
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        if (!parseDigits(text.mid(2), 16, v))
            return false;
        value = static_cast<int>(static_cast<quint32>(v));
        return true;
    }
    QString body = text;
    bool negative = false;
    if (body.startsWith(QLatin1Char('-')) || body.startsWith(QLatin1Char('+'))) {
        negative = body.startsWith(QLatin1Char('-'));
        body.remove(0, 1);
    }
    if (body.startsWith(QLatin1Char('$'))) {
        if (!parseDigits(body.mid(1), 16, v))
            return false;
        const auto u = static_cast<quint32>(v);
        value = static_cast<int>(negative ? 0u - u : u);
        return true;
    }
    if (!parseDigits(body, 10, v))
        return false;
    if (negative)
        v = -v;
    if (v > 0x7FFFFFFFLL || v < -0x80000000LL)
        return false;
    value = static_cast<int>(v);
    return true;
}

int TQuickIni::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    int value = defaultValue;
    return ParseInteger(ReadString(section, key, QString()), value) ? value : defaultValue;
}

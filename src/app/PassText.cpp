#include "app/PassText.h"

#include <algorithm>

namespace PassText {

QString ForRecord(qint64 recordNumber) { return kPrefix.toString() + QString::number(recordNumber); }

bool MayBegin(QStringView text)
{
    if (text.size() <= kPrefix.size())
        return kPrefix.startsWith(text);
    if (!text.startsWith(kPrefix) || text.size() > kPrefix.size() + kMostDigits)
        return false;
    const QStringView digits = text.mid(kPrefix.size());
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::optional<qint64> RecordNumber(QStringView text)
{
    if (text.size() <= kPrefix.size() || !MayBegin(text))
        return std::nullopt;
    bool isNumber = false;
    const qint64 number = text.mid(kPrefix.size()).toLongLong(&isNumber);
    if (!isNumber || number <= 0)
        return std::nullopt;
    return number;
}

} // namespace PassText

#include "app/PassText.h"

#include <algorithm>

namespace PassText {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isSiteIdChar(QChar c) { return isDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'-'; }

constexpr QChar kSiteIdMark = u':';

} // namespace

QString ForRecord(qint64 recordNumber) { return kPrefix.toString() + QString::number(recordNumber); }

QString ForSiteRecord(qint64 recordNumber, const QString& siteId)
{
    return ForRecord(recordNumber) + kSiteIdMark + siteId;
}

bool MayBegin(QStringView text)
{
    if (text.size() <= kPrefix.size())
        return kPrefix.startsWith(text);
    if (!text.startsWith(kPrefix))
        return false;
    const QStringView rest = text.mid(kPrefix.size());
    const qsizetype mark = rest.indexOf(kSiteIdMark);
    const QStringView digits = mark < 0 ? rest : rest.first(mark);
    if (digits.size() > kMostDigits || !std::all_of(digits.begin(), digits.end(), isDigit))
        return false;
    if (mark < 0)
        return true;
    const QStringView siteId = rest.mid(mark + 1);
    return !digits.isEmpty() && siteId.size() <= kMostSiteIdChars
           && std::all_of(siteId.begin(), siteId.end(), isSiteIdChar);
}

std::optional<qint64> RecordNumber(QStringView text)
{
    if (text.size() <= kPrefix.size() || !MayBegin(text) || text.endsWith(kSiteIdMark))
        return std::nullopt;
    const QStringView rest = text.mid(kPrefix.size());
    const qsizetype mark = rest.indexOf(kSiteIdMark);
    bool isNumber = false;
    const qint64 number = (mark < 0 ? rest : rest.first(mark)).toLongLong(&isNumber);
    if (!isNumber || number <= 0)
        return std::nullopt;
    return number;
}

QString SiteId(QStringView text)
{
    if (!RecordNumber(text))
        return {};
    const qsizetype mark = text.indexOf(kSiteIdMark, kPrefix.size());
    return mark < 0 ? QString() : text.mid(mark + 1).toString();
}

} // namespace PassText

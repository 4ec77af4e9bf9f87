#include "watchlist/WatchMatcher.h"

QString NormalisedIdentityNumber(const QString& typed)
{
    QString number;
    number.reserve(typed.size());
    for (QChar c : typed)
        if (!c.isSpace())
            number += c;
    if (number.endsWith(u'x'))
        number.back() = u'X';
    return number;
}

QString NormalisedMobile(const QString& typed)
{
    QString blanksOut;
    for (QChar c : typed)
        if (!c.isSpace())
            blanksOut += c;
    if (blanksOut.startsWith(QLatin1String("+86")))
        blanksOut.remove(0, 3);
    QString digits;
    for (QChar c : blanksOut)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

void TWatchMatcher::Rebuild(const QList<TWatchEntry>& entries)
{
    entries_ = &entries;
    byIdentity_.clear();
    byMobile_.clear();
    byName_.clear();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TWatchEntry& entry = entries[i];
        if (const QString number = NormalisedIdentityNumber(entry.identityNumber); !number.isEmpty())
            byIdentity_.insert(number, i);
        if (const QString mobile = NormalisedMobile(entry.mobile); !mobile.isEmpty())
            byMobile_.insert(mobile, i);
        if (!entry.name.isEmpty())
            byName_[entry.name].append(i);
    }
}

const TWatchEntry* TWatchMatcher::ByIdentityNumber(const QString& typed) const
{
    const auto found = byIdentity_.constFind(NormalisedIdentityNumber(typed));
    return found == byIdentity_.cend() ? nullptr : &(*entries_)[*found];
}

const TWatchEntry* TWatchMatcher::ByMobile(const QString& typed) const
{
    const auto found = byMobile_.constFind(NormalisedMobile(typed));
    return found == byMobile_.cend() ? nullptr : &(*entries_)[*found];
}

TWatchNameHit TWatchMatcher::ByName(const QString& name, const QString& identityNumber) const
{
    const auto found = byName_.constFind(name);
    if (found == byName_.cend())
        return {};
    const QString typed = NormalisedIdentityNumber(identityNumber);
    for (qsizetype i : *found)
        if (NormalisedIdentityNumber((*entries_)[i].identityNumber) == typed)
            return {&(*entries_)[i], false};
    const TWatchEntry* first = &(*entries_)[found->first()];
    return {first, !typed.isEmpty() && !NormalisedIdentityNumber(first->identityNumber).isEmpty()};
}

#pragma once
#include "watchlist/WatchEntry.h"

#include <QHash>
#include <QList>

// An identity number as it is compared: blanks removed, a final x upper-cased.
QString NormalisedIdentityNumber(const QString& typed);
// A mobile number as it is compared: its digits, after blanks and a leading
// +86 are removed.
QString NormalisedMobile(const QString& typed);

// A name typed into the form found on the watch list; differentNumber when
// the entry and the form both have an identity number and they differ.
struct TWatchNameHit {
    const TWatchEntry* entry = nullptr;
    bool differentNumber = false;
};

// Finds entries by identity number, mobile or name through hash maps, so a
// check costs the same at any length of the list. Pointers it returns stay
// valid until the entries change.
class TWatchMatcher {
public:
    // Indexes `entries`, which must outlive the matcher or the next Rebuild.
    void Rebuild(const QList<TWatchEntry>& entries);

    const TWatchEntry* ByIdentityNumber(const QString& typed) const;
    const TWatchEntry* ByMobile(const QString& typed) const;
    // Of several entries of the name, the one with the form's number first.
    TWatchNameHit ByName(const QString& name, const QString& identityNumber) const;

private:
    const QList<TWatchEntry>* entries_ = nullptr;
    QHash<QString, qsizetype> byIdentity_;
    QHash<QString, qsizetype> byMobile_;
    QHash<QString, QList<qsizetype>> byName_;
};

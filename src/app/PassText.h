#pragma once
#include <QString>
#include <QStringView>
#include <optional>

// The text a visitor pass carries in its QR code: "VST1:" and the record
// number; at a gate of a site, then ":" and the record's site id, since the
// visitor may leave by another gate, where the record has another number.
// A keyboard-wedge scanner types it back at the exit.
namespace PassText {

inline constexpr QStringView kPrefix = u"VST1:";
// More digits than any record number has; a longer run is not a pass.
inline constexpr qsizetype kMostDigits = 18;

// The longest site id a pass carries.
inline constexpr qsizetype kMostSiteIdChars = 64;

QString ForRecord(qint64 recordNumber);
QString ForSiteRecord(qint64 recordNumber, const QString& siteId);

// The record number of a whole pass text (at the gate that printed it), or nothing.
std::optional<qint64> RecordNumber(QStringView text);
// The site id of a whole pass text printed at a gate of a site, else empty.
QString SiteId(QStringView text);

// True when `text` is the beginning of some pass text (the empty text too).
bool MayBegin(QStringView text);

} // namespace PassText

#pragma once
#include <QString>
#include <QStringView>
#include <optional>

// The text a visitor pass carries in its QR code: "VST1:" and the record
// number. A keyboard-wedge scanner types it back at the exit.
namespace PassText {

inline constexpr QStringView kPrefix = u"VST1:";
// More digits than any record number has; a longer run is not a pass.
inline constexpr qsizetype kMostDigits = 18;

QString ForRecord(qint64 recordNumber);

// The record number of a whole pass text, or nothing.
std::optional<qint64> RecordNumber(QStringView text);

// True when `text` is the beginning of some pass text (the empty text too).
bool MayBegin(QStringView text);

} // namespace PassText

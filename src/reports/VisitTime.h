#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

class TRecordDateReader;

// The clock time in a 来访 or 离开 text: the first "h:mm" or "h:mm:ss",
// turned to the 24-hour clock when 上午/下午 or AM/PM stands beside it.
std::optional<QTime> TimeOf(const QString& text);

// Date and time of a 来访 or 离开 text, as the clock on the wall read them
// (kept in UTC, so a stay is the plain difference of two readings and no time
// zone is consulted per visit); a text with a time and no readable date takes
// `dayWithoutDate` when that is valid.
std::optional<QDateTime> MomentOf(const TRecordDateReader& reader, const QString& text,
                                  const QDate& dayWithoutDate = QDate());
// The same, for a text whose clock time `time` was already read.
std::optional<QDateTime> MomentAt(const TRecordDateReader& reader, const QString& text,
                                  const std::optional<QTime>& time, const QDate& dayWithoutDate = QDate());

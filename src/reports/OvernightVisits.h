#pragma once
#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class TRegisterConnection;

// Overnight visits: visitors who arrived on a day before today (by the day
// index) and whose 离开 is still blank.

// Their record numbers, ascending. Raises EDatabaseError.
std::vector<std::int64_t> OvernightVisits(TRegisterConnection& connection, const QDate& today);

// The text written into 离开 of an overnight visit closed by the guard.
QString UnrecordedDeparture();

// Writes UnrecordedDeparture() into 离开 of every overnight visit, in one
// transaction; a visit whose 离开 was filled meanwhile is left as it is, and
// no other column changes. `beforeCommit`, if given, is told how many were
// written, inside the transaction (the audit trail writes its row there).
// Returns the record numbers written. Raises EDatabaseError, or what
// `beforeCommit` raises; nothing is written then.
std::vector<std::int64_t> CloseOvernightVisits(TRegisterConnection& connection, const QDate& today,
                                               const std::function<void(std::size_t written)>& beforeCommit = {});

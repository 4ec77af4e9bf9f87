#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct sqlite3;

// The names of those columns of record `recordNumber` in data whose stored
// text differs from the value paired with them, in the order given (a null
// stored value reads as empty). Empty when the record is not there. Column
// names must be data's own. Raises EDatabaseError.
QStringList ChangedColumns(sqlite3* db, qint64 recordNumber, const QList<QPair<QString, QString>>& columnValues);

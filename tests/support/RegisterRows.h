#pragma once
#include <QString>
#include <QStringList>

// The rows of table data (the given columns, ordered by 编号, each row joined
// with '|') followed by "Pass <value>" for every row of Pass, read from the
// register file at `path` with the register's key. Empty when the file cannot
// be opened with that key.
QStringList RegisterRows(const QString& path, const QString& dataColumns = QStringLiteral("*"));

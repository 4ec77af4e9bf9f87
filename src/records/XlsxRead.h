#pragma once
#include "base/VostrelError.h"

#include <QList>
#include <QStringList>

// A workbook that cannot be read: not a zip, no sheet, damaged XML.
class EXlsxReadError : public EVostrelError {
public:
    using EVostrelError::EVostrelError;
};

// The cells of the workbook's first sheet as text, row by row from the first
// row that holds a cell; a row's cells from column A, gaps as empty texts.
// Shared and inline strings read as written; a number reads as the shortest
// text that gives it back, whole numbers without exponent. Raises
// EXlsxReadError.
QList<QStringList> ReadXlsxRows(const QString& fileName);

#pragma once
#include "base/VostrelError.h"

#include <QString>
#include <QStringList>

// "class.dat": the category list, one category a line, in GBK.

class ECategoryFileError : public EVostrelError {
public:
    using EVostrelError::EVostrelError;
};

// Lines end at CR, LF or CR LF; an empty line is an empty item; a final line
// break adds no item; reading stops at a zero byte. Raises ECategoryFileError
// when the file cannot be read.
QStringList ReadCategoryFile(const QString& path);

// Splits file content into items by the rules above.
QStringList ParseCategoryLines(const QByteArray& content);

// Every item followed by CR LF. The old file is replaced only once the new
// content is wholly on disk; on failure it stays as it was and
// ECategoryFileError is raised.
void WriteCategoryFile(const QString& path, const QStringList& items);

// The list written when the file is missing at the first start.
const QStringList& DefaultCategories();

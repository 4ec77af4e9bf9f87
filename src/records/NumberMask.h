#pragma once
#include <QString>

// Masked forms of the numbers that identify a visitor, for lists and exports
// while numbers are hidden: an identity number keeps its first 6 and last 4
// characters, a mobile number its first 3 and last 4; the rest become "*".
// A value too short to hide anything is returned as it is.
QString MaskIdentityNumber(const QString& value);
QString MaskMobileNumber(const QString& value);

// A cell of a record list while numbers are hidden: 身份证 and 手机 masked,
// every other column as it is.
QString MaskedCell(const QString& column, const QString& value);

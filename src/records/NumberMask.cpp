#include "records/NumberMask.h"

namespace {

QString maskMiddle(const QString& value, qsizetype keepFront, qsizetype keepBack)
{
    if (value.size() <= keepFront + keepBack)
        return value;
    QString masked = value;
    for (qsizetype i = keepFront; i < value.size() - keepBack; ++i)
        masked[i] = QLatin1Char('*');
    return masked;
}

} // namespace

QString MaskIdentityNumber(const QString& value) { return maskMiddle(value, 6, 4); }

QString MaskMobileNumber(const QString& value) { return maskMiddle(value, 3, 4); }

QString MaskedCell(const QString& column, const QString& value)
{
    if (column == QStringLiteral("身份证"))
        return MaskIdentityNumber(value);
    if (column == QStringLiteral("手机"))
        return MaskMobileNumber(value);
    return value;
}

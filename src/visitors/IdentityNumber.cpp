#include "visitors/IdentityNumber.h"

#include <array>

namespace {

bool allDigits(const QString& text, qsizetype from, qsizetype count)
{
    for (qsizetype i = from; i < from + count; ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    return true;
}

int number(const QString& text, qsizetype from, qsizetype count) { return text.mid(from, count).toInt(); }

bool birthDateOk(const QDate& birth, const QDate& today)
{
    return birth.isValid() && birth.year() >= 1900 && birth <= today;
}

} // namespace

QChar IdentityCheckCharacter(const QString& first17)
{
    static constexpr std::array<int, 17> weights = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    static const char* const checks = "10X98765432";
    int sum = 0;
    for (qsizetype i = 0; i < 17 && i < first17.size(); ++i)
        sum += (first17[i].unicode() - u'0') * weights[static_cast<std::size_t>(i)];
    return QChar::fromLatin1(checks[sum % 11]);
}

IdentityNumberCheck CheckIdentityNumber(const QString& value, const QDate& today)
{
    IdentityNumberCheck result;
    if (value.size() == 18 && allDigits(value, 0, 17)) {
        const QChar last = value[17].toUpper();
        if (last != QLatin1Char('X') && !allDigits(value, 17, 1))
            return result;
        result.judged = true;
        result.checkCharacterOk = last == IdentityCheckCharacter(value.left(17));
        result.birthDateOk = birthDateOk(QDate(number(value, 6, 4), number(value, 10, 2), number(value, 12, 2)), today);
    } else if (value.size() == 15 && allDigits(value, 0, 15)) {
        result.judged = true;
        result.birthDateOk =
            birthDateOk(QDate(1900 + number(value, 6, 2), number(value, 8, 2), number(value, 10, 2)), today);
    }
    return result;
}

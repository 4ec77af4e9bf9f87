#pragma once
#include <QDate>
#include <QString>

// Checks a mainland identity-card number as typed into the record form.
// An 18-character number (17 digits and a digit or X) is checked for its
// check character (ISO 7064 MOD 11-2) and its birth date (characters 7 to 14,
// yyyyMMdd, from 1900 up to `today`); a 15-digit number only for its birth
// date (characters 7 to 12, yyMMdd in 19yy). Any other value is left alone:
// visitors may show passports or other papers.
struct IdentityNumberCheck {
    bool judged = false; // the value has the shape of an identity number
    bool checkCharacterOk = true;
    bool birthDateOk = true;
    bool ok() const { return checkCharacterOk && birthDateOk; }
};

IdentityNumberCheck CheckIdentityNumber(const QString& value, const QDate& today);

// The check character of an 18-character number from its first 17 digits:
// '0' to '9' or 'X'.
QChar IdentityCheckCharacter(const QString& first17);

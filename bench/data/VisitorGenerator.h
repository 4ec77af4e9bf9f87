#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// Makes plausible visitor records for measuring the register at scale. The
// same seed always gives the same records in the same order.
class TVisitorGenerator {
public:
    explicit TVisitorGenerator(std::uint64_t seed);

    // The values of one visitor for 分类, 姓名, 身份证, 手机, 电话, 来由, 地址,
    // 来访, 离开, 备注 and 日期, in that order. `index` of `total` places the
    // visit in time, so that entry order is also the order of visits.
    QStringList Next(std::int64_t index, std::int64_t total);

private:
    std::uint64_t nextRandom();
    int below(int n); // 0 .. n-1
    bool oneIn(int n);
    QString pick(const QStringList& list);
    QString digits(int count);
    QString name();
    QString identityNumber();
    QString mobile();
    QString telephone();
    QString address();
    QString remarks();

    std::uint64_t state_;
};

// A keyword planted in about one row in a thousand of one searchable column.
struct TRareKeyword {
    QString column;
    QString keyword;
};
const std::vector<TRareKeyword>& RareKeywords();
// A keyword that no generated row holds in any column.
QString MissingKeyword();
// The category the filter is measured with.
QString FilterCategory();

// The check digit of an 18-digit identity number from its first 17 digits
// (ISO 7064 MOD 11-2): '0'..'9' or 'X'.
QChar IdentityCheckDigit(const QString& first17);
bool IsValidIdentityNumber(const QString& number);

// Makes `folder`/_.udb with the set-up tool's schema and `rows` generated
// visitors. Returns an empty string on success, else why it failed.
QString GenerateRegister(const QString& folder, std::int64_t rows, std::uint64_t seed);

// Writes the visitor rows of the register in `folder` into `plainPath`, an
// unencrypted file with the same table and no index: the size reference.
QString WritePlainCopy(const QString& folder, const QString& plainPath);

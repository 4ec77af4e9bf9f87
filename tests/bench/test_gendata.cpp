#include "TempDir.h"
#include "VisitorGenerator.h"
#include "db/CategoryFile.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/SqlStatement.h"
#include "db/Sqlite.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

TEST(VisitorGenerator, CheckDigitsFollowMod11_2)
{
    // Published examples, one of them ending in X.
    EXPECT_EQ(IdentityCheckDigit(QStringLiteral("11010519491231002")), QLatin1Char('X'));
    EXPECT_TRUE(IsValidIdentityNumber(QStringLiteral("11010519491231002X")));
    EXPECT_TRUE(IsValidIdentityNumber(QStringLiteral("440524188001010014")));
    EXPECT_FALSE(IsValidIdentityNumber(QStringLiteral("440524188001010015")));
    EXPECT_FALSE(IsValidIdentityNumber(QStringLiteral("44052418800101001")));
    EXPECT_FALSE(IsValidIdentityNumber(QStringLiteral("4405241880010100１4")));
}

TEST(VisitorGenerator, SameSeedSameVisitorsAndPlausibleFields)
{
    TVisitorGenerator a(7), b(7), c(8);
    bool differs = false;
    int multiLine = 0;
    std::map<QString, int> planted;
    const QRegularExpression mobile(QStringLiteral("^1[0-9]{10}$"));
    const QRegularExpression clock(QStringLiteral("^20[0-9]{2}/[0-9]{1,2}/[0-9]{1,2} [0-9]{2}:[0-9]{2}:[0-9]{2}$"));
    constexpr int kRows = 20000;
    for (int i = 0; i < kRows; ++i) {
        const QStringList row = a.Next(i, kRows);
        ASSERT_EQ(row, b.Next(i, kRows));
        differs = differs || row != c.Next(i, kRows);
        ASSERT_EQ(row.size(), 11);
        EXPECT_TRUE(DefaultCategories().contains(row[0])) << row[0].toStdString();
        EXPECT_FALSE(row[1].isEmpty());
        EXPECT_TRUE(IsValidIdentityNumber(row[2])) << row[2].toStdString();
        EXPECT_TRUE(mobile.match(row[3]).hasMatch()) << row[3].toStdString();
        EXPECT_TRUE(clock.match(row[7]).hasMatch()) << row[7].toStdString();
        EXPECT_TRUE(clock.match(row[10]).hasMatch());
        multiLine += row[9].contains(QLatin1Char('\n'));
        for (const TRareKeyword& k : RareKeywords()) {
            const int column = static_cast<int>(DataColumns().indexOf(k.column)) - 1;
            planted[k.column] += row[column].contains(k.keyword);
        }
        for (const QString& value : row)
            ASSERT_FALSE(value.contains(MissingKeyword()));
    }
    EXPECT_TRUE(differs);
    EXPECT_GT(multiLine, kRows / 100);
    // About one row in a thousand for each searched column.
    for (const auto& [column, count] : planted) {
        EXPECT_GT(count, kRows / 1000 / 2) << column.toStdString();
        EXPECT_LT(count, kRows / 1000 * 2) << column.toStdString();
    }
}

TEST(VisitorGenerator, RegistersOfTheSameSeedHoldTheSameRows)
{
    TempDir one, two;
    ASSERT_EQ(GenerateRegister(one.path(), 300, 5), QString());
    ASSERT_EQ(GenerateRegister(two.path(), 300, 5), QString());
    auto rows = [](const TempDir& dir) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr);
        EXPECT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
        QStringList all;
        {
            SqliteStatement s(db, QStringLiteral("SELECT * FROM data ORDER BY 编号"));
            while (s.step())
                for (int i = 0; i < s.columnCount(); ++i)
                    all << s.columnText(i);
        }
        sqlite3_close(db);
        return all;
    };
    const QStringList first = rows(one);
    EXPECT_EQ(first.size(), 300 * 12);
    EXPECT_EQ(first, rows(two));
    EXPECT_EQ(first.value(0), QStringLiteral("1"));

    // The plain copy holds the same rows without a key.
    const QString plain = one.file(QStringLiteral("plain.sqlite"));
    ASSERT_EQ(WritePlainCopy(one.path(), plain), QString());
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(plain).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    {
        SqliteStatement s(db, QStringLiteral("SELECT count(*) FROM data"));
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.columnInt64(0), 300);
    }
    sqlite3_close(db);
}

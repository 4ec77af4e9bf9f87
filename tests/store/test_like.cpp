#include "db/LikeMatch.h"
#include "db/Sqlite.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The engine's own like(), before ours replaces it.
bool engineLike(sqlite3* db, const std::string& pattern, const std::string& text)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT ?2 LIKE ?1", -1, &s, nullptr);
    sqlite3_bind_text(s, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_step(s);
    const bool result = sqlite3_column_int(s, 0) != 0;
    sqlite3_finalize(s);
    return result;
}

// Every string of up to `length` pieces from `alphabet`.
std::vector<std::string> strings(const std::vector<std::string>& alphabet, int length)
{
    std::vector<std::string> all{""}, last{""};
    for (int i = 0; i < length; ++i) {
        std::vector<std::string> next;
        for (const std::string& s : last)
            for (const std::string& a : alphabet)
                next.push_back(s + a);
        all.insert(all.end(), next.begin(), next.end());
        last = next;
    }
    return all;
}

} // namespace

TEST(LikeMatch, AgreesWithTheEnginesLikeOnEveryShortPatternAndText)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    const std::vector<std::string> patterns = strings({"%", "_", "a", "B", "张"}, 4);
    const std::vector<std::string> texts = strings({"A", "b", "张", "三"}, 4);
    for (const std::string& p : patterns)
        for (const std::string& t : texts)
            ASSERT_EQ(LikeMatches(p, t), engineLike(db, p, t)) << "'" << t << "' like '" << p << "'";

    const std::vector<std::pair<std::string, std::string>> longer = {{"%QQ帐号%", "QQ帐号"},
                                                                     {"%qq帐号%", "我的QQ帐号们"},
                                                                     {"%石河%", "新疆维吾尔自治区石河子市"},
                                                                     {"%0903-%", "0903-1234567"},
                                                                     {"%17400%", "13517400123"},
                                                                     {"%a%b%c%", "xxaYYbZZc"},
                                                                     {"%%", ""},
                                                                     {"%", "x"},
                                                                     {"%100%%", "100%"},
                                                                     {"%贵重物品%", "寄存贵重物品一件\n已登记"},
                                                                     {"%北京%人民路%", "北京市朝阳区人民路1号"},
                                                                     {"%人民路%北京%", "北京市朝阳区人民路1号"},
                                                                     {"%aB%ab%", "xABab"},
                                                                     {"%ab%ab%", "xab"},
                                                                     {"%张%%三%", "张三"}};
    for (const auto& [p, t] : longer)
        EXPECT_EQ(LikeMatches(p, t), engineLike(db, p, t)) << "'" << t << "' like '" << p << "'";
    sqlite3_close(db);
}

TEST(LikeMatch, ReplacesLikeOnAHandleAndKeepsNulls)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_NO_THROW(InstallLikeFunction(db));
    {
        SqliteStatement s(db,
                          QStringLiteral("SELECT 'ab' LIKE '%B%', NULL LIKE '%', 'x' LIKE NULL, '张三' LIKE '_三'"));
        ASSERT_TRUE(s.step());
        EXPECT_EQ(s.columnInt64(0), 1);
        EXPECT_EQ(sqlite3_column_type(s.get(), 1), SQLITE_NULL);
        EXPECT_EQ(sqlite3_column_type(s.get(), 2), SQLITE_NULL);
        EXPECT_EQ(s.columnInt64(3), 1);
    }
    sqlite3_close(db);
}

// Statement text as written, what the engine receives, the connection string.
#include "db/ConnectionString.h"
#include "db/DatabaseError.h"
#include "db/RegisterFile.h"
#include "db/SqlStatement.h"

#include <gtest/gtest.h>

TEST(Statements, TextIsTheLinesEachFollowedByCrLf)
{
    TSqlStrings sql;
    sql.Add(SqlLine("Select 编号 from data where ") + SqlColumn{QStringLiteral("姓名")} + " like '%"
            + SqlValue{QStringLiteral("O'Neil")} + "%' ");
    sql.Add(SqlLine("second"));
    EXPECT_EQ(sql.Text(), QStringLiteral("Select 编号 from data where 姓名 like '%O'Neil%' \r\nsecond\r\n"));
}

TEST(Statements, ValuesReachTheEngineAsParametersOnly)
{
    TSqlStrings sql;
    sql.Add(SqlLine("Insert into data (分类,姓名) values ('") + SqlValue{QStringLiteral("a'b")} + "','"
            + SqlValue{QStringLiteral("?")} + "')");
    const CompiledSql compiled = sql.compile();
    EXPECT_EQ(compiled.parameters, (QStringList{QStringLiteral("a'b"), QStringLiteral("?")}));
    EXPECT_FALSE(compiled.text.contains(QStringLiteral("a'b")));
    EXPECT_EQ(compiled.text.count(QLatin1Char('?')), 2);
    // Quotes stay balanced whatever the values hold.
    EXPECT_EQ(compiled.text.count(QLatin1Char('\'')) % 2, 0);
}

TEST(Statements, ParenthesisedTableNamesAreAccepted)
{
    TSqlStrings sql;
    sql.Add(SqlLine("delete from (data)"));
    EXPECT_EQ(sql.compile().text, QStringLiteral("delete from data\r\n"));
}

TEST(Statements, OnlyColumnsOfDataAndWholeNumbersAreAccepted)
{
    for (const QString& column : DataColumns()) {
        TSqlStrings sql;
        sql.Add(SqlLine("x ") + SqlColumn{column});
        EXPECT_NO_THROW(sql.compile());
    }
    for (const char* bad : {"姓名 ", "姓名--", "data", "", "姓名;drop"}) {
        TSqlStrings sql;
        sql.Add(SqlLine("x ") + SqlColumn{QString::fromUtf8(bad)});
        EXPECT_THROW(sql.compile(), EDatabaseError) << bad;
    }
    for (const char* bad : {"", "1 or 1=1", "1.5", "0x10", " 1"}) {
        TSqlStrings sql;
        sql.Add(SqlLine("where  编号=") + SqlInteger{QString::fromUtf8(bad)});
        EXPECT_THROW(sql.compile(), EDatabaseError) << bad;
    }
}

TEST(Statements, ASelectRecordsItsTableListAndCondition)
{
    // Clause words inside a quoted literal or a bound value belong to the condition.
    TSqlStrings sql;
    sql.Add(SqlLine(SqlSelect{"Select  ", "编号,姓名", "  from ", "(data)"})
            + SqlWhere{" where 备注 <> 'order by 1' and 姓名 like '%"} + SqlValue{QStringLiteral("x' group by 姓名")}
            + "%' ");
    const CompiledSql compiled = sql.compile();
    ASSERT_TRUE(compiled.plainSelect.has_value());
    EXPECT_EQ(compiled.plainSelect->table, QStringLiteral("data"));
    EXPECT_EQ(compiled.plainSelect->list, QStringLiteral("编号,姓名"));
    const QString rest = QStringLiteral(" where 备注 <> 'order by 1' and 姓名 like '%' || ? || '%' \r\n");
    EXPECT_EQ(compiled.plainSelect->rest, rest);
    EXPECT_EQ(compiled.text, QStringLiteral("Select  编号,姓名  from data") + rest);
    EXPECT_EQ(compiled.parameters, QStringList{QStringLiteral("x' group by 姓名")});
    EXPECT_EQ(sql.Text(), QStringLiteral("Select  编号,姓名  from (data) where 备注 <> 'order by 1' and 姓名 like "
                                         "'%x' group by 姓名%' \r\n"));
}

TEST(Statements, OnlyAHeadFollowedByNothingOrAWhereIsAPlainSelect)
{
    const SqlSelect head{"Select ", "姓名", " from ", "data"};
    auto plainRest = [](std::initializer_list<SqlLine> lines) {
        TSqlStrings sql;
        for (const SqlLine& line : lines)
            sql.Add(line);
        const std::optional<SqlPlainSelect> select = sql.compile().plainSelect;
        return select ? select->rest : QStringLiteral("not plain");
    };
    EXPECT_EQ(plainRest({head}), QStringLiteral("\r\n"));
    EXPECT_EQ(plainRest({head, SqlLine() + SqlWhere{" where 编号 > 1"}}), QStringLiteral("\r\n where 编号 > 1\r\n"));
    EXPECT_EQ(QStringLiteral("not plain"), plainRest({SqlLine(head) + " order by 姓名"}));
    EXPECT_EQ(QStringLiteral("not plain"), plainRest({head, SqlLine(" group by 姓名")}));
    EXPECT_EQ(QStringLiteral("not plain"), plainRest({SqlLine(head) + SqlValue{QStringLiteral("x")}}));
    EXPECT_EQ(QStringLiteral("not plain"), plainRest({SqlLine("Select 姓名 from data")})); // written as plain text
    EXPECT_EQ(QStringLiteral("not plain"), plainRest({SqlLine("x"), head}));
    EXPECT_EQ(QStringLiteral("not plain"), plainRest({}));
}

TEST(Statements, ChangingTheTextNotifiesItsOwner)
{
    int changes = 0;
    TSqlStrings sql;
    sql.onChanging = [&] { ++changes; };
    sql.Clear();
    sql.Add(SqlLine("a"));
    EXPECT_EQ(changes, 2);
}

TEST(ConnectionStrings, TheProgramsStringGivesFileAndKey)
{
    const ConnectionParts parts = ParseConnectionString(RegisterConnectionString(QStringLiteral("/opt/gate/")));
    EXPECT_EQ(parts.provider, QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    EXPECT_EQ(parts.dataSource, QStringLiteral("/opt/gate/_.udb"));
    EXPECT_EQ(parts.password, QStringLiteral("p7Rx2mQ9tLw4"));
    EXPECT_EQ(RegisterConnectionString(QStringLiteral("/opt/gate/")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/gate/_.udb;Persist Security Info=False;"
                             "Jet OLEDB:Database Password=p7Rx2mQ9tLw4"));
}

TEST(ConnectionStrings, QuotesCaseAndSemicolonsInFolders)
{
    EXPECT_EQ(
        ParseConnectionString(QStringLiteral("data source=\"/a;b/_.udb\";JET OLEDB:DATABASE PASSWORD='k'")).dataSource,
        QStringLiteral("/a;b/_.udb"));
    EXPECT_EQ(ParseConnectionString(QStringLiteral("Data Source=/a;b/_.udb;Jet OLEDB:Database Password=k")).dataSource,
              QStringLiteral("/a;b/_.udb"));
    EXPECT_EQ(ParseConnectionString(QStringLiteral("Jet OLEDB:Database Password=k")).password, QStringLiteral("k"));
    EXPECT_TRUE(ParseConnectionString(QString()).dataSource.isEmpty());
}

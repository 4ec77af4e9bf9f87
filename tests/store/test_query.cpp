// The working query over a real register: results, navigation, deletes.
#include "StoreFixture.h"
#include "db/DatabaseError.h"

#include <QFile>

TEST_F(StoreFixture, ListingCountsAndReadsRowsInOrderOfEntry)
{
    for (const char* name : {"张三", "李四", "王五"})
        addVisitor(QString::fromUtf8(name));
    open(allRecords());
    ASSERT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(query.FieldCount(), 11);
    EXPECT_EQ(query.FieldName(0), QStringLiteral("编号"));
    EXPECT_EQ(query.FieldName(10), QStringLiteral("备注"));
    QStringList names;
    QList<int> ids;
    for (query.First(); !query.Eof(); query.Next()) {
        names << query.Fields(DataColumn::Name);
        ids << query.Fields(DataColumn::RecordNumber).toInt();
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")}));
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(query.FieldByName(QStringLiteral("手机")), QString()); // empty text
}

TEST_F(StoreFixture, NavigationStopsAtTheEnds)
{
    for (int i = 0; i < 5; ++i)
        addVisitor(QStringLiteral("v%1").arg(i));
    open(allRecords());
    EXPECT_EQ(query.RecNo(), 1);
    EXPECT_FALSE(query.Eof());
    query.Prior();
    EXPECT_EQ(query.RecNo(), 1);
    query.Last();
    EXPECT_EQ(query.RecNo(), 5);
    query.Next();
    EXPECT_EQ(query.RecNo(), 5);
    EXPECT_TRUE(query.Eof());
    query.MoveBy(-3);
    EXPECT_EQ(query.RecNo(), 2);
    query.MoveBy(100);
    EXPECT_EQ(query.RecNo(), 5);
    query.MoveBy(-100);
    EXPECT_EQ(query.RecNo(), 1);
    query.SetRecNo(4);
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("v3"));
}

TEST_F(StoreFixture, AnEmptyResultIsAtItsEndWithRowMinusOne)
{
    open(allRecords());
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.RecNo(), -1);
    query.Next();
    query.Last();
    EXPECT_EQ(query.RecNo(), -1);
    EXPECT_THROW(query.Fields(0), EDatabaseError);
}

TEST_F(StoreFixture, AClosedQueryRefusesResultOperations)
{
    addVisitor(QStringLiteral("a"));
    open(allRecords());
    query.SQL.Clear(); // replacing the statement closes the query
    EXPECT_FALSE(query.Active());
    EXPECT_THROW(query.Next(), EDatabaseError);
    EXPECT_THROW(query.RecordCount(), EDatabaseError);
    EXPECT_EQ(query.RecNo(), -1);
}

TEST_F(StoreFixture, DeleteRemovesTheCurrentRowFromTableAndResult)
{
    for (const char* name : {"a", "b", "c"})
        addVisitor(QString::fromUtf8(name));
    open(allRecords());
    query.Next(); // "b"
    query.Delete();
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("c"));
    query.Delete(); // the last row: the current row becomes the new last
    EXPECT_EQ(query.RecNo(), 1);
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("a"));

    TRegisterQuery other(&connection);
    other.SQL.Add(allRecords());
    other.Open();
    EXPECT_EQ(other.RecordCount(), 1);
    EXPECT_EQ(other.Fields(DataColumn::Name), QStringLiteral("a"));
}

TEST_F(StoreFixture, ClearAllWithTheParenthesisedTableName)
{
    addVisitor(QStringLiteral("a"));
    addVisitor(QStringLiteral("b"));
    exec(SqlLine("delete from (data)"));
    open(SqlSelect{"select ", "*", " from ", "(data)"});
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_EQ(query.FieldCount(), 12);
}

TEST_F(StoreFixture, SearchAndFilterStatementsMatchSubstrings)
{
    for (const char* name : {"张三", "小张", "李四"})
        addVisitor(QString::fromUtf8(name));
    addVisitor(QStringLiteral("王五"), QStringLiteral("QQ帐号2"));
    open(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
         + SqlColumn{QStringLiteral("姓名")} + " like '%" + SqlValue{QStringLiteral("张")} + "%' ");
    EXPECT_EQ(query.RecordCount(), 2);
    open(SqlLine(SqlSelect{"Select  ", kListedColumns, "  from ", "data"}) + SqlWhere{" where 分类 like '%"}
         + SqlValue{QStringLiteral("QQ帐号")} + "%' ");
    EXPECT_EQ(query.RecordCount(), 4);
}

TEST_F(StoreFixture, OrderedOrGroupedSelectsAreReadWholeAndSearchesAreSnapshots)
{
    for (const char* name : {"丙", "甲", "乙"})
        addVisitor(QString::fromUtf8(name));
    const SqlSelect names{"Select ", "姓名", " from ", "data"};
    auto column = [&] {
        QStringList values;
        for (query.First(); !query.Eof(); query.Next())
            values << query.Fields(0);
        return values;
    };
    open(SqlLine(names) + " order by 姓名 desc");
    EXPECT_EQ(column(), (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
    EXPECT_THROW(query.Delete(), EDatabaseError); // a result read whole cannot delete
    open(SqlLine(SqlSelect{"Select ", "分类, count(*)", " from ", "data"}) + " group by 分类");
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.Fields(1), QStringLiteral("3"));

    // Clause words in a literal or a value leave a search a snapshot in record order.
    open(SqlLine(names) + SqlWhere{" where 来由 <> 'order by 姓名' and 姓名 <> '"}
         + SqlValue{QStringLiteral("x order by 姓名 desc")} + "'");
    EXPECT_EQ(column(), (QStringList{QStringLiteral("丙"), QStringLiteral("甲"), QStringLiteral("乙")}));
    query.First();
    query.Delete();
    EXPECT_EQ(query.RecordCount(), 2);
    open(SqlLine(names));
    EXPECT_EQ(column(), (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
}

TEST_F(StoreFixture, TypedTextIsStoredExactlyAndNeverChangesAStatement)
{
    const QString remarks =
        QStringLiteral("第一行\r\n第二行 'quoted' \"double\"\n") + QString(100000, QLatin1Char('x'));
    const QStringList values = {QStringLiteral("O'Brien's"),
                                QStringLiteral("x'); delete from data; --"),
                                QStringLiteral("'"),
                                QStringLiteral("%_\\"),
                                QStringLiteral("\"'\""),
                                QStringLiteral("a' or '1'='1"),
                                QStringLiteral(" 两边有空格 "),
                                QString(),
                                QStringLiteral("\t"),
                                remarks,
                                QStringLiteral("2026/12/8 9:00:00")};
    addVisitor(QStringLiteral("first"));
    exec(insertLine(values));
    open(allRecords());
    ASSERT_EQ(query.RecordCount(), 2);
    query.Last();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(query.Fields(i + 1), values[i]) << "column " << i + 1;

    // A keyword with quotes finds the row rather than breaking the statement.
    open(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
         + SqlColumn{QStringLiteral("姓名")} + " like '%" + SqlValue{QStringLiteral("'); delete")} + "%' ");
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(StoreFixture, TheTwelveLineModifyRewritesOneRow)
{
    addVisitor(QStringLiteral("a"));
    addVisitor(QStringLiteral("b"));
    open(allRecords());
    query.Last();
    const QString id = query.Fields(DataColumn::RecordNumber);
    const QStringList v = {QStringLiteral("网站帐号"),
                           QStringLiteral("b'2"),
                           QString(),
                           QStringLiteral("139"),
                           QStringLiteral("010"),
                           QString(),
                           QStringLiteral("北京"),
                           QStringLiteral("9:00"),
                           QStringLiteral("10:00"),
                           QStringLiteral("多\n行"),
                           QStringLiteral("2026/12/8 10:00:00")};
    const char* heads[] = {"update data  set 分类='",
                           ", 姓名='",
                           ", 身份证='",
                           ", 手机='",
                           ", 电话='",
                           ", 来由='",
                           ", 地址='",
                           ", 来访='",
                           ", 离开='",
                           ", 备注='",
                           ", 日期='"};
    query.SQL.Clear();
    for (int i = 0; i < 11; ++i)
        query.SQL.Add(SqlLine(heads[i]) + SqlValue{v[i]} + "' ");
    query.SQL.Add(SqlLine("where  编号=") + SqlInteger{id});
    EXPECT_EQ(query.SQL.Count(), 12);
    EXPECT_TRUE(query.SQL.Text().startsWith(QStringLiteral("update data  set 分类='网站帐号' \r\n, 姓名='b'2' \r\n")));
    EXPECT_TRUE(query.SQL.Text().endsWith(QStringLiteral("where  编号=") + id + QStringLiteral("\r\n")));
    query.ExecSQL();

    open(allRecords());
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("a"));
    query.Last();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(query.Fields(i + 1), v[i]);
}

TEST_F(StoreFixture, BadColumnOrRecordNumberFailsAndWritesNothing)
{
    addVisitor(QStringLiteral("a"));
    try {
        open(SqlLine(SqlSelect{"Select ", "编号", " from ", "data"}) + SqlWhere{" where "}
             + SqlColumn{QStringLiteral("姓名 like '%' or 1=1 --")} + " like '%x%' ");
        FAIL() << "an unknown column was accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("姓名 like"))) << e.message().toStdString();
    }
    EXPECT_FALSE(query.Active());
    EXPECT_THROW(exec(SqlLine("update data  set 姓名='x' where  编号=") + SqlInteger{QStringLiteral("1 or 1=1")}),
                 EDatabaseError);
    EXPECT_THROW(exec(SqlLine("Insert into data (没有这列) values ('") + SqlValue{QStringLiteral("x")} + "')"),
                 EDatabaseError);
    open(allRecords());
    EXPECT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("a"));
}

TEST_F(StoreFixture, TheConnectionReopensAfterAClose)
{
    addVisitor(QStringLiteral("a"));
    open(allRecords());
    connection.Close();
    EXPECT_FALSE(connection.Connected());
    EXPECT_FALSE(query.Active()); // its results close with it
    open(allRecords());
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(query.RecordCount(), 1);
}

TEST_F(StoreFixture, PasswordRowReadsAndUpdates)
{
    open(SqlLine("Select 密码 from Pass"));
    ASSERT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.FieldByName(QStringLiteral("密码")).size(), 16);
    exec(SqlLine("update Pass  set 密码='") + SqlValue{QStringLiteral("ABCDEF0123456789")} + "' ");
    open(SqlLine("Select 密码 from Pass"));
    EXPECT_EQ(query.FieldByName(QStringLiteral("密码")), QStringLiteral("ABCDEF0123456789"));
}

TEST(StoreFiles, UnreadableRegistersFailWithTheEnginesMessage)
{
    TempDir dir;
    ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("abc123"), false));
    const QString udb = dir.file(QStringLiteral("_.udb"));
    auto messageFor = [](const QString& connectionString) {
        TRegisterConnection connection;
        connection.SetConnectionString(connectionString);
        TRegisterQuery query(&connection);
        query.SQL.Add("Select 密码 from Pass");
        try {
            query.Open();
        } catch (const EDatabaseError& e) {
            return e.message();
        }
        return QStringLiteral("(opened)");
    };
    QString wrongKey = RegisterConnectionString(dir.folder());
    wrongKey.replace(QLatin1String(kRegisterPassword), QStringLiteral("wrong"));
    EXPECT_TRUE(messageFor(wrongKey).contains(QStringLiteral("not a database")));

    TempDir other;
    QFile garbage(other.file(QStringLiteral("_.udb")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'g'));
    garbage.close();
    EXPECT_TRUE(messageFor(RegisterConnectionString(other.folder())).contains(QStringLiteral("not a database")));

    TempDir empty;
    EXPECT_NE(messageFor(RegisterConnectionString(empty.folder())), QStringLiteral("(opened)"));
    EXPECT_FALSE(QFile::exists(empty.file(QStringLiteral("_.udb")))); // never created by the program
    EXPECT_EQ(messageFor(RegisterConnectionString(dir.folder())), QStringLiteral("(opened)"));
}

// The in-memory search copy answers exactly as the engine's scan of the
// listing, search and filter statements, whatever wrote the register.
#include "StoreFixture.h"

#include "db/SearchIndex.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "db/Unit_DB.h"
#include "db/VisitorPresence.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <random>

namespace {

const QStringList kSearched = {QStringLiteral("分类"), QStringLiteral("姓名"), QStringLiteral("身份证"),
                               QStringLiteral("手机"), QStringLiteral("电话"), QStringLiteral("来由"),
                               QStringLiteral("地址"), QStringLiteral("备注")};

// Pieces of cells and keywords: Chinese, digits, ASCII of both cases,
// wildcards, full-width letters, a precomposed and a combining accent.
const QStringList kPieces = {
    QStringLiteral("张"),      QStringLiteral("伟"), QStringLiteral("欧阳"), QStringLiteral("路"), QStringLiteral("1"),
    QStringLiteral("38"),      QStringLiteral("0"),  QStringLiteral("a"),    QStringLiteral("B"),  QStringLiteral("x"),
    QStringLiteral("%"),       QStringLiteral("_"),  QStringLiteral("Ａ"),   QStringLiteral("ａ"), QStringLiteral("é"),
    QStringLiteral("e\u0301"), QStringLiteral(" "),  QStringLiteral("-")};

class SearchIndexTest : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        connection.EnableSearchIndex(true);
        connection.handle();
    }

    QString piecesText(int most)
    {
        QString text;
        for (int n = pick(most + 1); n > 0; --n)
            text += kPieces[pick(static_cast<int>(kPieces.size()))];
        return text;
    }
    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }

    // A cell: null, a whole number stored as one, or text.
    void bindCell(sqlite3_stmt* s, int i)
    {
        const int kind = pick(8);
        if (kind == 0)
            sqlite3_bind_null(s, i);
        else if (kind == 1)
            sqlite3_bind_int64(s, i, 13800000000LL + pick(1000));
        else {
            const QByteArray text = piecesText(6).toUtf8();
            sqlite3_bind_text(s, i, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
    }

    void addRow()
    {
        SqliteStatement s(connection.handle(),
                          QStringLiteral("INSERT INTO data (分类,姓名,身份证,手机,电话,来由,地址,备注,日期) "
                                         "VALUES (?,?,?,?,?,?,?,?,'2020/1/1 8:00:00')"));
        for (int i = 1; i <= 8; ++i)
            bindCell(s.get(), i);
        s.step();
    }

    std::vector<std::int64_t> scan(const QString& sql, const QStringList& parameters = {})
    {
        SqliteStatement s(connection.handle(), sql);
        s.bindTexts(parameters);
        std::vector<std::int64_t> ids;
        while (s.step())
            ids.push_back(s.columnInt64(0));
        return ids;
    }

    std::int64_t anyRecord()
    {
        const auto ids = scan(QStringLiteral("SELECT 编号 FROM data"));
        return ids.empty() ? 0 : ids[static_cast<std::size_t>(pick(static_cast<int>(ids.size())))];
    }

    void modifyRow()
    {
        SqliteStatement s(connection.handle(),
                          QStringLiteral("UPDATE data SET %1 = ? WHERE 编号 = ?").arg(kSearched[pick(8)]));
        bindCell(s.get(), 1);
        s.bindInt64(2, anyRecord());
        s.step();
    }

    // The search's and the filter's statements as the record list builds them.
    static CompiledSql searchStatement(const QString& column, const QString& keyword)
    {
        TSqlStrings sql;
        if (column == QLatin1String("分类"))
            sql.Add(SqlLine(SqlSelect{"Select  ", kListedColumns, "  from ", "data"}) + SqlWhere{" where 分类 like '%"}
                    + SqlValue{keyword} + "%' ");
        else
            sql.Add(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
                    + SqlColumn{column} + " like '%" + SqlValue{keyword} + "%' ");
        return sql.compile();
    }

    // Every column with random keywords: the copy answers, as the scan does.
    void expectSameAsScan(int keywords)
    {
        ASSERT_TRUE(connection.searchIndex()->ready());
        TSqlStrings listing;
        listing.Add(allRecords());
        ASSERT_EQ(connection.searchIndex()->select(*listing.compile().plainSelect, {}),
                  scan(QStringLiteral("SELECT 编号 FROM data ORDER BY 编号")));
        for (int k = 0; k < keywords; ++k) {
            const QString keyword = piecesText(3);
            if (keyword.isEmpty())
                continue;
            for (const QString& column : kSearched) {
                const CompiledSql sql = searchStatement(column, keyword);
                const auto fromIndex = connection.searchIndex()->select(*sql.plainSelect, sql.parameters);
                ASSERT_TRUE(fromIndex.has_value()) << column.toStdString();
                ASSERT_EQ(*fromIndex, scan(QStringLiteral("SELECT 编号 FROM data") + sql.plainSelect->rest
                                               + QStringLiteral(" ORDER BY 编号"),
                                           sql.parameters))
                    << column.toStdString() << " like %" << keyword.toStdString() << "%";
            }
        }
    }

    std::mt19937 random{20261209};
};

TEST_F(SearchIndexTest, AnswersAsTheScanAfterEveryKindOfWrite)
{
    for (int i = 0; i < 300; ++i)
        addRow();
    ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
    expectSameAsScan(40);

    for (int round = 0; round < 60; ++round) {
        switch (pick(9)) {
        case 0:
        case 1: addRow(); break;
        case 2:
        case 3: modifyRow(); break;
        case 4: exec(SqlLine("Delete from data where 编号=") + SqlInteger{QString::number(anyRecord())}); break;
        case 5: RecordDeparture(connection, anyRecord(), QStringLiteral("2026/12/9 10:00:00")); break;
        case 6: { // as deleting old records does: in a transaction of its own
            SqliteTransaction deletion(connection.handle(), "BEGIN IMMEDIATE;");
            ExecuteStatements(connection.handle(),
                              ("DELETE FROM data WHERE 编号 = " + QByteArray::number(anyRecord()) + ";").constData());
            deletion.Commit();
            break;
        }
        case 7: // a change undone
            ExecuteStatements(connection.handle(), "BEGIN");
            modifyRow();
            addRow();
            ExecuteStatements(connection.handle(), "ROLLBACK");
            break;
        case 8:
            if (pick(4) == 0) {
                // The engine empties the table at once, reporting no row:
                // the copy loads anew.
                exec(SqlLine("delete from (data)"));
                ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
                for (int i = 0; i < 20; ++i)
                    addRow();
            } else {
                connection.Close();
                CompactDatabaseFile(dir.file(QStringLiteral("_.udb")), QString::fromLatin1(kRegisterPassword));
                connection.handle();
                ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
            }
            break;
        }
        expectSameAsScan(3);
    }

    // The record list's query shows the copy's rows.
    const QString keyword = QStringLiteral("1");
    const CompiledSql sql = searchStatement(QStringLiteral("手机"), keyword);
    const auto expected =
        scan(QStringLiteral("SELECT 编号 FROM data") + sql.plainSelect->rest + QStringLiteral(" ORDER BY 编号"),
             sql.parameters);
    open(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
         + SqlColumn{QStringLiteral("手机")} + " like '%" + SqlValue{keyword} + "%' ");
    ASSERT_EQ(query.RecordCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < query.RecordCount(); ++row)
        ASSERT_EQ(query.CellAt(row, 0).toLongLong(), expected[static_cast<std::size_t>(row)]);
}

TEST_F(SearchIndexTest, ARegisterChangedBehindItsBackStillSearchesRight)
{
    for (int i = 0; i < 50; ++i)
        addVisitor(QStringLiteral("张%1").arg(i));
    ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
    const CompiledSql sql = searchStatement(QStringLiteral("姓名"), QStringLiteral("张"));
    auto names = [&] {
        open(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
             + SqlColumn{QStringLiteral("姓名")} + " like '%" + SqlValue{QStringLiteral("张")} + "%' ");
        return query.RecordCount();
    };
    ASSERT_EQ(names(), 50);

    // Another handle adds and renames rows: the next search sees them, the
    // copy catches up afterwards.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &other), SQLITE_OK);
    KeyRegisterHandle(other, QString::fromLatin1(kRegisterPassword));
    ExecuteStatements(other, "INSERT INTO data (姓名) VALUES ('张新'); UPDATE data SET 姓名 = '李' WHERE 编号 <= 10;");
    sqlite3_close(other);
    EXPECT_EQ(names(), 41);
    ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
    EXPECT_EQ(connection.searchIndex()->select(*sql.plainSelect, sql.parameters)->size(), 41u);

    // The program's handle makes the table anew: the hook reports the rows
    // under the new table's name, so the copy loads again.
    ExecuteStatements(connection.handle(),
                      "CREATE TABLE data2 (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 分类 TEXT, 姓名 TEXT, 身份证 TEXT,"
                      " 手机 TEXT, 电话 TEXT, 来由 TEXT, 地址 TEXT, 来访 TEXT, 离开 TEXT, 备注 TEXT, 日期 TEXT);"
                      "INSERT INTO data2 SELECT * FROM data; UPDATE data2 SET 姓名 = '王' WHERE 编号 BETWEEN 11 AND 15;"
                      "DROP TABLE data; ALTER TABLE data2 RENAME TO data;");
    EXPECT_EQ(names(), 36);
    ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
    EXPECT_EQ(connection.searchIndex()->select(*sql.plainSelect, sql.parameters)->size(), 36u);

    // The distribution's shell does the same.
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    QProcess process;
    process.start(shell, {QStringLiteral("-batch"), dir.file(QStringLiteral("_.udb"))});
    process.write(QStringLiteral("PRAGMA key = '%1';\nPRAGMA cipher_page_size = %2;\n"
                                 "DELETE FROM data WHERE 编号 > 40;\nINSERT INTO data (姓名) VALUES ('小张');\n")
                      .arg(QString::fromLatin1(kRegisterPassword))
                      .arg(kRegisterPageSize)
                      .toUtf8());
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(names(), 26);
    ASSERT_TRUE(connection.searchIndex()->waitUntilReady());
    EXPECT_EQ(connection.searchIndex()->select(*sql.plainSelect, sql.parameters)->size(), 26u);
}

} // namespace

// Exports read back: CSV parsed, .xlsx unzipped and its sheet XML parsed,
// compared cell by cell with what was written.
#include "ExportReadBack.h"
#include "ReadOnlyFolder.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "db/Sqlite.h"
#include "records/RecordExport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QStringList kHeader = {QStringLiteral("编号"), QStringLiteral("姓名"), QStringLiteral("身份证"),
                             QStringLiteral("备注")};

const QList<QStringList> kRows = {
    {QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("440101199001011234"), QStringLiteral("送货")},
    {QStringLiteral("2"), QStringLiteral("O'Neil, Jr."), QStringLiteral("007"), QStringLiteral("he said \"hi\"")},
    {QStringLiteral("3"), QStringLiteral("李四"), QStringLiteral("0000123"),
     QStringLiteral("第一行\r\n第二行\n第三行")},
    {QStringLiteral("4"), QString(), QStringLiteral("=1+1"), QStringLiteral("  <b>&amp; 空格  ")},
};

ExportRows rowsOf(const QList<QStringList>& rows)
{
    return ExportRows{kHeader, [rows](const ExportRowVisitor& visit) {
                          for (const QStringList& row : rows)
                              if (!visit(row))
                                  return;
                      }};
}

QList<QStringList> manyRows(int count)
{
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i)
        rows.append({QString::number(i + 1), QStringLiteral("访客%1").arg(i), QString(), QString()});
    return rows;
}

// Pads rows to the header's width: a sheet leaves out trailing empty cells.
QList<QStringList> padded(QList<QStringList> rows)
{
    for (QStringList& row : rows)
        while (row.size() < kHeader.size())
            row << QString();
    return rows;
}

QList<QStringList> withHeader(const QList<QStringList>& rows) { return QList<QStringList>{kHeader} + rows; }

QStringList filesIn(const TempDir& dir) { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

} // namespace

TEST(ExportTest, FileNameDecidesTheFormat)
{
    EXPECT_EQ(ExportFileName(QStringLiteral("/x/a.CSV"), ExportFormat::Xlsx), QStringLiteral("/x/a.CSV"));
    EXPECT_EQ(ExportFileName(QStringLiteral("/x/a.xlsx"), ExportFormat::Csv), QStringLiteral("/x/a.xlsx"));
    EXPECT_EQ(ExportFileName(QStringLiteral("/x/a"), ExportFormat::Csv), QStringLiteral("/x/a.csv"));
    EXPECT_EQ(ExportFileName(QStringLiteral("/x/a.txt"), ExportFormat::Xlsx), QStringLiteral("/x/a.txt.xlsx"));
    EXPECT_EQ(ExportFileName(QStringLiteral("/x/a"), ExportFormat::SpreadsheetCsv), QStringLiteral("/x/a.csv"));
    EXPECT_EQ(ExportFormatOf(QStringLiteral("/x/a.Csv")), ExportFormat::Csv);
    EXPECT_EQ(ExportFormatOf(QStringLiteral("/x/a.xlsx")), ExportFormat::Xlsx);
    // The type picked chooses the CSV; a ".csv" typed under .xlsx is for a spreadsheet.
    EXPECT_EQ(ExportFormatFor(QStringLiteral("/x/a.csv"), ExportFormat::Csv), ExportFormat::Csv);
    EXPECT_EQ(ExportFormatFor(QStringLiteral("/x/a.csv"), ExportFormat::Xlsx), ExportFormat::SpreadsheetCsv);
    EXPECT_EQ(ExportFormatFor(QStringLiteral("/x/a.xlsx"), ExportFormat::Csv), ExportFormat::Xlsx);
}

// Values a spreadsheet would take for numbers, dates or formulas, opened in
// Calc from the spreadsheet CSV and from the .xlsx, come back as stored; the
// .xlsx also keeps control characters and cuts an over-long cell with the mark.
TEST(ExportTest, CalcOpensEverySpreadsheetValueAsTheTextStored)
{
    const QStringList values = {QStringLiteral("440106199001011234"),
                                QStringLiteral("11010519491231002X"),
                                QStringLiteral("02087654321"),
                                QStringLiteral("007"),
                                QStringLiteral("=1+1"),
                                QStringLiteral("+8613800138000"),
                                QStringLiteral("-5"),
                                QStringLiteral("@SUM(A1)"),
                                QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"),
                                QStringLiteral("2026/12/7 08:00:00"),
                                QStringLiteral("1e5"),
                                QStringLiteral("TRUE"),
                                QStringLiteral("50%"),
                                QStringLiteral("1,234"),
                                QStringLiteral("he said \"hi\", ok"),
                                QStringLiteral("第一行\n第二行"),
                                QString(300, QChar(0x957F)) + QStringLiteral("=x")};
    QList<QStringList> rows;
    for (const QString& value : values)
        rows.append({QString::number(rows.size() + 1), QStringLiteral("访客"), value, QStringLiteral("-")});
    const QString longCell = QString(40000, QLatin1Char('a'));
    const QString controls = QStringLiteral("a") + QChar(0) + QStringLiteral("b\x01c\x1f");
    const QList<QStringList> xlsxOnly = {{QStringLiteral("98"), controls, longCell, QString()}};

    TempDir dir;
    const QString csv = dir.file(QStringLiteral("表格.csv"));
    const QString xlsx = dir.file(QStringLiteral("表格.xlsx"));
    ASSERT_TRUE(ExportToFile(csv, ExportFormat::SpreadsheetCsv, rowsOf(rows), nullptr));
    ExportRows withMark = rowsOf(rows + xlsxOnly);
    withMark.cutMark = QStringLiteral("…[cut]");
    const ExportOutcome outcome = ExportToFile(xlsx, withMark, nullptr);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome.cutCells, 1);

    EXPECT_EQ(OpenedInCalc(csv, dir.path()), withHeader(rows));
    QList<QStringList> cut = xlsxOnly;
    cut[0][2] = longCell.left(kXlsxCellMaxChars - withMark.cutMark.size()) + withMark.cutMark;
    EXPECT_EQ(OpenedInCalc(xlsx, dir.path()), withHeader(rows + cut));
}

// The cut counts UTF-16 units, a NUL as its seven-character escape, and never
// splits a character.
TEST(ExportTest, XlsxCutsOnlyCellsOverTheLimitAndNeverInACharacter)
{
    const QString mark = QStringLiteral("…");
    const QString pair = QStringLiteral("\U0001F600");
    const QString limit(kXlsxCellMaxChars, QLatin1Char('x'));
    const struct {
        QString stored;
        QString written;
    } cases[] = {
        {limit, limit},
        {limit + QLatin1Char('y'), limit.left(kXlsxCellMaxChars - 1) + mark},
        {limit.left(kXlsxCellMaxChars - 2) + pair + QLatin1Char('y'), limit.left(kXlsxCellMaxChars - 2) + mark},
        {limit.left(kXlsxCellMaxChars - 7) + QChar(0), limit.left(kXlsxCellMaxChars - 7) + QChar(0)},
        {limit.left(kXlsxCellMaxChars - 6) + QChar(0), limit.left(kXlsxCellMaxChars - 6) + mark},
    };
    QList<QStringList> rows;
    for (const auto& c : cases)
        rows.append({QString::number(rows.size() + 1), c.stored});
    TempDir dir;
    const QString file = dir.file(QStringLiteral("a.xlsx"));
    ExportRows exportRows = rowsOf(rows);
    exportRows.cutMark = mark;
    const ExportOutcome outcome = ExportToFile(file, exportRows, nullptr);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome.cutCells, 3);
    const ExportedSheet sheet = ParseSheet(UnzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    ASSERT_EQ(sheet.cells.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(sheet.cells[static_cast<qsizetype>(i) + 1].value(1), cases[i].written) << i;
}

TEST(ExportTest, CsvIsUtf8WithByteOrderMarkAndReadsBackCellByCell)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("访客.csv"));
    ASSERT_TRUE(ExportToFile(file, rowsOf(kRows), nullptr));
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains("\"O'Neil, Jr.\",007,\"he said \"\"hi\"\"\"\r\n"));
    EXPECT_EQ(ParseCsv(QString::fromUtf8(bytes.mid(3))), withHeader(kRows));
    EXPECT_EQ(in.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
}

TEST(ExportTest, XlsxHoldsOneTextSheetWithAFrozenBoldHeader)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("访客.xlsx"));
    ASSERT_TRUE(ExportToFile(file, rowsOf(kRows), nullptr));

    const ExportedSheet sheet = ParseSheet(UnzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    EXPECT_EQ(padded(sheet.cells), padded(withHeader(kRows)));
    EXPECT_TRUE(sheet.headerFrozen);
    ASSERT_EQ(sheet.textTypes.size(), 19);
    for (const QString& type : sheet.textTypes)
        EXPECT_EQ(type, QStringLiteral("inlineStr"));
    EXPECT_TRUE(QString::fromUtf8(UnzipEntry(file, QStringLiteral("xl/workbook.xml")))
                    .contains(QStringLiteral("name=\"访客登记\"")));
    EXPECT_TRUE(UnzipEntry(file, QStringLiteral("xl/styles.xml")).contains("<b/>"));
    // The remark of three lines wraps, in a row three lines high.
    EXPECT_TRUE(UnzipEntry(file, QStringLiteral("xl/styles.xml")).contains("wrapText=\"1\""));
    EXPECT_TRUE(UnzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")).contains("<row r=\"4\" ht=\"45\""));
}

TEST(ExportTest, CancelledExportLeavesNothingAndKeepsAnExistingFile)
{
    for (const QString& name : {QStringLiteral("a.csv"), QStringLiteral("a.xlsx")}) {
        TempDir dir;
        const QString file = dir.file(name);
        qsizetype reported = 0;
        const auto cancelAtOnce = [&](qsizetype written) {
            reported = written;
            return false;
        };
        EXPECT_FALSE(ExportToFile(file, rowsOf(manyRows(2500)), cancelAtOnce));
        EXPECT_EQ(reported, kExportProgressStep);
        EXPECT_EQ(filesIn(dir), QStringList());

        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
        old.close();
        EXPECT_FALSE(ExportToFile(file, rowsOf(manyRows(2500)), cancelAtOnce));
        EXPECT_EQ(filesIn(dir), QStringList{name});
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("old contents"));
    }
}

TEST(ExportTest, FailingExportSaysWhyAndKeepsAnExistingFile)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("a.xlsx"));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    ReadOnlyFolder readOnly(dir.path());
    REQUIRE_READ_ONLY(readOnly);
    for (const QString& name : {QStringLiteral("a.xlsx"), QStringLiteral("a.csv")}) {
        try {
            ExportToFile(dir.file(name), rowsOf(kRows), nullptr);
            ADD_FAILURE() << "export into a read-only folder succeeded";
        } catch (const EExportError& e) {
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("a.xlsx")});
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old contents"));
}

class QueryRowsTest : public StoreFixture {
protected:
    QList<QStringList> readRows()
    {
        QList<QStringList> rows;
        query.ReadRows([&](const QStringList& row) {
            rows << row;
            return true;
        });
        return rows;
    }

    QList<QStringList> cellsOf()
    {
        QList<QStringList> rows;
        for (int r = 0; r < query.RecordCount(); ++r) {
            QStringList row;
            for (int c = 0; c < query.FieldCount(); ++c)
                row << query.CellAt(r, c);
            rows << row;
        }
        return rows;
    }
};

// The rows of a result read in one walk match what the list shows cell by
// cell: dense runs, gaps wider than one step of the walk, rows deleted since.
TEST_F(QueryRowsTest, ReadingAWholeResultMatchesItsCells)
{
    exec(SqlLine("BEGIN"));
    for (int i = 0; i < 400; ++i)
        addVisitor(QStringLiteral("访客%1").arg(i),
                   i % 97 == 0 || (i >= 200 && i < 230) ? QStringLiteral("快递") : QStringLiteral("QQ帐号"));
    exec(SqlLine("COMMIT"));

    open(allRecords());
    EXPECT_EQ(readRows().size(), 400);
    EXPECT_EQ(readRows(), cellsOf());

    open(allRecords() + SqlWhere{" where 分类 like '%"} + SqlValue{QStringLiteral("快递")} + "%'");
    ASSERT_EQ(query.RecordCount(), 35);
    const QList<QStringList> before = cellsOf();
    EXPECT_EQ(readRows(), before);

    sqlite3_exec(connection.handle(), "DELETE FROM data WHERE 编号 IN (99, 210)", nullptr, nullptr, nullptr);
    connection.noteWrite();
    const QList<QStringList> after = readRows();
    ASSERT_EQ(after.size(), 35);
    for (int r = 0; r < after.size(); ++r) {
        const bool gone = before[r][0] == QStringLiteral("99") || before[r][0] == QStringLiteral("210");
        EXPECT_EQ(after[r], gone ? QStringList(11, QString()) : before[r]) << r;
    }

    int visited = 0;
    query.ReadRows([&](const QStringList&) { return ++visited < 3; });
    EXPECT_EQ(visited, 3);
}

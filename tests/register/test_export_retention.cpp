// Exporting the list, hiding numbers and deleting old records on the real window.
#include "ExportReadBack.h"
#include "RegisterFixture.h"
#include "app/DeleteBeforeDateDialog.h"
#include "app/ListExport.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressDialog>
#include <sys/mount.h>

namespace {

// 分类, 姓名, 身份证, 手机, 电话, 来由, 地址, 来访, 离开, 备注, 日期.
QStringList visit(const QString& name, const QString& recordDate, const QString& category = QStringLiteral("QQ帐号"))
{
    return {category,
            name,
            QStringLiteral("440106199003071234"),
            QStringLiteral("13800138000"),
            QStringLiteral("020-8888"),
            QStringLiteral("送货, \"急件\""),
            QStringLiteral("广州"),
            QStringLiteral("2026/12/7 08:00:00"),
            QString(),
            QStringLiteral("第一行\r\n第二行"),
            recordDate};
}

QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ExportAndRetention : public RegisterFixture {
protected:
    // The rows of the list as an export holds them: the eleven listed columns.
    QList<QStringList> listedColumns(const QList<QStringList>& storedRows, bool masked = false) const
    {
        QList<QStringList> rows;
        for (QStringList row : storedRows) {
            row.removeLast(); // 日期 is not listed
            if (masked) {
                row[3] = row[3].left(6) + QString(row[3].size() - 10, QLatin1Char('*')) + row[3].right(4);
                row[4] = row[4].left(3) + QString(row[4].size() - 7, QLatin1Char('*')) + row[4].right(4);
            }
            rows << row;
        }
        return rows;
    }

    static QStringList header()
    {
        return {QStringLiteral("编号"), QStringLiteral("分类"), QStringLiteral("姓名"), QStringLiteral("身份证"),
                QStringLiteral("手机"), QStringLiteral("电话"), QStringLiteral("来由"), QStringLiteral("地址"),
                QStringLiteral("来访"), QStringLiteral("离开"), QStringLiteral("备注")};
    }
};

// Ctrl+E opens the export dialog from each combo box, where a guard is
// after filtering, as from the list. An edit claims Ctrl+E ("end of line")
// under the X11 key scheme only, which the offscreen platform does not use:
// ctest runs this test on xcb under Xvfb (register_keys_on_x11).
TEST_F(ExportAndRetention, CtrlEFromEachComboBoxOpensTheExportDialog)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs the X11 key scheme";
    login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 08:00:01"))});
    for (QComboBox* box : {form1->ComboBoxSeachClass, form1->ComboBoxClass, form1->Edit_FenLei}) {
        SCOPED_TRACE(box->objectName().toStdString());
        const QString before = box->currentText();
        form1->activateWindow(); // again after the dialog of the last round
        ASSERT_TRUE(QTest::qWaitForWindowActive(form1.get()));
        box->setFocus();
        bool shown = false;
        whenShown<QFileDialog>([&shown](QFileDialog* dialog) {
            shown = true;
            dialog->reject();
        });
        QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
        pump(50);
        EXPECT_TRUE(shown);
        EXPECT_EQ(box->currentText(), before);
    }
}

TEST_F(ExportAndRetention, HidingNumbersMasksTheListButNeverTheForm)
{
    login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 08:00:01")),
           visit(QStringLiteral("李四"), QStringLiteral("2026/12/7 08:00:01"))});
    EXPECT_EQ(gridCell(1, DataColumn::IdentityNumber), QStringLiteral("440106199003071234"));

    // Ctrl+H works with the focus in an edit, whose own Ctrl+H gives way.
    form1->Edit_XingMing->setFocus();
    QTest::keyClick(form1->Edit_XingMing, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(form1->HideNumbersItem->isChecked());
    EXPECT_EQ(gridCell(1, DataColumn::IdentityNumber), QStringLiteral("440106********1234"));
    EXPECT_EQ(gridCell(1, DataColumn::Mobile), QStringLiteral("138****8000"));
    EXPECT_EQ(gridCell(1, DataColumn::Telephone), QStringLiteral("020-8888"));
    EXPECT_EQ(gridCell(1, DataColumn::Name), QStringLiteral("李四"));

    clickCell(1, DataColumn::Name);
    EXPECT_EQ(form1->Edit_IDNumber->text(), QStringLiteral("440106199003071234"));
    EXPECT_EQ(form1->Edit_ShouJi->text(), QStringLiteral("13800138000"));

    form1->HideNumbersItem->trigger();
    EXPECT_EQ(gridCell(1, DataColumn::IdentityNumber), QStringLiteral("440106199003071234"));
}

TEST_F(ExportAndRetention, ExportWritesTheListShownMaskedWhenNumbersAreHidden)
{
    login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 08:00:01")),
           visit(QStringLiteral("李四"), QStringLiteral("2026/12/7 08:00:01"), QStringLiteral("网站帐号")),
           visit(QStringLiteral("O'Neil"), QStringLiteral("2026/12/7 08:00:01"))});
    form1->ComboBoxSeachClass->setCurrentText(QStringLiteral("姓名"));
    form1->searchkeyword->setText(QStringLiteral("O'Neil"));
    form1->Button_Search->click();
    ASSERT_EQ(gridRows(), 1);

    const QString csv = dir.file(QStringLiteral("out.csv"));
    form1->ListExport->ExportRowsToFile(csv);
    EXPECT_EQ(boxTexts().last(), QStringLiteral("导出完成,共1条."));
    const QByteArray bytes = readFile(csv);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(ParseCsv(QString::fromUtf8(bytes.mid(3))), QList<QStringList>{header()} + listedColumns({stored()[2]}));

    form1->Button_Refresh->click();
    form1->HideNumbersItem->trigger();
    const QString xlsx = dir.file(QStringLiteral("out.xlsx"));
    form1->ListExport->ExportRowsToFile(xlsx);
    EXPECT_EQ(boxTexts().last(), QStringLiteral("导出完成,共3条."));
    const ExportedSheet sheet = ParseSheet(UnzipEntry(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
    EXPECT_EQ(sheet.cells, QList<QStringList>{header()} + listedColumns(stored(), true));
}

TEST_F(ExportAndRetention, CtrlEFromAnEditAsksForTheFileAndTheTypeGivesTheExtension)
{
    login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 08:00:01"))});
    const QString chosen = dir.file(QStringLiteral("访客"));
    whenShown<QFileDialog>([chosen](QFileDialog* dialog) {
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("CSV(用Excel打开) (*.csv)"),
                               QStringLiteral("CSV(纯文本) (*.csv)")}));
        EXPECT_TRUE(dialog->selectedFiles().value(0).contains(QStringLiteral("访客登记_")));
        // The type picked in the dialog's own box, as a person picks it.
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->currentText());
        ASSERT_EQ(dialog->selectedNameFilter(), QStringLiteral("CSV(用Excel打开) (*.csv)"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(chosen);
        QTest::keyClick(name, Qt::Key_Return);
    });
    form1->Edit_DiZhi->setFocus();
    QTest::keyClick(form1->Edit_DiZhi, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("导出完成,共1条.")});
    // The CSV for spreadsheets: every value as a text formula.
    EXPECT_TRUE(
        QString::fromUtf8(readFile(chosen + QStringLiteral(".csv"))).contains(QStringLiteral("\"=\"\"张三\"\"\"")));
    EXPECT_FALSE(QFile::exists(chosen)) << QDir(dir.path()).entryList(QDir::Files).join(QLatin1Char(' ')).toStdString();
}

TEST_F(ExportAndRetention, ALongListShowsProgressAndCancellingLeavesNoFile)
{
    QList<QStringList> rows;
    for (int i = 0; i < 10001; ++i)
        rows << visit(QStringLiteral("访客%1").arg(i), QStringLiteral("2026/12/7 08:00:01"));
    login(rows);
    const QString file = dir.file(QStringLiteral("long.xlsx"));
    whenShown<QProgressDialog>([](QProgressDialog* progress) { progress->cancel(); });
    form1->ListExport->ExportRowsToFile(file);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(boxTexts().isEmpty());
}

// "退出程序" from the tray while a long export runs: the export stops and
// leaves nothing, and the connection closes only after the export's walk.
TEST_F(ExportAndRetention, ExitDuringAnExportStopsItBeforeTheConnectionCloses)
{
    QList<QStringList> rows;
    for (int i = 0; i < 10001; ++i)
        rows << visit(QStringLiteral("访客%1").arg(i), QStringLiteral("2026/12/7 08:00:01"));
    login(rows);
    const QString file = dir.file(QStringLiteral("long.xlsx"));
    const auto exportFiles = [&] {
        return QDir(dir.path()).entryList({QStringLiteral("long.xlsx*")}, QDir::AllEntries | QDir::Hidden);
    };
    QStringList filesAtClose = {QStringLiteral("not closed")};
    QObject::connect(form1->ADOConnection1, &TRegisterConnection::closing, [&] { filesAtClose = exportFiles(); });
    QTimer::singleShot(0, form1.get(), [this] { form1->CloseMe->trigger(); });
    form1->ListExport->ExportRowsToFile(file);
    EXPECT_TRUE(form1->HasClosed());
    EXPECT_EQ(filesAtClose, QStringList());
    EXPECT_EQ(exportFiles(), QStringList());
    EXPECT_TRUE(boxTexts().isEmpty()) << boxTexts().join(QLatin1Char('|')).toStdString();
}

// A tmpfs of 64 KB mounted for the test: a disk that fills up. It unmounts
// only when no file on it is open.
class SmallDisk {
public:
    explicit SmallDisk(const QString& path) : path_(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        mounted_ = ::mount("tmpfs", path_.constData(), "tmpfs", 0, "size=64k,mode=0700") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(path_.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    bool unmount()
    {
        mounted_ = mounted_ && ::umount(path_.constData()) != 0;
        return !mounted_;
    }
    QStringList entries() const
    {
        return QDir(QFile::decodeName(path_)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QByteArray path_;
    bool mounted_ = false;
};

// With the temporary folder full the .xlsx is still whole, built beside the
// target; with the target's disk full both formats fail with the reason and
// leave no file.
TEST_F(ExportAndRetention, AFullDiskNeverGivesABrokenExport)
{
    QList<QStringList> rows;
    for (int i = 0; i < 3000; ++i)
        rows << visit(QStringLiteral("访客%1").arg(i), QStringLiteral("2026/12/7 08:00:01"));
    login(rows);
    SmallDisk full(dir.file(QStringLiteral("full")));
    if (!full.mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";

    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.file(QStringLiteral("full"))));
    const QString whole = dir.file(QStringLiteral("whole.xlsx"));
    form1->ListExport->ExportRowsToFile(whole);
    tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
    EXPECT_EQ(boxTexts().value(0), QStringLiteral("导出完成,共3000条."));
    EXPECT_EQ(ParseSheet(UnzipEntry(whole, QStringLiteral("xl/worksheets/sheet1.xml"))).cells.size(), 3001);

    for (const QString& name : {QStringLiteral("a.xlsx"), QStringLiteral("a.csv")})
        form1->ListExport->ExportRowsToFile(dir.file(QStringLiteral("full/") + name));
    ASSERT_EQ(boxTexts().size(), 3);
    for (qsizetype i = 1; i < 3; ++i)
        EXPECT_TRUE(boxTexts()[i].startsWith(QStringLiteral("导出失败:"))) << boxTexts()[i].toStdString();
    EXPECT_EQ(full.entries(), QStringList());
    EXPECT_TRUE(full.unmount()) << "a file on the full disk was left open";
}

class DeleteOldRecords : public ExportAndRetention {
protected:
    void loginWithDatedVisits()
    {
        login({visit(QStringLiteral("甲"), QStringLiteral("2024/1/5 08:00:00")),
               visit(QStringLiteral("乙"), QStringLiteral("2025/12/8 00:00:00")),
               visit(QStringLiteral("丙"), QStringLiteral("2025-12-07 23:59:59")),
               visit(QStringLiteral("丁"), QStringLiteral("12/7/2025 9:00")),
               visit(QStringLiteral("戊"), QStringLiteral("2026/12/7 08:00:00"))});
    }

    // Picks the day in the date dialog, or cancels it with Escape.
    void answerDateDialog(const QDate& day)
    {
        whenShown<TDeleteBeforeDateDialog>([day](TDeleteBeforeDateDialog* dialog) {
            EXPECT_EQ(dialog->DateEdit_Before->date(), QDate::currentDate().addYears(-1));
            if (!day.isValid()) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            dialog->DateEdit_Before->setDate(day);
            dialog->accept();
        });
    }

    QStringList storedNames() const
    {
        QStringList names;
        for (const QStringList& row : stored())
            names << row[2];
        return names;
    }
};

TEST_F(DeleteOldRecords, YesDeletesExactlyTheOlderRecordsAndKeepsUnreadableDates)
{
    loginWithDatedVisits();
    answerDateDialog(QDate(2025, 12, 8));
    answerNextQuestions({true});
    PerformClick(form1->DeleteOldRecordsItem);
    const QString day = QLocale::system().toString(QDate(2025, 12, 8), QLocale::ShortFormat);
    ASSERT_EQ(boxes.size(), 2) << boxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::WarningYesNo);
    EXPECT_EQ(boxes[0].text, QStringLiteral("将删除2条早于") + day + QStringLiteral("的记录,确定吗?"));
    EXPECT_EQ(boxes[1].text, QStringLiteral("已删除2条记录.\n另有1条记录的日期无法识别,已保留."));
    EXPECT_EQ(storedNames(), (QStringList{QStringLiteral("乙"), QStringLiteral("丁"), QStringLiteral("戊")}));
    EXPECT_EQ(gridRows(), 3);
}

// A whole date typed over the selected text is taken with its year, and
// the dialog is wide enough for its caption.
TEST(DeleteBeforeDateDialog, ATypedWholeDateKeepsItsYearAndTheCaptionFits)
{
    TDeleteBeforeDateDialog dialog(nullptr, QDate(2025, 12, 8));
    dialog.show();
    QDateEdit* edit = dialog.DateEdit_Before;
    edit->setDisplayFormat(QStringLiteral("yyyy/M/d")); // as under zh_CN
    edit->setFocus();
    for (const QDate& day : {QDate(2019, 6, 1), QDate(2024, 11, 30)}) {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, day.toString(edit->displayFormat()));
        EXPECT_EQ(dialog.day(), day) << edit->text().toStdString();
    }
    EXPECT_GE(dialog.width(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 100);
}

TEST_F(DeleteOldRecords, NoEscapeAndALockedRegisterChangeNothing)
{
    loginWithDatedVisits();
    const QList<QStringList> before = stored();

    answerDateDialog(QDate(2026, 1, 1));
    answerNextQuestions({false});
    PerformClick(form1->DeleteOldRecordsItem);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(stored(), before);

    answerDateDialog(QDate());
    PerformClick(form1->DeleteOldRecordsItem);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(stored(), before);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &other), SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(other, QString::fromLatin1(kRegisterPassword)));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    answerDateDialog(QDate(2026, 1, 1));
    answerNextQuestions({true});
    PerformClick(form1->DeleteOldRecordsItem);
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_TRUE(boxes[2].text.startsWith(QStringLiteral("删除失败,没有记录被删除:"))) << boxes[2].text.toStdString();
    EXPECT_EQ(stored(), before);
}

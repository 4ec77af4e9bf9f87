// The audit trail on the real windows: each action at the desk leaves its
// row, in the same order, without the numbers typed; the trail's window
// lists, filters, exports and checks it.
#include "ExportReadBack.h"
#include "RegisterFixture.h"
#include "app/AuditTrailDialog.h"
#include "app/DeleteBeforeDateDialog.h"
#include "app/ListExport.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "audit/AuditTrailModel.h"
#include "db/SqliteHandle.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>

namespace {

class AuditEvents : public RegisterFixture {
protected:
    SqliteHandle openFile() const
    {
        SqliteHandle db(QFile::encodeName(dir.file(QStringLiteral("_.udb"))), SQLITE_OPEN_READWRITE);
        KeyRegisterHandle(db.get(), QString::fromLatin1(kRegisterPassword));
        return db;
    }

    // Event, record number or count, detail of every row, oldest first.
    QList<QStringList> trail() const
    {
        const SqliteHandle db = openFile();
        SqliteStatement rows(db.get(), QStringLiteral("SELECT event, subject, detail FROM audit_trail ORDER BY seq"));
        QList<QStringList> list;
        while (rows.step())
            list << QStringList{rows.columnText(0), rows.columnText(1), rows.columnText(2)};
        return list;
    }

    void makeCurrent(qint64 recordNumber)
    {
        form1->ADOQuery1->SetRecNo(form1->ADOQuery1->RowOfRecordNumber(recordNumber));
        form1->DBGrid1CellClick();
    }

    void addThroughForm(const QString& name)
    {
        form1->Edit_FenLei->setEditText(QStringLiteral("QQ帐号"));
        form1->Edit_XingMing->setText(name);
        form1->Edit_IDNumber->setText(QString::fromLatin1(kIdentity));
        form1->Edit_ShouJi->setText(QString::fromLatin1(kMobile));
        form1->Edit_LaiYou->setText(QStringLiteral("送货"));
        PerformClick(form1->Button1);
    }

    static constexpr const char* kIdentity = "440106199003071234";
    static constexpr const char* kMobile = "13800138000";
};

} // namespace

TEST_F(AuditEvents, EveryActionAtTheDeskLeavesItsRowAndNoNumberTyped)
{
    makeRegister();
    insertRows(
        {{QStringLiteral("QQ帐号"), QStringLiteral("旧"), QString(), QString(), QString(), QStringLiteral("送货"),
          QString(), QString(), QString(), QString(), QStringLiteral("2024/1/5 08:00:00")}});
    createForms();
    form1->Timer1->stop();
    form1->StatusPanel(2)->setText(QString::fromUtf8(kClock));
    form1->Timer_CheckLoginTimer();
    enterPassword(QStringLiteral("wrong1"));
    enterPassword(QString::fromLatin1(kAdminPassword));
    ASSERT_TRUE(form1->isVisible());

    addThroughForm(QStringLiteral("甲"));
    addThroughForm(QStringLiteral("乙"));
    makeCurrent(2);
    form1->Edit_XingMing->setText(QStringLiteral("甲二"));
    form1->Edit_ShouJi->setText(QStringLiteral("13900139000"));
    PerformClick(form1->Button2);
    makeCurrent(2);
    PerformClick(form1->RecordDepartureItem);
    PerformClick(form1->RecordDepartureItem); // already left: nothing written
    form1->ListExport->ExportRowsToFile(dir.file(QStringLiteral("名单_") + QString::fromLatin1(kMobile) + ".csv"));

    QTimer::singleShot(0, [] {
        for (int i = 0; i < 200; ++i) {
            if (auto* dialog = qobject_cast<TDeleteBeforeDateDialog*>(QApplication::activeModalWidget())) {
                dialog->DateEdit_Before->setDate(QDate(2025, 1, 1));
                dialog->accept();
                return;
            }
            QTest::qWait(10);
        }
    });
    answerNextQuestions({true, true, true});
    PerformClick(form1->DeleteOldRecordsItem);
    makeCurrent(2);
    PerformClick(form1->Button3);
    PerformClick(form1->Button9);
    PerformClick(form1->Button11);
    form1->Edit_Pass_A->setText(QStringLiteral("new123"));
    form1->Edit_Pass_B->setText(QStringLiteral("new123"));
    PerformClick(form1->Button7);
    ASSERT_TRUE(form1->HasClosed()) << boxTexts().join(QLatin1Char('|')).toStdString();

    const QString day = QLocale::system().toString(QDate(2025, 1, 1), QLocale::ShortFormat);
    const QList<QStringList> expected = {
        {AuditEvent::ProgramStarted(), {}, {}},
        {AuditEvent::LoginFailed(), QStringLiteral("1"), QStringLiteral("连续第1次")},
        {AuditEvent::LoginSucceeded(), {}, {}},
        {AuditEvent::RecordAdded(), QStringLiteral("2"), {}},
        {AuditEvent::RecordAdded(), QStringLiteral("3"), {}},
        {AuditEvent::RecordChanged(), QStringLiteral("2"), QStringLiteral("姓名,手机")},
        {AuditEvent::DepartureRecorded(), QStringLiteral("2"), {}},
        {AuditEvent::ListExported(), QStringLiteral("3"), QStringLiteral("名单_***********.csv,共3条,证件号码未隐藏")},
        {AuditEvent::OldRecordsDeleted(), QStringLiteral("1"), QStringLiteral("早于") + day},
        {AuditEvent::RecordDeleted(), QStringLiteral("2"), {}},
        {AuditEvent::RegisterCleared(), QStringLiteral("1"), {}},
        {AuditEvent::RegisterCompacted(), {}, {}},
        {AuditEvent::PasswordChanged(), {}, QStringLiteral("备份:bak_2026127090503_.udb")},
        {AuditEvent::ProgramEnded(), {}, {}},
    };
    const QList<QStringList> rows = trail();
    EXPECT_EQ(rows, expected);
    const QString all = [&] {
        QStringList cells;
        for (const QStringList& row : rows)
            cells << row;
        return cells.join(QLatin1Char('|'));
    }();
    for (const char* typed : {kIdentity, kMobile, "13900139000"})
        EXPECT_FALSE(all.contains(QString::fromLatin1(typed))) << typed;
    EXPECT_TRUE(VerifyAuditTrail(openFile().get()).intact);
}

// Three wrong passwords end the program; each try is in the trail.
TEST_F(AuditEvents, FailedLoginsCountInARowUntilTheProgramEnds)
{
    makeRegister();
    createForms();
    form1->Timer_CheckLoginTimer();
    for (int i = 0; i < 3; ++i)
        enterPassword(QStringLiteral("wrong1"));
    ASSERT_TRUE(form1->HasClosed());
    QStringList subjects;
    for (const QStringList& row : trail())
        subjects << row[0] + row[1];
    EXPECT_EQ(subjects, (QStringList{AuditEvent::ProgramStarted(), AuditEvent::LoginFailed() + "1",
                                     AuditEvent::LoginFailed() + "2", AuditEvent::LoginFailed() + "3",
                                     AuditEvent::ProgramEnded()}));
}

TEST_F(AuditEvents, TheWindowListsFiltersExportsAndChecksTheTrail)
{
    login();
    for (int i = 0; i < kAuditRowsPerPage + 10; ++i)
        form1->AuditTrail->RecordEvent(AuditEvent::WatchListChanged(), QString::number(i));
    TAuditTrailDialog window(form1.get(), form1->ADOConnection1);
    window.show();
    const int total = kAuditRowsPerPage + 12;                    // start, login and the events above
    EXPECT_EQ(window.TrailModel->rowCount(), kAuditRowsPerPage); // a page, not the whole trail
    EXPECT_EQ(window.TrailModel->index(0, 0).data().toString(), QString::number(total)); // newest first
    window.ComboBox_Event->setCurrentText(AuditEvent::LoginSucceeded());
    EXPECT_EQ(window.TrailModel->rowCount(), 1);
    window.CheckBox_Date->setChecked(true);
    window.DateEdit_From->setDate(QDate::currentDate().addDays(1));
    window.DateEdit_To->setDate(QDate::currentDate().addDays(1));
    EXPECT_EQ(window.TrailModel->rowCount(), 0);
    window.CheckBox_Date->setChecked(false);

    const QString csv = dir.file(QStringLiteral("trail.csv"));
    window.ExportToFile(csv);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QStringList> exported = ParseCsv(QString::fromUtf8(file.readAll().mid(3)));
    ASSERT_EQ(exported.size(), 2);
    EXPECT_EQ(exported[1].mid(2, 1), QStringList{AuditEvent::LoginSucceeded()});

    PerformClick(window.Button_Verify);
    const QString intact = QStringLiteral("操作日志完整,共") + QString::number(total) + "条.";
    EXPECT_EQ(boxTexts().last(), intact);
    EXPECT_TRUE(window.Label_Result->text().startsWith(intact + QStringLiteral("  末条哈希 ")));
    ExecuteStatements(openFile().get(), "UPDATE audit_trail SET detail = '7' WHERE seq = 40");
    PerformClick(window.Button_Verify);
    EXPECT_EQ(window.Label_Result->text(), QStringLiteral("第39条之后的记录被改动或删除."));
    EXPECT_EQ(boxTexts().last(), window.Label_Result->text());
    if (const QByteArray shots = qgetenv("VOSTREL_SCREENSHOTS"); !shots.isEmpty()) {
        pump(300);
        window.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("audit_trail_verified.png")));
    }
}

// The desk of a gate of a site: the site panel's line, rows pulled from the
// site shown in place, and what the site decided against this gate.
#include "RegisterFixture.h"
#include "app/PassText.h"
#include "app/SiteDesk.h"
#include "app/SiteStatusText.h"
#include "site/SiteSync.h"

#include <QDialog>
#include <QScrollBar>

namespace {

QDateTime at(const char* text) { return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate); }

} // namespace

TEST(SiteStatusLine, SaysTheLinkTheChangesWaitingAndTheWatchList)
{
    const QDateTime now = at("2026-12-09T15:30:00");
    struct Case {
        SiteStatus status;
        const char* line;
    } cases[] = {
        {{true, {}, 0, at("2026-12-09T15:29:00")}, "联网,黑名单15:29更新"},
        {{true, {}, 2, {}}, "联网,待传2条,黑名单未更新"},
        {{false, at("2026-12-09T09:05:00"), 12, at("2026-12-09T09:00:00")}, "离线,自09:05起,待传12条,黑名单09:00更新"},
        {{false, at("2026-12-08T23:59:00"), 0, at("2026-12-07T08:00:00")}, "离线,自12/8 23:59起,黑名单12/7 08:00更新"},
        {{false, {}, 1, {}}, "正在连接,待传1条,黑名单未更新"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SiteStatusText(c.status, now), QString::fromUtf8(c.line));
}

class SiteDesk : public RegisterFixture {};

TEST_F(SiteDesk, PulledRowsShowWithoutMovingTheCurrentRowOrTheForm)
{
    QList<QStringList> many = visitors({QStringLiteral("甲")});
    for (int i = 0; i < 60; ++i)
        many << visitors({QStringLiteral("访客") + QString::number(i)});
    login(many);
    const int listed = gridRows();
    // The guard stands on record 40, scrolled down, typing a new visitor.
    form1->Button_LastClick();
    form1->ADOQuery1->SetRecNo(40);
    const int scrolled = form1->DBGrid1->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    form1->Edit_XingMing->setFocus();
    type(form1->Edit_XingMing, QStringLiteral("王小"));
    form1->Edit_LaiYou->setText(QStringLiteral("面"));

    // Another gate's arrival, written by the worker's own handle.
    insertRows(visitors({QStringLiteral("乙门来客")}));
    form1->SiteRecordsApplied({static_cast<qint64>(listed + 1)});

    EXPECT_EQ(gridRows(), listed + 1);
    EXPECT_EQ(gridCell(listed, DataColumn::Name), QStringLiteral("乙门来客"));
    EXPECT_EQ(form1->StatusPanel(0)->text(), QStringLiteral("共%1条信息").arg(listed + 1));
    EXPECT_EQ(form1->ADOQuery1->Fields(DataColumn::RecordNumber), QStringLiteral("40"));
    EXPECT_EQ(gridCell(gridRow(), DataColumn::RecordNumber), QStringLiteral("40"));
    EXPECT_EQ(form1->DBGrid1->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("王小"));
    EXPECT_EQ(form1->Edit_LaiYou->text(), QStringLiteral("面"));
    EXPECT_TRUE(form1->Edit_XingMing->hasFocus());
    EXPECT_TRUE(boxes.isEmpty());

    // While a box is open the list stays as the handler behind it left it;
    // the pulled rows show once the box is closed.
    QDialog box(form1.get());
    box.setModal(true);
    box.show();
    insertRows(visitors({QStringLiteral("丙门来客")}));
    form1->SiteRecordsApplied({static_cast<qint64>(listed + 2)});
    EXPECT_EQ(gridRows(), listed + 1);
    box.close();
    pump(500);
    EXPECT_EQ(gridRows(), listed + 2);
    EXPECT_EQ(form1->ADOQuery1->Fields(DataColumn::RecordNumber), QStringLiteral("40"));
}

TEST_F(SiteDesk, WhatTheSiteDecidedIsOneLineAndARefusedChangeIsAudited)
{
    login(visitors({QStringLiteral("张三")}));
    form1->SiteNoticeRaised({SiteNotice::Kind::DepartureTaken, 1, QStringLiteral("张三"),
                             QStringLiteral("2026/12/9 10:00:00"), QStringLiteral("north")});
    EXPECT_EQ(panel(0), QStringLiteral("张三的离开已在north登记(2026/12/9 10:00:00)"));

    form1->SiteNoticeRaised(
        {SiteNotice::Kind::ChangeRefused, 1, QStringLiteral("张三"), QString(), QStringLiteral("north")});
    EXPECT_EQ(panel(0), QStringLiteral("对张三的修改未被接受:north已先修改,已恢复为站点的内容"));
    EXPECT_TRUE(boxes.isEmpty());

    SqliteStatement last(form1->ADOConnection1->handle(),
                         QStringLiteral("SELECT event, subject, detail FROM audit_trail ORDER BY seq DESC LIMIT 1"));
    ASSERT_TRUE(last.step());
    EXPECT_EQ(last.columnText(0), QStringLiteral("修改被拒"));
    EXPECT_EQ(last.columnText(1), QStringLiteral("1"));
    EXPECT_EQ(last.columnText(2), QStringLiteral("以north的修改为准"));
}

TEST_F(SiteDesk, ADeskWithoutAGateFileShowsNoSitePanelOrColumn)
{
    login(visitors({QStringLiteral("张三")}));
    EXPECT_EQ(form1->SiteDesk, nullptr);
    EXPECT_EQ(form1->findChild<QLabel*>(QStringLiteral("SitePanel")), nullptr);
    form1->OnSiteOnlyItemClick();
    EXPECT_EQ(form1->DBGrid1->model()->columnCount(), 11);
}

TEST_F(SiteDesk, AGateListsTheGateOfEachArrivalOnSiteAndTakesPassesOfOtherGates)
{
    // A gate whose server does not answer: the desk works on, offline.
    GateFile gate;
    gate.state = GateFileState::Present;
    gate.gate = QStringLiteral("north");
    gate.host = QStringLiteral("127.0.0.1");
    gate.port = 1;
    gate.database = QStringLiteral("vostrel");
    gate.path = dir.file(QStringLiteral("vostrel-gate.pem"));
    makeRegister();
    insertRows(visitors({QStringLiteral("张三"), QStringLiteral("李四")}));
    createForms();
    form1->Timer1->stop();
    form1->StatusPanel(2)->setText(QString::fromUtf8(kClock));
    form1->SiteDesk = new TSiteDesk(gate, form1->ADOConnection1, form1->StatusBar1, form1.get());
    logIn();
    ASSERT_NE(form1->SiteDesk->Sync(), nullptr);
    EXPECT_TRUE(form1->SiteDesk->Panel()->text().contains(QStringLiteral("黑名单")));

    // The worker gives the records from before site mode their site ids.
    sqlite3* db = form1->ADOConnection1->handle();
    for (int i = 0; i < 100 && form1->SiteDesk->SiteIdOf(2).isEmpty(); ++i)
        pump(50);
    // 李四 came in by the south gate, as a pull would have recorded.
    ASSERT_EQ(sqlite3_exec(db, "UPDATE site_records SET in_gate = 'south' WHERE record_number = 2", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    form1->OnSiteOnlyItemClick();
    QAbstractItemModel* grid = form1->DBGrid1->model();
    ASSERT_EQ(grid->columnCount(), 12);
    EXPECT_EQ(grid->headerData(11, Qt::Horizontal).toString(), QStringLiteral("入口"));
    EXPECT_EQ(grid->index(0, 11).data().toString(), QStringLiteral("north"));
    EXPECT_EQ(grid->index(1, 11).data().toString(), QStringLiteral("south"));
    form1->Button_RefreshClick();
    EXPECT_EQ(grid->columnCount(), 11);

    // Compaction closes the register under the worker; the sync starts
    // again on the compacted file, which keeps the site's tables.
    form1->Button11Click();
    pump(100);
    EXPECT_TRUE(boxTexts().contains(QStringLiteral("数据库压缩完成.")));
    EXPECT_NE(form1->SiteDesk->Sync(), nullptr);

    // A pass of another gate names 李四 by his site id, under its own number.
    const QString siteId = form1->SiteDesk->SiteIdOf(2);
    ASSERT_FALSE(siteId.isEmpty());
    form1->PassScanned(7, PassText::ForSiteRecord(7, siteId));
    EXPECT_EQ(panel(0), QStringLiteral("李四已登记离开"));
    const QList<QStringList> rows = stored();
    EXPECT_EQ(rows[1][9], QString::fromUtf8(kClock));
    EXPECT_EQ(rows[0][9], QString());
}

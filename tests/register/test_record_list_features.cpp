// The record list's features on the real window: the context menu and its
// keys, the departure, the on-site view, returning visitors and the identity
// number's check.
#include "RegisterFixture.h"
#include "app/FeatureTexts.h"
#include "app/ReturningVisitorOffers.h"
#include "app/VisitorSuggestionList.h"
#include "skin/SkinData.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolTip>
#include <QTreeWidget>

namespace {

// 分类, 姓名, 身份证, 手机, 电话, 来由, 地址, 来访, 离开, 备注, 日期.
QStringList visit(const QString& name, const QString& departure, const QString& category = QStringLiteral("QQ帐号"))
{
    return {category,
            name,
            QStringLiteral("4401061990030712") + QString::number(name.size()) + QStringLiteral("1"),
            QStringLiteral("13800138000"),
            QStringLiteral("020-8888"),
            QStringLiteral("送货"),
            QStringLiteral("广州"),
            QStringLiteral("2026/12/7 08:00:00"),
            departure,
            QStringLiteral("第一行\n第二行"),
            QStringLiteral("2026/12/7 08:00:01")};
}

} // namespace

class RecordListFeatures : public RegisterFixture {
protected:
    // Six visits; 李四, 王五 and 孙八 are still on site.
    void loginWithVisits()
    {
        login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 09:00:00")),
               visit(QStringLiteral("李四"), QString()),
               visit(QStringLiteral("王五"), QString(), QStringLiteral("网站帐号")),
               visit(QStringLiteral("赵六"), QStringLiteral("2026/12/7 10:00:00"), QStringLiteral("网站帐号")),
               visit(QStringLiteral("钱七"), QStringLiteral("2026/12/7 11:00:00")),
               visit(QStringLiteral("孙八"), QString())});
    }

    QString currentName() const { return form1->ADOQuery1->Fields(DataColumn::Name); }

    QStringList listedNames() const
    {
        QStringList names;
        for (int i = 0; i < gridRows(); ++i)
            names << gridCell(i, DataColumn::Name);
        return names;
    }

    QMenu* openMenuOnRow(int row)
    {
        QTableView* grid = form1->DBGrid1;
        const QPoint at = grid->visualRect(grid->model()->index(row, ColumnIndex(DataColumn::Name))).center();
        // The press makes the row current; the desktop then asks for the menu.
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent ask(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &ask);
        return form1->PopupMenu_DBGrid1;
    }
};

TEST_F(RecordListFeatures, TheMenuOffersItsItemsInOrderOnARightClickAndTheKeys)
{
    loginWithVisits();
    QMenu* menu = openMenuOnRow(2);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(currentName(), QStringLiteral("王五")); // the clicked row is the current row
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 17);
    EXPECT_EQ(items[0]->text(), QStringLiteral("登记离开"));
    EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(items[1]->text(), QStringLiteral("只看未离开"));
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), QStringLiteral("导出当前列表..."));
    EXPECT_EQ(items[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(items[4]->text(), QStringLiteral("隐藏证件号码"));
    EXPECT_EQ(items[4]->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_TRUE(items[4]->isCheckable());
    EXPECT_FALSE(items[4]->isChecked());
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[6]->text(), QStringLiteral("删除早于某日的记录..."));
    EXPECT_TRUE(items[7]->isSeparator());
    EXPECT_EQ(items[8]->text(), QStringLiteral("黑名单..."));
    EXPECT_EQ(items[9]->text(), QStringLiteral("操作日志..."));
    EXPECT_TRUE(items[10]->isSeparator());
    EXPECT_EQ(items[11]->text(), QStringLiteral("按日期查看..."));
    EXPECT_EQ(items[11]->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_EQ(items[12]->text(), QStringLiteral("统计..."));
    EXPECT_EQ(items[13]->text(), QStringLiteral("将今天以前未离开的登记为离开..."));
    EXPECT_TRUE(items[14]->isSeparator());
    EXPECT_EQ(items[15]->text(), QStringLiteral("打印未离开名单..."));
    EXPECT_EQ(items[15]->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_EQ(items[16]->text(), QStringLiteral("打印访客单..."));
    menu->hide();

    // The menu key and Shift+F10 on the list open it at the current row.
    form1->DBGrid1->setFocus();
    QTest::keyClick(form1->DBGrid1, Qt::Key_Menu);
    EXPECT_TRUE(menu->isVisible());
    const QRect row = form1->DBGrid1->visualRect(form1->DBGrid1->currentIndex());
    EXPECT_LE(std::abs(menu->pos().y() - form1->DBGrid1->viewport()->mapToGlobal(row.bottomLeft()).y()), 2);
    menu->hide();
    QTest::keyClick(form1->DBGrid1, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(RecordListFeatures, DepartureFillsTheEmptyDepartureAndNothingElse)
{
    loginWithVisits();
    const QList<QStringList> before = stored();
    clickCell(1, DataColumn::Name); // 李四, still on site; the form holds the visit
    form1->RecordDepartureItem->trigger();

    const QList<QStringList> after = stored();
    ASSERT_EQ(after.size(), before.size());
    for (int r = 0; r < before.size(); ++r) {
        for (int c = 0; c < 12; ++c) {
            if (r == 1 && c == 9)
                EXPECT_EQ(after[r][c], QString::fromUtf8(kClock));
            else
                EXPECT_EQ(after[r][c], before[r][c]) << r << "," << c; // 日期 (c 11) included
        }
    }
    EXPECT_EQ(panel(0), QStringLiteral("李四已登记离开"));
    EXPECT_EQ(currentName(), QStringLiteral("李四"));
    EXPECT_EQ(gridRow(), 1);
    EXPECT_EQ(gridCell(1, DataColumn::Departure), QString::fromUtf8(kClock));
    EXPECT_EQ(gridRows(), 6);
    expectGridLayout();
    EXPECT_TRUE(boxes.isEmpty());
    // The loaded form shows the departure, so a later 修改 keeps it; the rest stays.
    EXPECT_EQ(form1->Edit_LiKaiShiJian->text(), QString::fromUtf8(kClock));
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("李四"));
    EXPECT_EQ(panel(1), QStringLiteral("2"));
}

TEST_F(RecordListFeatures, DepartureOfAVisitorWhoHasLeftOnlySaysWhen)
{
    loginWithVisits();
    const QList<QStringList> before = stored();
    form1->Button_Next->click();
    form1->Button_Next->click();
    form1->Button_Next->click(); // 赵六, who left at ten
    const QString panel0 = panel(0);
    form1->RecordDepartureItem->trigger();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("该访客已于2026/12/7 10:00:00离开.")});
    EXPECT_EQ(boxes.first().kind, MessageBoxes::Kind::Plain);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(panel(0), panel0);
    EXPECT_EQ(currentName(), QStringLiteral("赵六"));

    // Three on site, who leave one after the other: each leaves the view and
    // no row is current until the guard picks the next; then the list is
    // empty and a departure does nothing at all.
    form1->OnSiteOnlyItem->trigger();
    ASSERT_EQ(gridRows(), 3);
    for (int left = 1; left <= 3; ++left) {
        form1->RecordDepartureItem->trigger();
        EXPECT_EQ(gridRows(), 3 - left);
        form1->RecordDepartureItem->trigger(); // nothing current: nobody else leaves
        EXPECT_EQ(gridRows(), 3 - left);
        form1->Button_First->click();
    }
    boxes.clear();
    const QList<QStringList> none = stored();
    form1->RecordDepartureItem->trigger();
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(stored(), none);
    EXPECT_EQ(panel(0), QStringLiteral("孙八已登记离开"));
}

TEST_F(RecordListFeatures, DepartureListsAgainTheListThatWasShown)
{
    loginWithVisits();

    // A search keeps its matches.
    form1->searchkeyword->setText(QStringLiteral("四"));
    form1->Button_Search->click();
    ASSERT_EQ(listedNames(), QStringList{QStringLiteral("李四")});
    form1->RecordDepartureItem->trigger();
    EXPECT_EQ(listedNames(), QStringList{QStringLiteral("李四")});
    EXPECT_EQ(panel(0), QStringLiteral("李四已登记离开"));

    // A filter keeps its category, and the record stays current.
    form1->ComboBoxClass->setEditText(QStringLiteral("网站帐号"));
    form1->ComboBoxClassChange();
    form1->Button_Last->click();
    form1->Button_Prior->click(); // 王五
    form1->RecordDepartureItem->trigger();
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("王五"), QStringLiteral("赵六")}));
    EXPECT_EQ(currentName(), QStringLiteral("王五"));
    EXPECT_EQ(gridRow(), 0);
    expectGridLayout();

    // The on-site view loses the visitor who left: no row is current, so
    // neither "删除" nor F9 touches the visitor now at that place.
    form1->OnSiteOnlyItem->trigger();
    ASSERT_EQ(listedNames(), QStringList{QStringLiteral("孙八")});
    insertRows({visit(QStringLiteral("周九"), QString()), visit(QStringLiteral("吴十"), QString())});
    form1->OnSiteOnlyItem->trigger();
    ASSERT_EQ(listedNames(), (QStringList{QStringLiteral("孙八"), QStringLiteral("周九"), QStringLiteral("吴十")}));
    form1->Button_Next->click();
    form1->RecordDepartureItem->trigger();
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("孙八"), QStringLiteral("吴十")}));
    EXPECT_EQ(form1->ADOQuery1->RecNo(), -1);
    EXPECT_EQ(gridRow(), -1);
    EXPECT_EQ(panel(0), QStringLiteral("周九已登记离开"));
    form1->RecordDepartureItem->trigger();
    answerNextQuestions({true});
    form1->Button3->click();
    EXPECT_EQ(stored().size(), 8);
    EXPECT_EQ(stored()[7][9], QString()); // 吴十 is still on site
    boxes.clear();
    form1->Button_Next->click(); // a picked row is current again
    EXPECT_EQ(currentName(), QStringLiteral("孙八"));

    // The whole register stays the whole register.
    form1->Button_Refresh->click();
    form1->Button_Last->click();
    form1->RecordDepartureItem->trigger();
    EXPECT_EQ(gridRows(), 8);
    EXPECT_EQ(gridRow(), 7);
    EXPECT_EQ(currentName(), QStringLiteral("吴十"));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(RecordListFeatures, OnSiteViewListsTheOpenVisitsInListOrder)
{
    auto rows = QList<QStringList>{visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 09:00:00")),
                                   visit(QStringLiteral("李四"), QString()),
                                   visit(QStringLiteral("王五"), QStringLiteral(" "))};
    login(rows);
    insertRows({visit(QStringLiteral("赵六"), QString())});
    // A departure the store holds as null is empty too, and so is a blank.
    sqlite3* db = nullptr;
    sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
    sqlite3_exec(db, "UPDATE data SET 离开 = NULL WHERE 姓名 = '赵六'", nullptr, nullptr, nullptr);
    sqlite3_close(db);

    form1->Edit_XingMing->setText(QStringLiteral("不动"));
    QTest::keyClick(form1->Edit_XingMing, Qt::Key_F8); // the key works in an edit
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")}));
    // Followed by the count of those who arrived before today.
    EXPECT_TRUE(panel(0).startsWith(QStringLiteral("未离开的访客共3人"))) << panel(0).toStdString();
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("不动"));
    expectGridLayout();
    form1->Button_Refresh->click();
    EXPECT_EQ(gridRows(), 4);
    EXPECT_EQ(panel(0), QStringLiteral("共4条信息"));
    EXPECT_TRUE(boxes.isEmpty());
}

// A departure of blanks is none: F9 records the departure. A departure of a
// megabyte shows cut short in the box, at once.
TEST_F(RecordListFeatures, DepartureOverBlanksAndOfAHugeText)
{
    const QString huge(1 << 20, QChar(0x79bb)); // 离
    login({visit(QStringLiteral("张三"), QStringLiteral("\u3000\t ")), visit(QStringLiteral("李四"), huge)});
    form1->RecordDepartureItem->trigger();
    EXPECT_EQ(panel(0), QStringLiteral("张三已登记离开"));
    EXPECT_EQ(form1->ADOQuery1->Fields(DataColumn::Departure), QString::fromUtf8(kClock));
    form1->Button_Next->click();
    form1->RecordDepartureItem->trigger();
    ASSERT_EQ(boxTexts().size(), 1);
    EXPECT_LT(boxTexts()[0].size(), 60);
    EXPECT_TRUE(boxTexts()[0].startsWith(QStringLiteral("该访客已于离离离")));
    EXPECT_TRUE(boxTexts()[0].endsWith(QStringLiteral("…离开.")));
}

// A long text loaded into the form shows its beginning, not its tail.
TEST_F(RecordListFeatures, ALoadedRowShowsTheBeginningOfEachField)
{
    QStringList row = visit(QStringLiteral("张三"), QString());
    row[6] = QStringLiteral("广东省广州市天河区天河路一百二十三号某某大厦二十一层二一零八室");
    login({row});
    clickCell(0, DataColumn::Name);
    EXPECT_EQ(form1->Edit_DiZhi->text(), row[6]);
    EXPECT_EQ(form1->Edit_DiZhi->cursorPosition(), 0);
    EXPECT_EQ(form1->Edit_IDNumber->cursorPosition(), 0);
}

// After a login the focus is on the first control in tab order, even when
// "最小化" had it when it hid the window.
TEST_F(RecordListFeatures, ALoginPutsTheFocusOnTheFirstControlNeverOnTheMinimiseButton)
{
    loginWithVisits();
    QWidget* first = form1->focusWidget();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, form1->Button_HIde);
    form1->Button_HIde->setFocus();
    PerformClick(form1->Button_HIde);
    ASSERT_FALSE(form1->isVisible());
    form1->ShowMEClick();
    ASSERT_TRUE(form2->isVisible());
    form2->Edit_LoginPass->setText(QString::fromLatin1(kAdminPassword));
    form2->Button_Logining->click();
    ASSERT_TRUE(form1->isVisible());
    EXPECT_EQ(form1->focusWidget(), first);
}

TEST_F(RecordListFeatures, OnSiteViewOfARegisterWithoutOpenVisitsIsEmptyWithoutABox)
{
    login({visit(QStringLiteral("张三"), QStringLiteral("2026/12/7 09:00:00"))});
    form1->OnSiteOnlyItem->trigger();
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(panel(0), QStringLiteral("未离开的访客共0人"));
    EXPECT_TRUE(boxes.isEmpty());
    QTest::keyClick(form1->Edit_XingMing, Qt::Key_F9); // nothing to leave
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(RecordListFeatures, TheF9KeyRecordsTheDepartureFromAnywhereInTheWindow)
{
    loginWithVisits();
    form1->Button_Last->click(); // 孙八
    form1->Memo_BeiZhu->setFocus();
    QTest::keyClick(form1->Memo_BeiZhu, Qt::Key_F9);
    EXPECT_EQ(panel(0), QStringLiteral("孙八已登记离开"));
    EXPECT_EQ(stored()[5][ColumnIndex(DataColumn::Departure)], QString::fromUtf8(kClock));
    EXPECT_EQ(form1->Memo_BeiZhu->toPlainText(), QString());
}

class ReturningVisitors : public RecordListFeatures {
protected:
    void SetUp() override
    {
        RecordListFeatures::SetUp();
        QList<QStringList> rows = {
            {QStringLiteral("QQ帐号"), QStringLiteral("张三"), QStringLiteral("440106199003071231"),
             QStringLiteral("13800138000"), QStringLiteral("020-1"), QStringLiteral("送货"), QStringLiteral("广州"),
             QStringLiteral("2025/1/2 08:00:00"), QStringLiteral("2025/1/2 09:00:00"), QString(), QStringLiteral("x")},
            {QStringLiteral("网站帐号"), QStringLiteral("李四"), QStringLiteral("440106198512120012"),
             QStringLiteral("13900139000"), QString(), QStringLiteral("面试"), QStringLiteral("深圳"),
             QStringLiteral("2025/3/4 08:00:00"), QString(), QString(), QStringLiteral("x")},
            {QStringLiteral("邮箱帐号"), QStringLiteral("张三"), QStringLiteral("440106199003071231"),
             QStringLiteral("13800138001"), QStringLiteral("020-2"), QStringLiteral("送货"), QStringLiteral("佛山"),
             QStringLiteral("2026/6/1 10:00:00"), QString(), QString(), QStringLiteral("x")},
        };
        login(rows);
        form1->Edit_IDNumber->setFocus();
    }

    TVisitorSuggestionList* idList() const { return form1->ReturningVisitorOffers->IDNumberSuggestions; }

    QStringList lines(TVisitorSuggestionList* list) const
    {
        QStringList result;
        for (int i = 0; i < list->List()->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << list->List()->topLevelItem(i)->text(c);
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }

    void fillOwnFields()
    {
        form1->Edit_LaiYou->setText(QStringLiteral("今天的来由"));
        form1->Edit_LaiFangShiJian->setText(QStringLiteral("到"));
        form1->Edit_LiKaiShiJian->setText(QStringLiteral("离"));
        form1->Memo_BeiZhu->setPlainText(QStringLiteral("今天的备注"));
    }
};

TEST_F(ReturningVisitors, TheListOpensFromTheSixthCharacterWithTheNewestVisitFirst)
{
    typeText(form1->Edit_IDNumber, QStringLiteral("44010"));
    EXPECT_FALSE(idList()->IsShown());
    typeText(form1->Edit_IDNumber, QStringLiteral("6"));
    ASSERT_TRUE(idList()->IsShown());
    EXPECT_EQ(lines(idList()), (QStringList{QStringLiteral("张三|440106199003071231|13800138001|2026/6/1"),
                                            QStringLiteral("李四|440106198512120012|13900139000|2025/3/4")}));
    EXPECT_EQ(idList()->CurrentLine(), 0);
    // Under the edit, wide enough for its lines.
    const QRect list = idList()->List()->geometry();
    EXPECT_EQ(list.top(), form1->Edit_IDNumber->mapToGlobal(QPoint(0, form1->Edit_IDNumber->height())).y());
    EXPECT_GE(list.width(), form1->Edit_IDNumber->width());

    // Typing on narrows it; a number nobody had closes it.
    typeText(form1->Edit_IDNumber, QStringLiteral("1985"));
    EXPECT_EQ(lines(idList()).size(), 1);
    typeText(form1->Edit_IDNumber, QStringLiteral("9"));
    EXPECT_FALSE(idList()->IsShown());
    EXPECT_EQ(form1->Edit_IDNumber->text(), QStringLiteral("44010619859"));
    EXPECT_EQ(form1->Edit_XingMing->text(), QString());

    // The program setting the number offers nothing.
    form1->Edit_IDNumber->setText(QStringLiteral("440106"));
    EXPECT_FALSE(idList()->IsShown());
}

TEST_F(ReturningVisitors, PickingWithEnterFillsTheVisitorAndLeavesThisVisit)
{
    fillOwnFields();
    typeText(form1->Edit_IDNumber, QStringLiteral("440106"));
    QTest::keyClick(form1->Edit_IDNumber, Qt::Key_Down); // 李四
    QTest::keyClick(form1->Edit_IDNumber, Qt::Key_Return);
    EXPECT_FALSE(idList()->IsShown());
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("李四"));
    EXPECT_EQ(form1->Edit_IDNumber->text(), QStringLiteral("440106198512120012"));
    EXPECT_EQ(form1->Edit_ShouJi->text(), QStringLiteral("13900139000"));
    EXPECT_EQ(form1->Edit_DianHua->text(), QString());
    EXPECT_EQ(form1->Edit_DiZhi->text(), QStringLiteral("深圳"));
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QStringLiteral("网站帐号"));
    EXPECT_EQ(form1->Edit_LaiYou->text(), QStringLiteral("今天的来由"));
    EXPECT_EQ(form1->Edit_LaiFangShiJian->text(), QStringLiteral("到"));
    EXPECT_EQ(form1->Edit_LiKaiShiJian->text(), QStringLiteral("离"));
    EXPECT_EQ(form1->Memo_BeiZhu->toPlainText(), QStringLiteral("今天的备注"));
    EXPECT_FALSE(form1->ReturningVisitorOffers->MobileNumberSuggestions->IsShown());
    EXPECT_TRUE(boxes.isEmpty());

    // The filled visit is added as usual.
    form1->Button1->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("添加成功.")});
    EXPECT_EQ(
        stored().last().mid(1, 7),
        (QStringList{QStringLiteral("网站帐号"), QStringLiteral("李四"), QStringLiteral("440106198512120012"),
                     QStringLiteral("13900139000"), QString(), QStringLiteral("今天的来由"), QStringLiteral("深圳")}));
}

TEST_F(ReturningVisitors, PickingWithAClickTakesTheNewestRecordOfThatMobile)
{
    form1->Edit_ShouJi->setFocus();
    typeText(form1->Edit_ShouJi, QStringLiteral("138001"));
    EXPECT_FALSE(form1->ReturningVisitorOffers->MobileNumberSuggestions->IsShown());
    typeText(form1->Edit_ShouJi, QStringLiteral("3"));
    TVisitorSuggestionList* list = form1->ReturningVisitorOffers->MobileNumberSuggestions;
    ASSERT_EQ(lines(list), (QStringList{QStringLiteral("张三|440106199003071231|13800138001|2026/6/1"),
                                        QStringLiteral("张三|440106199003071231|13800138000|2025/1/2")}));
    QTreeWidget* view = list->List();
    for (int i = 0; i < 2; ++i) // rows clear of the glyphs
        EXPECT_GE(view->visualItemRect(view->topLevelItem(i)).height(), view->fontMetrics().height() + 4);
    EXPECT_EQ(view->palette().color(QPalette::Highlight), form1->SkinData1->Colour(TSkinData::csHilight));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->topLevelItem(1)).center());
    EXPECT_FALSE(list->IsShown());
    EXPECT_EQ(form1->Edit_ShouJi->text(), QStringLiteral("13800138000"));
    EXPECT_EQ(form1->Edit_DiZhi->text(), QStringLiteral("广州"));
    EXPECT_EQ(form1->Edit_DianHua->text(), QStringLiteral("020-1"));
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QStringLiteral("QQ帐号"));
    EXPECT_TRUE(form1->Edit_ShouJi->hasFocus());
}

TEST_F(ReturningVisitors, EscapeAndLeavingCloseTheListWithoutAChange)
{
    fillOwnFields();
    form1->Edit_XingMing->setText(QStringLiteral("新访客"));
    typeText(form1->Edit_IDNumber, QStringLiteral("4401061990"));
    ASSERT_TRUE(idList()->IsShown());
    QTest::keyClick(form1->Edit_IDNumber, Qt::Key_Escape);
    EXPECT_FALSE(idList()->IsShown());
    // Enter with the list closed picks nothing.
    QTest::keyClick(form1->Edit_IDNumber, Qt::Key_Return);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("新访客"));
    EXPECT_EQ(form1->Edit_IDNumber->text(), QStringLiteral("4401061990"));
    EXPECT_EQ(form1->Edit_ShouJi->text(), QString());
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QString());

    // Leaving the edit closes it too, and the focus goes where the guard sent it.
    typeText(form1->Edit_IDNumber, QStringLiteral("0"));
    ASSERT_TRUE(idList()->IsShown());
    QTest::keyClick(form1->Edit_IDNumber, Qt::Key_Tab);
    EXPECT_FALSE(idList()->IsShown());
    EXPECT_FALSE(form1->Edit_IDNumber->hasFocus());
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("新访客"));
    EXPECT_TRUE(boxes.isEmpty());
}

class IdentityCheck : public RecordListFeatures {
protected:
    bool red() const { return form1->Edit_IDNumber->palette().color(QPalette::Text) == QColor(Qt::red); }
    QString tip() const { return form1->Edit_IDNumber->toolTip(); }
    void typeAndLeave(const QString& number)
    {
        form1->Edit_IDNumber->setFocus();
        form1->Edit_IDNumber->clear();
        typeText(form1->Edit_IDNumber, number);
        form1->Edit_ShouJi->setFocus();
    }
};

TEST_F(IdentityCheck, LeavingTheFieldMarksAFaultyNumberRed)
{
    login();
    typeAndLeave(QStringLiteral("11010519491231002X"));
    EXPECT_FALSE(red());
    EXPECT_EQ(tip(), QString());
    typeAndLeave(QStringLiteral("110105194912310021"));
    EXPECT_TRUE(red());
    EXPECT_EQ(tip(), QStringLiteral("校验码不正确"));
    typeAndLeave(QStringLiteral("110105199902300021"));
    EXPECT_TRUE(tip().contains(QStringLiteral("出生日期不正确")));
    typeAndLeave(QStringLiteral("110105990230002")); // 15 digits, 30 February
    EXPECT_EQ(tip(), QStringLiteral("出生日期不正确"));
    // One digit short of or over 15 or 18 digits; other lengths are other papers.
    for (const char* number : {"1101051994123100", "11010519491231002", "1101051949123100211"}) {
        typeAndLeave(QString::fromLatin1(number));
        EXPECT_TRUE(red()) << number;
        EXPECT_EQ(tip(), QStringLiteral("位数不正确")) << number;
    }
    typeAndLeave(QStringLiteral("12345678901234")); // 14 digits
    EXPECT_FALSE(red());

    // Typing again takes the mark off until the field is left again.
    form1->Edit_IDNumber->setFocus();
    typeText(form1->Edit_IDNumber, QStringLiteral("1"));
    EXPECT_FALSE(red());
    typeAndLeave(QStringLiteral("E12345678")); // a passport is not judged
    EXPECT_FALSE(red());
    EXPECT_EQ(tip(), QString());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(IdentityCheck, AddAndModifyJudgeButNeverRefuse)
{
    login();
    form1->Edit_FenLei->setEditText(QStringLiteral("QQ帐号"));
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    form1->Edit_IDNumber->setText(QStringLiteral("110105194912310021"));
    form1->Button1->click(); // 来由 is missing
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("请填写来由.")});
    EXPECT_TRUE(red());
    EXPECT_EQ(tip(), QStringLiteral("校验码不正确"));

    form1->Edit_LaiYou->setText(QStringLiteral("送货"));
    form1->Button1->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("添加成功."));
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored()[0][ColumnIndex(DataColumn::IdentityNumber)], QStringLiteral("110105194912310021"));
    EXPECT_FALSE(red()); // the form is empty again

    clickCell(0, DataColumn::Name);
    EXPECT_FALSE(red()); // loading a row judges nothing
    form1->Edit_XingMing->clear();
    form1->Button2->click(); // the name is missing
    EXPECT_EQ(boxTexts().last(), QStringLiteral("请填写姓名."));
    EXPECT_TRUE(red());
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    form1->Button2->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("修改成功."));
}

TEST_F(RecordListFeatures, TheFirstLoginGivesAnOlderRegisterTheLookupIndexes)
{
    makeRegister();
    auto indexNames = [this] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
        QStringList names;
        {
            SqliteStatement s(
                db, QStringLiteral("SELECT name FROM sqlite_master WHERE name IN ('data_mobiles', 'data_on_site')"));
            while (s.step())
                names << s.columnText(0);
        }
        sqlite3_exec(
            db,
            "DROP INDEX IF EXISTS data_mobiles; DROP INDEX IF EXISTS data_on_site; PRAGMA user_version = 0;"
            "DROP TABLE IF EXISTS audit_trail; DROP TABLE IF EXISTS audit_head; DROP TABLE IF EXISTS visit_days;",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return names;
    };
    ASSERT_EQ(indexNames().size(), 2); // made by the set-up tool; dropped now
    ASSERT_TRUE(indexNames().isEmpty());
    createForms();
    logIn();
    ASSERT_TRUE(form1->isVisible());
    form1->ADOConnection1->Close();
    EXPECT_EQ(indexNames().size(), 2);
    EXPECT_TRUE(boxes.isEmpty());
}

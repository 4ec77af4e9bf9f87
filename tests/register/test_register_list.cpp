// The record list: listing, search, category filter, navigation.
#include "RegisterFixture.h"
#include "db/SearchIndex.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QToolTip>
#include <QWheelEvent>

using RegisterList = RegisterFixture;

TEST_F(RegisterList, ListingCountsTheRecordsAndSetsTheColumnsBack)
{
    login();
    EXPECT_EQ(panel(0), QStringLiteral("共0条信息"));
    expectGridLayout();

    insertRows(visitors(QStringList(12, QStringLiteral("王五"))));
    form1->DBGrid1->setColumnWidth(2, 300); // the user drags a column
    form1->DBGrid1->setColumnHidden(10, false);
    form1->Edit_XingMing->setText(QStringLiteral("留下的"));
    form1->Button_Refresh->click();
    EXPECT_EQ(panel(0), QStringLiteral("共12条信息"));
    EXPECT_EQ(gridRows(), 12);
    EXPECT_EQ(gridRow(), 0);
    EXPECT_EQ(form1->Edit_XingMing->text(), QString()); // the listing clears the form
    expectGridLayout();
}

TEST_F(RegisterList, SearchListsTheMatchesAndEmptiesTheKeyword)
{
    login(visitors({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张飞"), QStringLiteral("小张"),
                    QStringLiteral("赵六")}));
    form1->Edit_XingMing->setText(QStringLiteral("不动"));
    form1->searchkeyword->setText(QStringLiteral("张"));
    form1->Button_Search->click();
    EXPECT_EQ(panel(0), QStringLiteral("关于张的信息,共搜索到3条"));
    EXPECT_EQ(gridRows(), 3);
    EXPECT_EQ(gridCell(2, DataColumn::Name), QStringLiteral("小张"));
    EXPECT_EQ(form1->searchkeyword->text(), QString());
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("不动"));
    expectGridLayout();
    EXPECT_TRUE(boxes.isEmpty());

    form1->searchkeyword->setText(QStringLiteral("钱"));
    form1->Button_Search->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("对不起没有找到相关信息！")});
    EXPECT_EQ(panel(0), QStringLiteral("关于钱的信息,共搜索到0条"));
    EXPECT_EQ(gridRows(), 5);
    expectGridLayout();

    // An empty keyword only asks for one.
    form1->Button_Search->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("请输入搜索关键词！"));
    EXPECT_EQ(panel(0), QStringLiteral("关于钱的信息,共搜索到0条"));

    // Enter in the box searches as the button does.
    form1->searchkeyword->setText(QStringLiteral("李"));
    QTest::keyClick(form1->searchkeyword, Qt::Key_Return);
    EXPECT_EQ(panel(0), QStringLiteral("关于李的信息,共搜索到1条"));
    EXPECT_EQ(gridRows(), 1);
    EXPECT_EQ(form1->searchkeyword->text(), QString());
}

TEST_F(RegisterList, SearchAndFilterShowTheSameFromTheSearchCopy)
{
    auto rows =
        visitors({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("小张")}, QStringLiteral("QQ帐号"));
    rows += visitors({QStringLiteral("张飞")});
    login(rows);
    ASSERT_TRUE(form1->ADOConnection1->searchIndex()->waitUntilReady());
    insertRows(visitors({QStringLiteral("张良")})); // written by another handle after the load

    form1->searchkeyword->setText(QStringLiteral("张"));
    form1->Button_Search->click();
    EXPECT_EQ(panel(0), QStringLiteral("关于张的信息,共搜索到4条"));
    EXPECT_EQ(gridCell(3, DataColumn::Name), QStringLiteral("张良"));
    ASSERT_TRUE(form1->ADOConnection1->searchIndex()->waitUntilReady());
    form1->Button_Refresh->click();
    answerNextQuestions({true});
    form1->Button3->click(); // the first row, 张三

    form1->searchkeyword->setText(QStringLiteral("张"));
    form1->Button_Search->click();
    EXPECT_EQ(panel(0), QStringLiteral("关于张的信息,共搜索到3条"));
    EXPECT_EQ(gridCell(0, DataColumn::Name), QStringLiteral("小张"));
    form1->searchkeyword->setText(QStringLiteral("钱"));
    form1->Button_Search->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("对不起没有找到相关信息！"));
    EXPECT_EQ(gridRows(), 4);
    form1->ComboBoxClass->setEditText(QStringLiteral("QQ帐号"));
    form1->ComboBoxClassChange();
    EXPECT_EQ(panel(0), QStringLiteral("QQ帐号分类下共有2条"));
    EXPECT_TRUE(form1->ADOConnection1->searchIndex()->ready());
}

TEST_F(RegisterList, TheKeywordBoxEmptiesOnEveryClickAndItsPromptIsSearchedOtherwise)
{
    login(visitors({QStringLiteral("张三")}));
    form1->Button_Search->click();
    EXPECT_EQ(panel(0), QStringLiteral("关于请输入搜索关键词的信息,共搜索到0条"));

    form1->searchkeyword->setText(QStringLiteral("张"));
    QTest::mouseClick(form1->searchkeyword, Qt::LeftButton);
    EXPECT_EQ(form1->searchkeyword->text(), QString());
    form1->searchkeyword->setText(QStringLiteral("张"));
    QTest::mouseDClick(form1->searchkeyword, Qt::LeftButton);
    EXPECT_EQ(form1->searchkeyword->text(), QString());
}

TEST_F(RegisterList, SearchLooksInTheTypedColumnAndRefusesOneThatIsNoColumn)
{
    auto rows = visitors({QStringLiteral("张三"), QStringLiteral("李四")});
    rows[1][9] = QStringLiteral("第一行\n带钥匙");
    login(rows);
    form1->ComboBoxSeachClass->setEditText(QStringLiteral("备注"));
    form1->searchkeyword->setText(QStringLiteral("钥匙"));
    form1->Button_Search->click();
    EXPECT_EQ(gridRows(), 1);
    EXPECT_EQ(gridCell(0, DataColumn::Name), QStringLiteral("李四"));

    form1->ComboBoxSeachClass->setEditText(QStringLiteral("姓名 or 1=1 --"));
    form1->searchkeyword->setText(QStringLiteral("张"));
    form1->Button_Search->click();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::Error);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("姓名 or 1=1 --")));
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(form1->searchkeyword->text(), QStringLiteral("张"));
    EXPECT_EQ(panel(0), QStringLiteral("关于钥匙的信息,共搜索到1条"));

    // Navigating the closed list reports it; the next listing works.
    form1->Button_Next->click();
    EXPECT_EQ(boxes.last().kind, MessageBoxes::Kind::Error);
    form1->Button_Refresh->click();
    EXPECT_EQ(gridRows(), 2);
}

TEST_F(RegisterList, TheCategoryFilterRunsOnTheUsersPicksAndEdits)
{
    auto rows = visitors({QStringLiteral("甲"), QStringLiteral("乙")}, QStringLiteral("QQ帐号"));
    rows += visitors({QStringLiteral("丙")}, QStringLiteral("老QQ帐号"));
    rows += visitors({QStringLiteral("丁"), QStringLiteral("戊")});
    login(rows);
    QComboBox* box = form1->ComboBoxClass;

    // A pick from the drop-down list.
    const int qq = box->findText(QStringLiteral("QQ帐号"));
    ASSERT_GE(qq, 0);
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(qq, 0)).center());
    EXPECT_EQ(box->currentText(), QStringLiteral("QQ帐号"));
    EXPECT_EQ(panel(0), QStringLiteral("QQ帐号分类下共有3条"));
    EXPECT_EQ(gridRows(), 3);
    expectGridLayout();

    // A category without rows.
    box->setEditText(QString());
    type(box->lineEdit(), QStringLiteral("游戏帐号"));
    EXPECT_EQ(panel(0), QStringLiteral("游戏帐号分类下共有0条"));
    EXPECT_EQ(gridRows(), 5);
    EXPECT_EQ(boxTexts(), QStringList(4, QStringLiteral("对不起该分类下还没有信息"))); // one per typed character

    // Each edit filters with the partial text; an empty text does nothing.
    boxes.clear();
    box->setEditText(QString());
    type(box->lineEdit(), QStringLiteral("QX"));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("对不起该分类下还没有信息")}); // "Q" matched, "QX" did not
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(panel(0), QStringLiteral("Q分类下共有3条"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(box->currentText(), QString());
    EXPECT_EQ(panel(0), QStringLiteral("Q分类下共有3条"));
    EXPECT_EQ(gridRows(), 3);

    // Text set by the program never filters.
    box->setEditText(QStringLiteral("网站帐号"));
    form1->Button_ClearAllEdit->click();
    EXPECT_EQ(box->currentText(), QString());
    EXPECT_EQ(panel(0), QStringLiteral("Q分类下共有3条"));
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(RegisterList, LeavingTheFilterBoxDoesNotFilterASecondTime)
{
    login(visitors({QStringLiteral("甲")}, QStringLiteral("QQ帐号")));
    QComboBox* box = form1->ComboBoxClass;
    QInputMethodEvent typed; // one edit: the whole name committed at once
    typed.setCommitString(QStringLiteral("游戏帐号"));
    QCoreApplication::sendEvent(box->lineEdit(), &typed);
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("对不起该分类下还没有信息")});

    // Return, then the focus leaving: the box selects the equal entry itself.
    QTest::keyClick(box, Qt::Key_Return);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &leave);
    pump(50);
    EXPECT_EQ(box->currentIndex(), box->findText(QStringLiteral("游戏帐号")));
    EXPECT_EQ(boxes.size(), 1);

    // Picking that entry from the list is the user's and filters again.
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(box->findText(QStringLiteral("QQ帐号")), 0)).center());
    EXPECT_EQ(panel(0), QStringLiteral("QQ帐号分类下共有1条"));
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(RegisterList, ACellItsColumnCutsOffShowsItsWholeTextAsATip)
{
    login({{QStringLiteral("QQ帐号"), QStringLiteral("张三"), QStringLiteral("110101199001011234"),
            QStringLiteral("13800000000")}});
    QTableView* grid = form1->DBGrid1;
    auto tipOver = [grid](int column) {
        QToolTip::hideText();
        for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
            pump(10);
        const QPoint at = grid->visualRect(grid->model()->index(0, column)).center();
        QHelpEvent rest(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &rest);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipOver(3), QString()); // the column holds 18 digits
    EXPECT_EQ(tipOver(2), QString()); // the name fits
    EXPECT_EQ(tipOver(4), QString()); // 11 digits fit as well
    grid->setColumnWidth(3, 80);
    EXPECT_EQ(tipOver(3), QStringLiteral("110101199001011234"));
    QToolTip::hideText();
}

TEST_F(RegisterList, NavigationStopsAtTheEndsAndShowsTheRowNumber)
{
    login(visitors({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")}));
    form1->Button_Last->click();
    form1->Button_Next->click();
    EXPECT_EQ(panel(1), QStringLiteral("4"));
    EXPECT_EQ(gridRow(), 3);
    form1->Button_Prior->click();
    EXPECT_EQ(panel(1), QStringLiteral("3"));
    form1->Button_First->click();
    form1->Button_Prior->click();
    EXPECT_EQ(panel(1), QStringLiteral("1"));
    EXPECT_EQ(gridRow(), 0);
    EXPECT_EQ(form1->Edit_XingMing->text(), QString()); // navigation does not load the form
    EXPECT_EQ(form1->DBGrid1Model->headerData(0, Qt::Vertical).toString(), QStringLiteral("▶"));

    form1->ADOConnection1->Close();
    sqlite3* db = nullptr; // empty the register behind the program's back
    sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
    sqlite3_exec(db, "DELETE FROM data", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    form1->Button_Refresh->click();
    for (QPushButton* b : {form1->Button_First, form1->Button_Prior, form1->Button_Next, form1->Button_Last}) {
        b->click();
        EXPECT_EQ(panel(1), QStringLiteral("-1"));
    }
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(RegisterList, WheelKeysAndTheRowIndicatorMoveHighlightAndQueryTogether)
{
    login(visitors({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")}));
    QTableView* grid = form1->DBGrid1;
    auto wheel = [&](int delta) {
        QWheelEvent e(QPointF(20, 20), grid->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid->viewport(), &e);
    };
    form1->StatusPanel(1)->setText(QStringLiteral("x"));
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 3);
    EXPECT_EQ(gridRow(), 2);
    wheel(120);
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 2);
    EXPECT_EQ(gridRow(), 1);

    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(gridRow(), 3);
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 4);
    EXPECT_EQ(form1->DBGrid1Model->headerData(3, Qt::Vertical).toString(), QStringLiteral("▶"));
    EXPECT_EQ(form1->DBGrid1Model->headerData(1, Qt::Vertical).toString(), QString());

    // The row indicator moves the highlight but loads nothing.
    QHeaderView* indicator = grid->verticalHeader();
    QTest::mouseClick(indicator->viewport(), Qt::LeftButton, {},
                      QPoint(indicator->width() / 2, indicator->sectionViewportPosition(0) + 5));
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 1);
    EXPECT_EQ(gridRow(), 0);
    EXPECT_EQ(form1->Edit_XingMing->text(), QString());
    EXPECT_EQ(panel(1), QStringLiteral("x")); // only buttons and cell clicks write it
}

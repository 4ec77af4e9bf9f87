// The watch list in the main window: the edits marked while the guard
// types, the question on "添加" and "修改", and the "黑名单" window.
#include "RegisterFixture.h"
#include "app/EditMarks.h"
#include "app/WatchListCheck.h"
#include "app/WatchListWindow.h"
#include "watchlist/WatchList.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>

namespace {

const QString kListedNumber = QStringLiteral("11010519491231002X");
const QString kListedMobile = QStringLiteral("13800138000");

class WatchListForm : public RegisterFixture {
protected:
    void loginWithListedVisitor(const QList<QStringList>& rows = {})
    {
        login(rows);
        TWatchListWindow window(form1.get(), form1->WatchList, form1->ADOConnection1);
        window.AddEntry(QStringLiteral("张三"), kListedNumber, QStringLiteral("+86 138 0013 8000"),
                        QStringLiteral("闹事"));
    }

    static bool warned(const QLineEdit* edit)
    {
        return edit->palette().color(QPalette::Base) == WatchListWarningColour();
    }

    void fillVisitor(const QString& name, const QString& number, const QString& mobile)
    {
        form1->Edit_FenLei->setEditText(QStringLiteral("QQ帐号"));
        form1->Edit_XingMing->setText(name);
        form1->Edit_IDNumber->setText(number);
        form1->Edit_ShouJi->setText(mobile);
        form1->Edit_LaiYou->setText(QStringLiteral("送货"));
    }
};

} // namespace

TEST_F(WatchListForm, EditsTurnToTheWarningColourAsTheGuardTypes)
{
    loginWithListedVisitor();
    struct Case {
        const char* name;
        const char* number;
        const char* mobile;
        const char* nameTip;
        const char* numberTip;
        const char* mobileTip;
    } cases[] = {
        {"", "110105 19491231002x", "", "", "黑名单:闹事", ""},
        {"", "", "+8613800138000", "", "", "黑名单:闹事"},
        {"张三", "", "", "黑名单:闹事", "", ""},
        {"张三", "440101199001011234", "", "与黑名单中的张三同名,证件号码不同", "", ""},
        {"李四", "11010519491231002", "1380013800", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string("/") + c.number + "/" + c.mobile);
        PerformClick(form1->Button_ClearAllEdit);
        typeText(form1->Edit_XingMing, QString::fromUtf8(c.name));
        typeText(form1->Edit_IDNumber, QString::fromUtf8(c.number));
        typeText(form1->Edit_ShouJi, QString::fromUtf8(c.mobile));
        const std::pair<QLineEdit*, const char*> expected[] = {
            {form1->Edit_XingMing, c.nameTip}, {form1->Edit_IDNumber, c.numberTip}, {form1->Edit_ShouJi, c.mobileTip}};
        for (const auto& [edit, tip] : expected) {
            EXPECT_EQ(edit->toolTip(), QString::fromUtf8(tip)) << edit->objectName().toStdString();
            EXPECT_EQ(warned(edit), *tip != '\0') << edit->objectName().toStdString();
        }
    }
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(WatchListForm, TheWarningAndTheRedOfAFaultyNumberStandTogether)
{
    login();
    TWatchListWindow window(form1.get(), form1->WatchList, form1->ADOConnection1);
    const QString faulty = QStringLiteral("110105194912310021");
    window.AddEntry(QStringLiteral("张三"), faulty, QString(), QStringLiteral("闹事"));
    form1->Edit_IDNumber->setFocus();
    typeText(form1->Edit_IDNumber, faulty);
    form1->Edit_ShouJi->setFocus(); // leaving judges the number
    QLineEdit* edit = form1->Edit_IDNumber;
    EXPECT_TRUE(warned(edit));
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(edit->toolTip(), QStringLiteral("黑名单:闹事\n校验码不正确"));

    // Removed from the list, the number keeps its red alone.
    window.Grid_WatchList->selectRow(0);
    answerNextQuestions({true});
    window.Button_RemoveClick();
    EXPECT_FALSE(warned(edit));
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(edit->toolTip(), QStringLiteral("校验码不正确"));
}

TEST_F(WatchListForm, AddAndModifyAskForANumberOnTheListAndNoWritesNothing)
{
    const QString question = QStringLiteral("该访客在黑名单中:张三,闹事。是否仍要登记?");
    struct Case {
        bool modify;
        bool answer;
        const char* number;
        const char* mobile;
    } cases[] = {
        {false, false, "11010519491231002x", ""},
        {false, true, "11010519491231002X", ""},
        {true, false, "", "138 0013 8000"},
        {true, true, "11010519491231002X", ""},
    };
    loginWithListedVisitor(visitors({QStringLiteral("旧访客")}));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.modify ? "修改 " : "添加 ") + (c.answer ? "Yes" : "No"));
        QSignalSpy turnedAway(form1->WatchList, &TWatchList::HitTurnedAway);
        QSignalSpy letIn(form1->WatchList, &TWatchList::HitLetIn);
        const QList<QStringList> before = stored();
        if (c.modify)
            clickCell(0, DataColumn::Name);
        fillVisitor(QStringLiteral("张三"), QString::fromUtf8(c.number), QString::fromUtf8(c.mobile));
        boxes.clear();
        answerNextQuestions({c.answer});
        (c.modify ? form1->Button2 : form1->Button1)->click();

        ASSERT_FALSE(boxes.isEmpty());
        EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::WarningYesNo);
        EXPECT_EQ(boxes[0].text, question);
        const QList<QStringList> after = stored();
        if (!c.answer) {
            EXPECT_EQ(boxes.size(), 1);
            EXPECT_EQ(after, before);
            EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("张三")); // the form keeps its texts
        } else {
            EXPECT_EQ(boxes.last().text, QString::fromUtf8(c.modify ? "修改成功." : "添加成功."));
            ASSERT_EQ(after.size(), before.size() + (c.modify ? 0 : 1));
            EXPECT_NE(after, before);
        }
        const QList<QVariant> expectedSignal{QStringLiteral("张三"), QStringLiteral("闹事")};
        ASSERT_EQ(turnedAway.size(), c.answer ? 0 : 1);
        ASSERT_EQ(letIn.size(), c.answer ? 1 : 0);
        EXPECT_EQ((c.answer ? letIn : turnedAway).at(0), expectedSignal);
        PerformClick(form1->Button_ClearAllEdit);
    }
}

TEST_F(WatchListForm, ANameAloneDoesNotAsk)
{
    loginWithListedVisitor();
    fillVisitor(QStringLiteral("张三"), QStringLiteral("440101199001011234"), QString());
    form1->Button1->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("添加成功.")});
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(WatchListForm, TheWindowListsChangesAndImportsAndTellsTheSkippedLines)
{
    login();
    QAction* item = form1->WatchListItem;
    const QList<QAction*> items = form1->PopupMenu_DBGrid1->actions();
    const qsizetype at = items.indexOf(item);
    ASSERT_GT(at, 0);
    EXPECT_TRUE(items[at - 1]->isSeparator());
    EXPECT_EQ(item->text(), QStringLiteral("黑名单..."));

    TWatchListWindow window(form1.get(), form1->WatchList, form1->ADOConnection1);
    window.AddEntry(QStringLiteral("张三"), kListedNumber, QString(), QStringLiteral("闹事"));
    window.Grid_WatchList->selectRow(0);
    window.ChangeSelected(QStringLiteral("张三"), kListedNumber, kListedMobile, QStringLiteral("打人"));
    QFile csv(dir.file(QStringLiteral("list.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("姓名,身份证,手机,原因\n李四,,13900139000,欠款\n,,,没有名字\n王五,,12a,手机不对\n");
    csv.close();
    boxes.clear();
    window.ImportFile(csv.fileName());
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("导入1条,跳过2条")});
    ASSERT_TRUE(window.Button_ShowSkipped->isEnabled());
    window.Button_ShowSkippedClick();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("第3行:缺少姓名\n第4行:手机号码含有非数字字符"));

    ASSERT_EQ(window.Grid_WatchList->rowCount(), 2);
    EXPECT_EQ(window.Grid_WatchList->item(0, 2)->text(), kListedMobile);
    EXPECT_EQ(window.Grid_WatchList->item(0, 3)->text(), QStringLiteral("打人"));
    EXPECT_FALSE(window.Grid_WatchList->item(0, 4)->text().isEmpty());
    EXPECT_EQ(window.Grid_WatchList->item(1, 0)->text(), QStringLiteral("李四"));

    // The list survives the next login.
    form1->WatchListCheck->Reload();
    EXPECT_EQ(form1->WatchList->Entries().size(), 2);
    typeText(form1->Edit_ShouJi, QStringLiteral("13900139000"));
    EXPECT_EQ(form1->Edit_ShouJi->toolTip(), QStringLiteral("黑名单:欠款"));
}

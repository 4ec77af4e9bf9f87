// The record form: loading a row, add, modify, delete, clearing, time buttons.
#include "RegisterFixture.h"

#include <QAction>
#include <algorithm>
#include <functional>

using RecordForm = RegisterFixture;

namespace {

const QString kClockText = QString::fromUtf8(RegisterFixture::kClock);

} // namespace

class RecordFormFields : public RecordForm {
protected:
    QList<QWidget*> fields() const
    {
        return {form1->Edit_BianHao,        form1->Edit_FenLei,       form1->Edit_XingMing, form1->Edit_IDNumber,
                form1->Edit_ShouJi,         form1->Edit_DianHua,      form1->Edit_LaiYou,   form1->Edit_DiZhi,
                form1->Edit_LaiFangShiJian, form1->Edit_LiKaiShiJian, form1->Memo_BeiZhu};
    }
    static QString textOf(QWidget* w)
    {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return e->text();
        if (auto* c = qobject_cast<QComboBox*>(w))
            return c->currentText();
        return qobject_cast<QPlainTextEdit*>(w)->toPlainText();
    }
    QStringList form() const
    {
        QStringList texts;
        for (QWidget* w : fields())
            texts << textOf(w);
        return texts;
    }
    // Types texts into the form's controls from the category on.
    void fill(const QStringList& texts)
    {
        const QList<QWidget*> f = fields();
        for (int i = 0; i < texts.size(); ++i) {
            QWidget* w = f[i + 1];
            if (auto* e = qobject_cast<QLineEdit*>(w))
                e->setText(texts[i]);
            else if (auto* c = qobject_cast<QComboBox*>(w))
                c->setEditText(texts[i]);
            else
                qobject_cast<QPlainTextEdit*>(w)->setPlainText(texts[i]);
        }
    }
};

TEST_F(RecordFormFields, ACellClickLoadsAllElevenFieldsOfItsRow)
{
    auto rows = visitors({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")});
    rows[2] = QStringList{QStringLiteral("不在列表的分类"),
                          QStringLiteral("丙"),
                          QStringLiteral("4401"),
                          QStringLiteral("139"),
                          QStringLiteral("020"),
                          QStringLiteral("面试"),
                          QStringLiteral("广州"),
                          QStringLiteral("9:00"),
                          QStringLiteral("10:00"),
                          QStringLiteral("两行\n备注"),
                          QStringLiteral("x")};
    login(rows);
    clickCell(2, DataColumn::Mobile);
    EXPECT_EQ(panel(1), QStringLiteral("3"));
    QStringList expected = rows[2].mid(0, 10);
    expected.prepend(QStringLiteral("3"));
    EXPECT_EQ(form(), expected);

    // Neither a right click nor the title row loads a row.
    form1->Button_ClearAllEdit->click();
    clickCell(0, DataColumn::Name, Qt::RightButton);
    QHeaderView* titles = form1->DBGrid1->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(titles->sectionViewportPosition(2) + 5, 5));
    EXPECT_EQ(form1->Edit_XingMing->text(), QString());
}

TEST_F(RecordFormFields, AddChecksTheFormInOrderThenStoresItWithTheClockText)
{
    login(visitors({QStringLiteral("甲")}));
    const struct {
        QStringList texts;
        const char* message;
    } checks[] = {
        {{QString(), QStringLiteral("乙"), QStringLiteral("4401"), QString(), QString(), QStringLiteral("送货")},
         "请选择分类."},
        {{QStringLiteral("QQ帐号"), QString(), QString(), QString(), QString(), QString()}, "请填写姓名."},
        {{QStringLiteral("QQ帐号"), QStringLiteral("乙"), QString(), QString(), QString(), QString()},
         "请填写身份证编号."},
        {{QStringLiteral("QQ帐号"), QStringLiteral("乙"), QStringLiteral("4401"), QString(), QString(), QString()},
         "请填写来由."},
    };
    for (const auto& c : checks) {
        boxes.clear();
        fill(c.texts);
        form1->Button1->click();
        EXPECT_EQ(boxTexts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(form()[2], c.texts[1]); // the form keeps its texts
    }
    EXPECT_EQ(stored().size(), 1);

    boxes.clear();
    fill({QStringLiteral("QQ帐号"), QStringLiteral("乙"), QStringLiteral("4401"), QString(), QString(),
          QStringLiteral("送货")});
    form1->Button1->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("添加成功.")});
    const QList<QStringList> all = stored();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].mid(1),
              (QStringList{QStringLiteral("QQ帐号"), QStringLiteral("乙"), QStringLiteral("4401"), QString(), QString(),
                           QStringLiteral("送货"), QString(), QString(), QString(), QString(), kClockText}));
    EXPECT_EQ(panel(0), QStringLiteral("共2条信息"));
    EXPECT_EQ(gridRows(), 2);
    EXPECT_EQ(form(), QStringList(11, QString()));
}

TEST_F(RecordFormFields, ModifyNeedsALoadedRowAndReturnsToItsPosition)
{
    login(visitors({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁"),
                    QStringLiteral("戊"), QStringLiteral("己")}));
    fill({QStringLiteral("QQ帐号"), QStringLiteral("乙")});
    form1->Button2->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("不可编辑")});

    boxes.clear();
    clickCell(4, DataColumn::Name);
    form1->Edit_IDNumber->clear(); // identity card and reason may be emptied
    form1->Edit_LaiYou->clear();
    form1->Edit_XingMing->setText(QStringLiteral("戊二"));
    form1->Button2->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("修改成功.")});
    const QStringList row = stored()[4];
    EXPECT_EQ(row[2], QStringLiteral("戊二"));
    EXPECT_EQ(row[3], QString());
    EXPECT_EQ(row[6], QString());
    EXPECT_EQ(row[11], kClockText);
    EXPECT_EQ(form1->ADOQuery1->RecNo(), 5);
    EXPECT_EQ(gridRow(), 4);
    EXPECT_EQ(panel(1), QStringLiteral("5"));
    EXPECT_EQ(form(), QStringList(11, QString()));
}

// After "修改" the full list comes back with the modified record current,
// wherever it stands, so that "删除" then deletes that record and no other.
TEST_F(RecordFormFields, ModifyOnANarrowedListThenDeleteDeletesTheModifiedRecord)
{
    const QString onSite;
    const QString left = QStringLiteral("2026/12/7 10:00:00");
    auto row = [](const QString& category, const QString& name, const QString& departure) {
        return QStringList{category,
                           name,
                           QStringLiteral("110"),
                           QString(),
                           QString(),
                           QStringLiteral("送货"),
                           QString(),
                           QString(),
                           departure,
                           QString(),
                           QStringLiteral("旧日期")};
    };
    login({row(QStringLiteral("QQ帐号"), QStringLiteral("沈丽子"), left),
           row(QStringLiteral("网站帐号"), QStringLiteral("周一"), left),
           row(QStringLiteral("QQ帐号"), QStringLiteral("吴二"), onSite),
           row(QStringLiteral("网站帐号"), QStringLiteral("马丽"), left),
           row(QStringLiteral("QQ帐号"), QStringLiteral("郑三"), onSite),
           row(QStringLiteral("网站帐号"), QStringLiteral("王四"), onSite)});

    struct Narrowing {
        const char* how;
        std::function<void()> narrow;
        int row;          // picked in the narrowed list
        const char* name; // the visitor on that row
    };
    const QList<Narrowing> cases = {
        {"filter",
         [&] {
             form1->ComboBoxClass->setEditText(QStringLiteral("网站帐号"));
             form1->ComboBoxClassChange();
         },
         1, "马丽"},
        {"search",
         [&] {
             form1->searchkeyword->setText(QStringLiteral("三"));
             form1->Button_Search->click();
         },
         0, "郑三"},
        {"on-site view", [&] { form1->OnSiteOnlyItem->trigger(); }, 1, "王四"},
    };
    for (const Narrowing& c : cases) {
        SCOPED_TRACE(c.how);
        const QList<QStringList> before = stored();
        c.narrow();
        clickCell(c.row, DataColumn::Name);
        ASSERT_EQ(form1->Edit_XingMing->text(), QString::fromUtf8(c.name));
        const QString number = form1->Edit_BianHao->text();
        form1->Edit_LaiYou->setText(QStringLiteral("改过"));
        form1->Button2->click();
        ASSERT_EQ(gridRows(), before.size());
        EXPECT_EQ(form1->ADOQuery1->Fields(DataColumn::RecordNumber), number);
        EXPECT_EQ(gridCell(gridRow(), DataColumn::RecordNumber), number);

        answerNextQuestions({true});
        form1->Button3->click();
        const QList<QStringList> after = stored();
        EXPECT_EQ(after.size(), before.size() - 1);
        EXPECT_FALSE(std::any_of(after.begin(), after.end(), [&](const QStringList& r) { return r[0] == number; }));
    }
    QStringList names;
    for (const QStringList& r : stored())
        names << r[2];
    EXPECT_EQ(names, (QStringList{QStringLiteral("沈丽子"), QStringLiteral("周一"), QStringLiteral("吴二")}));
}

TEST_F(RecordFormFields, DeleteAsksThenRemovesTheHighlightedRowWithoutAListing)
{
    login(visitors({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}));
    form1->Button3->click(); // answered No
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::WarningYesNo);
    EXPECT_EQ(boxes[0].text, QStringLiteral("您真的要删除该记录吗?"));
    EXPECT_EQ(stored().size(), 3);

    answerNextQuestions({true});
    form1->Button3->click(); // right after the listing: the first row
    EXPECT_EQ(stored()[0][ColumnIndex(DataColumn::Name)], QStringLiteral("乙"));
    EXPECT_EQ(gridRows(), 2);
    EXPECT_EQ(panel(0), QStringLiteral("共3条信息"));

    form1->Button_Next->click();
    clickCell(1, DataColumn::Category);
    answerNextQuestions({true});
    form1->Button3->click();
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(stored()[0][ColumnIndex(DataColumn::Name)], QStringLiteral("乙"));
    EXPECT_EQ(form(), QStringList(11, QString()));
    EXPECT_EQ(panel(1), QStringLiteral("2"));

    // On an empty list it asks and does nothing else.
    answerNextQuestions({true});
    form1->Button3->click();
    EXPECT_EQ(stored().size(), 0);
    fill({QStringLiteral("留")});
    boxes.clear();
    answerNextQuestions({true});
    form1->Button3->click();
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QStringLiteral("留")); // the form stays after the swallowed error
}

TEST_F(RecordFormFields, QuotesAndLineBreaksAreStoredAsTypedThroughAddModifyAndSearch)
{
    login();
    const QStringList typed = {QStringLiteral("O'Neil\"类"),
                               QStringLiteral("O'Brien"),
                               QStringLiteral("'; drop table data; --"),
                               QStringLiteral("13'9"),
                               QStringLiteral("\"020\""),
                               QStringLiteral("it's"),
                               QStringLiteral("%_'"),
                               QStringLiteral("9'00"),
                               QStringLiteral("10\"00"),
                               QStringLiteral("第一行\n第二行 'x'\n")};
    fill(typed);
    form1->Button1->click();
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored()[0].mid(1, 10), typed);
    clickCell(0, DataColumn::RecordNumber);
    EXPECT_EQ(form().mid(1), typed);

    form1->Edit_XingMing->setText(QStringLiteral("O'Brien '2'"));
    form1->Button2->click();
    EXPECT_EQ(stored()[0][ColumnIndex(DataColumn::Name)], QStringLiteral("O'Brien '2'"));

    form1->searchkeyword->setText(QStringLiteral("n '2"));
    form1->Button_Search->click();
    EXPECT_EQ(panel(0), QStringLiteral("关于n '2的信息,共搜索到1条"));
    form1->ComboBoxClass->lineEdit()->setFocus();
    type(form1->ComboBoxClass->lineEdit(), QStringLiteral("'N"));
    EXPECT_EQ(panel(0), QStringLiteral("'N分类下共有1条"));
}

TEST_F(RecordFormFields, AFailedWriteShowsTheEnginesMessageAndLeavesTheListEmpty)
{
    login(visitors({QStringLiteral("甲")}));
    sqlite3* db = nullptr; // another writer holds the register
    sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    fill({QStringLiteral("QQ帐号"), QStringLiteral("乙"), QStringLiteral("4401"), QString(), QString(),
          QStringLiteral("送货")});
    form1->Button1->click();
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::Error);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("locked"))) << boxes[0].text.toStdString();
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("乙"));
    EXPECT_EQ(stored().size(), 1);
    form1->Button_Refresh->click();
    EXPECT_EQ(gridRows(), 1);
}

TEST_F(RecordFormFields, TheTimeButtonsStampTheClockText)
{
    login();
    form1->Button6->click();
    form1->Button5->click();
    EXPECT_EQ(form1->Edit_LaiFangShiJian->text(), kClockText);
    EXPECT_EQ(form1->Edit_LiKaiShiJian->text(), kClockText);
}

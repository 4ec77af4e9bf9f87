// "+" and "-" beside the record form's category box.
#include "FormFixture.h"
#include "ReadOnlyFolder.h"

#include "app/ComboBoxItems.h"
#include "app/Unit1.h"
#include "base/GbkCodec.h"
#include "db/CategoryFile.h"
#include "db/RegisterQuery.h"
#include "login/Unit_Login.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class CategoryTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        makeRegister();
        createForms(); // writes "class.dat" with the six defaults
        boxes.clear();
    }

    QByteArray classDat() const
    {
        QFile file(dir.file(QStringLiteral("class.dat")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray fileOf(const QStringList& items)
    {
        QByteArray bytes;
        for (const QString& item : items)
            bytes += ToGbk(item) + "\r\n";
        return bytes;
    }

    QStringList without(const QString& item) const
    {
        QStringList items = DefaultCategories();
        items.removeAll(item);
        return items;
    }

    void pick(const QString& item) { form1->Edit_FenLei->setCurrentIndex(form1->Edit_FenLei->findText(item)); }

    // Picks an entry with the mouse from the box's drop-down list.
    void pickFromList(QComboBox* box, const QString& item)
    {
        box->showPopup();
        QAbstractItemView* list = box->view();
        const QModelIndex entry = list->model()->index(box->findText(item), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    }

    // Types text as an input method commits it.
    static void commitText(QComboBox* box, const QString& text)
    {
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QCoreApplication::sendEvent(box->lineEdit(), &typed);
    }
};

const QString kForum = QStringLiteral("论坛帐号");

TEST_F(CategoryTest, AddRefusesAnEmptyTextAndDuplicatesIgnoringCase)
{
    const QByteArray before = classDat();
    for (const char* text : {"", "QQ帐号", "qq帐号"}) {
        form1->Edit_FenLei->setEditText(QString::fromUtf8(text));
        form1->Button_Edit_FenLei_add->click();
    }
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("请填写分类."), QStringLiteral("该分类已经存在."),
                                       QStringLiteral("该分类已经存在.")}));
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), DefaultCategories());
    EXPECT_EQ(classDat(), before);
}

TEST_F(CategoryTest, AddAppendsToFileAndBothBoxesWithoutFiltering)
{
    form1->ComboBoxClass->setEditText(kForum);
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    const QString listed = form1->StatusPanel(0)->text();
    const QString statement = form1->ADOQuery1->SQL.Text();
    const bool open = form1->ADOQuery1->Active();

    form1->Edit_FenLei->setEditText(QStringLiteral("访客"));
    form1->Button_Edit_FenLei_add->click();

    const QStringList expected = DefaultCategories() + QStringList{QStringLiteral("访客")};
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("新分类添加成功.")});
    EXPECT_EQ(classDat(), fileOf(expected));
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), expected);
    EXPECT_EQ(ItemsOf(form1->ComboBoxClass), expected);
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QString());
    EXPECT_EQ(form1->ComboBoxClass->currentText(), kForum);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("张三"));
    // No filter ran: the list and its statement are as they were.
    EXPECT_EQ(form1->StatusPanel(0)->text(), listed);
    EXPECT_EQ(form1->ADOQuery1->SQL.Text(), statement);
    EXPECT_EQ(form1->ADOQuery1->Active(), open);
}

TEST_F(CategoryTest, RemoveDeletesThePickedEntryAndClearsTheForm)
{
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    pick(kForum);
    answerNextQuestions({true});
    form1->Button_Edit_FenLei_Del->click();

    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::WarningYesNo);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("您真的要删除该分类吗?"));
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), without(kForum));
    EXPECT_EQ(ItemsOf(form1->ComboBoxClass), without(kForum));
    EXPECT_EQ(classDat(), fileOf(without(kForum)));
    EXPECT_EQ(form1->Edit_XingMing->text(), QString());
    EXPECT_EQ(form1->Edit_FenLei->currentText(), QString());
}

TEST_F(CategoryTest, RemoveWithATypedTextRemovesNothingButGoesOn)
{
    // Picked once, then typed over with an entry's very name: no entry is selected.
    pick(kForum);
    form1->Edit_FenLei->lineEdit()->clear();
    QInputMethodEvent typed; // Chinese is typed through the input method
    typed.setCommitString(kForum);
    QCoreApplication::sendEvent(form1->Edit_FenLei->lineEdit(), &typed);
    ASSERT_EQ(form1->Edit_FenLei->currentText(), kForum);
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    answerNextQuestions({true});
    form1->Button_Edit_FenLei_Del->click();

    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("您真的要删除该分类吗?")});
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), DefaultCategories());
    EXPECT_EQ(classDat(), fileOf(DefaultCategories()));
    EXPECT_EQ(form1->Edit_XingMing->text(), QString());
}

TEST_F(CategoryTest, RemoveLeavesAnEntryTheBoxMatchedToATypedName)
{
    QComboBox* box = form1->Edit_FenLei;
    commitText(box, kForum);
    // Return, and the focus leaving for "-": the box selects the entry that
    // equals the typed text, but nobody picked it.
    QTest::keyClick(box, Qt::Key_Return);
    QFocusEvent leave(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(box, &leave);
    ASSERT_EQ(box->currentIndex(), box->findText(kForum));
    answerNextQuestions({true});
    form1->Button_Edit_FenLei_Del->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("您真的要删除该分类吗?")});
    EXPECT_EQ(ItemsOf(box), DefaultCategories());
    EXPECT_EQ(classDat(), fileOf(DefaultCategories()));

    // The same entry picked from the list goes.
    pump(20);
    pickFromList(box, kForum);
    ASSERT_EQ(box->currentText(), kForum);
    answerNextQuestions({true});
    form1->Button_Edit_FenLei_Del->click();
    EXPECT_EQ(ItemsOf(box), without(kForum));
    EXPECT_EQ(classDat(), fileOf(without(kForum)));
}

TEST_F(CategoryTest, AddRefusesANameThatGbkCannotHold)
{
    form1->ComboBoxClass->setEditText(kForum);
    const QByteArray before = classDat();
    const QString name = QStringLiteral("访客😀");
    form1->Edit_FenLei->setEditText(name);
    form1->Button_Edit_FenLei_add->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("分类名称中含有无法保存的字符,请修改后再添加.")});
    EXPECT_EQ(classDat(), before);
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), DefaultCategories());
    EXPECT_EQ(ItemsOf(form1->ComboBoxClass), DefaultCategories());
    EXPECT_EQ(form1->Edit_FenLei->currentText(), name); // kept for the user to change
}

TEST_F(CategoryTest, RemoveStopsOnAnEmptyTextOrAnswerNo)
{
    form1->Button_Edit_FenLei_Del->click();
    pick(kForum);
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    answerNextQuestions({false});
    form1->Button_Edit_FenLei_Del->click();

    EXPECT_EQ(boxTexts(),
              QStringList({QStringLiteral("请选择要删除的分类."), QStringLiteral("您真的要删除该分类吗?")}));
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei), DefaultCategories());
    EXPECT_EQ(form1->Edit_FenLei->currentText(), kForum);
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("张三"));
}

TEST_F(CategoryTest, UnwritableFileIsReportedAndKeepsItsContent)
{
    const QByteArray before = classDat();
    ReadOnlyFolder readOnly(dir.path());
    REQUIRE_READ_ONLY(readOnly);

    form1->Edit_FenLei->setEditText(QStringLiteral("访客"));
    form1->Button_Edit_FenLei_add->click();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(ItemsOf(form1->Edit_FenLei).constLast(), QStringLiteral("访客"));
    EXPECT_EQ(ItemsOf(form1->ComboBoxClass), DefaultCategories());

    boxes.clear();
    pick(kForum);
    form1->Edit_XingMing->setText(QStringLiteral("张三"));
    answerNextQuestions({true});
    form1->Button_Edit_FenLei_Del->click();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].kind, MessageBoxes::Kind::Error);
    EXPECT_FALSE(ItemsOf(form1->Edit_FenLei).contains(kForum));
    EXPECT_EQ(ItemsOf(form1->ComboBoxClass), DefaultCategories());
    EXPECT_EQ(form1->Edit_XingMing->text(), QStringLiteral("张三"));

    EXPECT_EQ(classDat(), before);
}

} // namespace

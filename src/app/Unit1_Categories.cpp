// The category list's "+" and "-" beside the record form's category box.
#include "app/ComboBoxItems.h"
#include "app/ComboBoxPicks.h"
#include "app/Unit1.h"
#include "base/GbkCodec.h"
#include "db/CategoryFile.h"
#include "shell/ExecutableFolder.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Removes the picked entry, if any; the box's text stays as it was.
void removePickedEntry(QComboBox* box)
{
    const auto* picks = box->findChild<TComboBoxPicks*>(QString(), Qt::FindDirectChildrenOnly);
    const int index = picks ? picks->PickedEntry() : -1;
    if (index < 0)
        return;
    const QString text = box->currentText();
    {
        const QSignalBlocker blocker(box);
        box->removeItem(index);
        box->setCurrentIndex(-1);
        box->setEditText(text);
    }
}

QString categoryFilePath() { return ExecutableFolder() + QStringLiteral("class.dat"); }

} // namespace

void TForm1::connectCategories()
{
    // Only an entry picked from the list is removed by "-".
    new TComboBoxPicks(Edit_FenLei);
    BindClick(Button_Edit_FenLei_add, [this] { Button_Edit_FenLei_addClick(); });
    BindClick(Button_Edit_FenLei_Del, [this] { Button_Edit_FenLei_DelClick(); });
}

void TForm1::Button_Edit_FenLei_addClick()
{
    const QString name = Edit_FenLei->currentText();
    if (name.isEmpty()) {
        MessageBoxes::ShowMessage(QStringLiteral("请填写分类."));
        return;
    }
    // The whole entry, letter case ignored, nothing trimmed.
    if (Edit_FenLei->findText(name, Qt::MatchFixedString) >= 0) {
        MessageBoxes::ShowMessage(QStringLiteral("该分类已经存在."));
        return;
    }
    // "class.dat" is GBK: a character it cannot hold would be written as "?".
    if (!IsGbkEncodable(name)) {
        MessageBoxes::ShowMessage(QStringLiteral("分类名称中含有无法保存的字符,请修改后再添加."));
        return;
    }
    Edit_FenLei->addItem(name);
    // A failed write leaves the new entry in the box and the filter box as it was.
    WriteCategoryFile(categoryFilePath(), ItemsOf(Edit_FenLei));
    ReplaceItems(ComboBoxClass, ReadCategoryFile(categoryFilePath()));
    MessageBoxes::ShowMessage(QStringLiteral("新分类添加成功."));
    Edit_FenLei->setEditText(QString());
}

void TForm1::Button_Edit_FenLei_DelClick()
{
    if (Edit_FenLei->currentText().isEmpty()) {
        MessageBoxes::ShowMessage(QStringLiteral("请选择要删除的分类."));
        return;
    }
    if (!MessageBoxes::AskWarningYesNo(QStringLiteral("您真的要删除该分类吗?")))
        return;
    // A typed text names no entry: nothing is removed, the rest runs all the same.
    removePickedEntry(Edit_FenLei);
    WriteCategoryFile(categoryFilePath(), ItemsOf(Edit_FenLei));
    ReplaceItems(ComboBoxClass, ReadCategoryFile(categoryFilePath()));
    PerformClick(Button_ClearAllEdit);
}

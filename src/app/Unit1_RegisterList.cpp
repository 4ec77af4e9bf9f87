// The record list: listing, search, category filter, navigation and the
// search box's clearing.
#include "app/ComboBoxPicks.h"
#include "app/DBGridLayout.h"
#include "app/Unit1.h"
#include "db/RegisterQuery.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <functional>

namespace {

// Empties the search box on a mouse press and on a double click; the event
// goes on to the box, which places the caret as usual.
class SearchBoxMouse : public QObject {
public:
    SearchBoxMouse(QObject* parent, std::function<void()> onClick, std::function<void()> onDblClick)
        : QObject(parent), onClick_(std::move(onClick)), onDblClick_(std::move(onDblClick))
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            RunGuarded(onClick_);
        else if (event->type() == QEvent::MouseButtonDblClick)
            RunGuarded(onDblClick_);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClick_;
    std::function<void()> onDblClick_;
};

} // namespace

void TForm1::connectRegisterList()
{
    SetUpRecordGrid(DBGrid1);
    KeepGridInStepWithQuery(DBGrid1, ADOQuery1);

    BindClick(Button_Refresh, [this] { Button_RefreshClick(); });
    BindClick(Button_Search, [this] { Button_SearchClick(); });
    BindClick(Button_First, [this] { Button_FirstClick(); });
    BindClick(Button_Prior, [this] { Button_PriorClick(); });
    BindClick(Button_Next, [this] { Button_NextClick(); });
    BindClick(Button_Last, [this] { Button_LastClick(); });

    // The filter runs once per edit or pick of the user: textEdited and the
    // picks are not reported when the program sets the text or the items,
    // and the box matching the typed text when the edit ends is no pick.
    // Without a completer the typed, partial text is what is filtered.
    ComboBoxClass->setCompleter(nullptr);
    connect(ComboBoxClass->lineEdit(), &QLineEdit::textEdited, this,
            [this] { RunGuarded([this] { ComboBoxClassChange(); }); });
    connect(new TComboBoxPicks(ComboBoxClass), &TComboBoxPicks::Picked, this,
            [this] { RunGuarded([this] { ComboBoxClassChange(); }); });

    // Enter in the search box searches, as a click on "搜索" does.
    connect(searchkeyword, &QLineEdit::returnPressed, this,
            [this] { RunGuarded([this] { PerformClick(Button_Search); }); });
    searchkeyword->installEventFilter(new SearchBoxMouse(
        searchkeyword, [this] { searchkeywordClick(); }, [this] { searchkeywordDblClick(); }));
}

QString TForm1::ListingCountText(int records)
{
    return QStringLiteral("共") + QString::number(records) + QStringLiteral("条信息");
}

void TForm1::applyGridLayout() { ApplyRecordGridColumns(DBGrid1); }

void TForm1::Button_RefreshClick()
{
    ADOQuery1->Close();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(SqlSelect{"Select ", kListedColumns, " from ", "data"});
    ADOQuery1->Open();
    applyGridLayout();
    StatusPanel(0)->setText(ListingCountText(ADOQuery1->RecordCount()));
    PerformClick(Button_ClearAllEdit);
}

void TForm1::Button_SearchClick()
{
    const QString keyword = searchkeyword->text();
    if (keyword.isEmpty()) {
        MessageBoxes::ShowMessage(QStringLiteral("请输入搜索关键词！"));
        return;
    }
    ADOQuery1->Close();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
                       + SqlColumn{ComboBoxSeachClass->currentText()} + " like '%" + SqlValue{keyword} + "%' ");
    ADOQuery1->Open();
    const int found = ADOQuery1->RecordCount();
    StatusPanel(0)->setText(QStringLiteral("关于") + keyword + QStringLiteral("的信息,共搜索到")
                            + QString::number(found) + QStringLiteral("条"));
    if (found == 0) {
        MessageBoxes::ShowMessage(QStringLiteral("对不起没有找到相关信息！"));
        ADOQuery1->Close();
        ADOQuery1->SQL.Clear();
        ADOQuery1->SQL.Add(SqlSelect{"Select ", kListedColumns, " from ", "data"});
        ADOQuery1->Open();
    }
    applyGridLayout();
    searchkeyword->clear();
}

void TForm1::ComboBoxClassChange()
{
    const QString category = ComboBoxClass->currentText();
    if (category.isEmpty())
        return;
    ADOQuery1->Close();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(SqlLine(SqlSelect{"Select  ", kListedColumns, "  from ", "data"})
                       + SqlWhere{" where 分类 like '%"} + SqlValue{category} + "%' ");
    ADOQuery1->Open();
    const int found = ADOQuery1->RecordCount();
    StatusPanel(0)->setText(category + QStringLiteral("分类下共有") + QString::number(found) + QStringLiteral("条"));
    if (found == 0) {
        MessageBoxes::ShowMessage(QStringLiteral("对不起该分类下还没有信息"));
        ADOQuery1->Close();
        ADOQuery1->SQL.Clear();
        ADOQuery1->SQL.Add(SqlSelect{"Select  ", kListedColumns, "  from ", "data"});
        ADOQuery1->Open();
    }
    applyGridLayout();
}

void TForm1::searchkeywordClick() { searchkeyword->clear(); }

void TForm1::searchkeywordDblClick() { searchkeyword->clear(); }

void TForm1::showCurrentRowNumber() { StatusPanel(1)->setText(QString::number(ADOQuery1->RecNo())); }

void TForm1::Button_FirstClick()
{
    ADOQuery1->First();
    showCurrentRowNumber();
}

void TForm1::Button_PriorClick()
{
    ADOQuery1->Prior();
    showCurrentRowNumber();
}

void TForm1::Button_NextClick()
{
    ADOQuery1->Next();
    showCurrentRowNumber();
}

void TForm1::Button_LastClick()
{
    ADOQuery1->Last();
    showCurrentRowNumber();
}

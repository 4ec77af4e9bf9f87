// Returning visitors: while the guard types an identity number (from its 6th
// character) or a mobile (from its 7th), earlier visitors with a number that
// begins so are offered under the edit; picking one fills the visitor's
// fields from their newest record.
#include "app/Unit1.h"
#include "app/VisitorSuggestionList.h"
#include "db/RegisterConnection.h"
#include "db/ReturningVisitors.h"
#include "shell/HandlerWiring.h"
#include "skin/SkinData.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QTreeWidget>

namespace {

constexpr int kIdentityNumberTypedBeforeLookup = 6;
constexpr int kMobileTypedBeforeLookup = 7;

void offer(TVisitorSuggestionList* list, TRegisterConnection* connection, VisitorKey key, const QString& typed,
           int fewestCharacters)
{
    if (typed.size() < fewestCharacters) {
        list->Close();
        return;
    }
    // The offer is a help only: a register that cannot be read now offers nothing.
    try {
        list->Show(FindReturningVisitors(connection->handle(), key, typed));
    } catch (const std::exception&) {
        list->Close();
    }
}

} // namespace

void TForm1::connectReturningVisitors()
{
    IDNumberSuggestions = new TVisitorSuggestionList(Edit_IDNumber);
    MobileNumberSuggestions = new TVisitorSuggestionList(Edit_ShouJi);
    for (TVisitorSuggestionList* list : {IDNumberSuggestions, MobileNumberSuggestions}) {
        list->OnPick = [this](const TReturningVisitor& visitor) {
            RunGuarded([&] { fillFromReturningVisitor(visitor); });
        };
        // Drawn like the skin's menus: a list of its own window that the
        // skin does not reach otherwise.
        if (SkinData1->Active()) {
            QPalette colours = list->List()->palette();
            colours.setColor(QPalette::Base, SkinData1->Colour(TSkinData::csMenu));
            colours.setColor(QPalette::Text, SkinData1->Colour(TSkinData::csMenuText));
            colours.setColor(QPalette::Highlight, SkinData1->Colour(TSkinData::csHilight));
            colours.setColor(QPalette::HighlightedText, SkinData1->Colour(TSkinData::csHilightText));
            list->List()->setPalette(colours);
        }
    }
    // textEdited comes from the guard's typing only, never from the program
    // setting the text (loading a row, clearing the form, a pick).
    connect(Edit_IDNumber, &QLineEdit::textEdited, this, [this] { RunGuarded([this] { Edit_IDNumberChange(); }); });
    connect(Edit_ShouJi, &QLineEdit::textEdited, this, [this] { RunGuarded([this] { Edit_ShouJiChange(); }); });
}

void TForm1::Edit_IDNumberChange()
{
    offer(IDNumberSuggestions, ADOConnection1, VisitorKey::IdentityNumber, Edit_IDNumber->text(),
          kIdentityNumberTypedBeforeLookup);
}

void TForm1::Edit_ShouJiChange()
{
    offer(MobileNumberSuggestions, ADOConnection1, VisitorKey::Mobile, Edit_ShouJi->text(), kMobileTypedBeforeLookup);
}

void TForm1::fillFromReturningVisitor(const TReturningVisitor& visitor)
{
    // 来由, the two times and the remarks belong to this visit and stay.
    Edit_XingMing->setText(visitor.name);
    Edit_IDNumber->setText(visitor.identityNumber);
    Edit_ShouJi->setText(visitor.mobile);
    Edit_DianHua->setText(visitor.telephone);
    Edit_DiZhi->setText(visitor.address);
    Edit_FenLei->setEditText(visitor.category);
    showFormFromStart();
}

// Returning visitors: while the guard types an identity number (from its 6th
// character) or a mobile (from its 7th), earlier visitors with a number that
// begins so are offered under the edit; picking one fills the visitor's
// fields from their newest record.
#include "app/ReturningVisitorOffers.h"
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

TReturningVisitorOffers::TReturningVisitorOffers(TForm1* form) : QObject(form), form_(form)
{
    IDNumberSuggestions = new TVisitorSuggestionList(form->Edit_IDNumber);
    MobileNumberSuggestions = new TVisitorSuggestionList(form->Edit_ShouJi);
    const TSkinData* skin = form->SkinData1;
    for (TVisitorSuggestionList* list : {IDNumberSuggestions, MobileNumberSuggestions}) {
        list->OnPick = [this](const TReturningVisitor& visitor) {
            RunGuarded([&] { fillFromReturningVisitor(visitor); });
        };
        // Drawn like the skin's menus: a list of its own window that the
        // skin does not reach otherwise.
        if (skin->Active()) {
            QPalette colours = list->List()->palette();
            colours.setColor(QPalette::Base, skin->Colour(TSkinData::csMenu));
            colours.setColor(QPalette::Text, skin->Colour(TSkinData::csMenuText));
            colours.setColor(QPalette::Highlight, skin->Colour(TSkinData::csHilight));
            colours.setColor(QPalette::HighlightedText, skin->Colour(TSkinData::csHilightText));
            list->List()->setPalette(colours);
        }
    }
    // textEdited comes from the guard's typing only, never from the program
    // setting the text (loading a row, clearing the form, a pick).
    connect(form->Edit_IDNumber, &QLineEdit::textEdited, this,
            [this] { RunGuarded([this] { Edit_IDNumberChange(); }); });
    connect(form->Edit_ShouJi, &QLineEdit::textEdited, this, [this] { RunGuarded([this] { Edit_ShouJiChange(); }); });
}

void TReturningVisitorOffers::Edit_IDNumberChange()
{
    offer(IDNumberSuggestions, form_->ADOConnection1, VisitorKey::IdentityNumber, form_->Edit_IDNumber->text(),
          kIdentityNumberTypedBeforeLookup);
}

void TReturningVisitorOffers::Edit_ShouJiChange()
{
    offer(MobileNumberSuggestions, form_->ADOConnection1, VisitorKey::Mobile, form_->Edit_ShouJi->text(),
          kMobileTypedBeforeLookup);
}

void TReturningVisitorOffers::fillFromReturningVisitor(const TReturningVisitor& visitor)
{
    // 来由, the two times and the remarks belong to this visit and stay.
    form_->Edit_XingMing->setText(visitor.name);
    form_->Edit_IDNumber->setText(visitor.identityNumber);
    form_->Edit_ShouJi->setText(visitor.mobile);
    form_->Edit_DianHua->setText(visitor.telephone);
    form_->Edit_DiZhi->setText(visitor.address);
    form_->Edit_FenLei->setEditText(visitor.category);
    form_->showFormFromStart();
}

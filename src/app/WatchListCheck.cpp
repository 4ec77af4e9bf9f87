#include "app/WatchListCheck.h"
#include "app/EditMarks.h"
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "db/RegisterConnection.h"
#include "shell/MessageBoxes.h"
#include "watchlist/WatchList.h"

#include <QLineEdit>

namespace {

QString hitTip(const TWatchEntry* entry) { return entry ? FeatureTexts::WatchListHit(entry->reason) : QString(); }

} // namespace

TWatchListCheck::TWatchListCheck(TForm1* form, TWatchList* list) : QObject(form), form_(form), list_(list)
{
    for (QLineEdit* edit : {form->Edit_XingMing, form->Edit_IDNumber, form->Edit_ShouJi})
        connect(edit, &QLineEdit::textChanged, this, [this] { CheckForm(); });
    connect(list, &TWatchList::Changed, this, [this] { CheckForm(); });
    connect(list, &TWatchList::Imported, this, [this] { CheckForm(); });
}

void TWatchListCheck::Reload()
{
    try {
        list_->Load(form_->ADOConnection1->handle());
    } catch (const std::exception&) {}
    CheckForm();
}

void TWatchListCheck::CheckForm()
{
    const TWatchMatcher& matcher = list_->Matcher();
    const QString identityNumber = form_->Edit_IDNumber->text();
    SetEditMark(form_->Edit_IDNumber, EditMark::WatchList, hitTip(matcher.ByIdentityNumber(identityNumber)));
    SetEditMark(form_->Edit_ShouJi, EditMark::WatchList, hitTip(matcher.ByMobile(form_->Edit_ShouJi->text())));
    const TWatchNameHit name = matcher.ByName(form_->Edit_XingMing->text(), identityNumber);
    SetEditMark(form_->Edit_XingMing, EditMark::WatchList,
                name.differentNumber ? FeatureTexts::WatchListSameName(name.entry->name) : hitTip(name.entry));
}

bool TWatchListCheck::MayWriteRecord()
{
    const TWatchMatcher& matcher = list_->Matcher();
    const TWatchEntry* hit = matcher.ByIdentityNumber(form_->Edit_IDNumber->text());
    if (!hit)
        hit = matcher.ByMobile(form_->Edit_ShouJi->text());
    if (!hit)
        return true;
    const TWatchEntry entry = *hit;
    if (!MessageBoxes::AskWarningYesNo(FeatureTexts::WatchListAskToRegister(entry.name, entry.reason))) {
        list_->ReportTurnedAway(entry);
        return false;
    }
    list_->ReportLetIn(entry);
    return true;
}

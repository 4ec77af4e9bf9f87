// The identity number's check: when the guard leaves 身份证 and on "添加" and
// "修改", a number that fails is drawn in red with the fault as its tool tip.
// It never stops a record from being written.
#include "app/EditMarks.h"
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "visitors/IdentityNumber.h"

#include <QDate>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <functional>

namespace {

class LeaveWatcher : public QObject {
public:
    LeaveWatcher(QObject* parent, std::function<void()> onLeave) : QObject(parent), onLeave_(std::move(onLeave)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The edit's own menu opening is no leaving; nor is the focus going
        // while the window takes itself down.
        const auto* edit = qobject_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason
            && edit && qobject_cast<TForm1*>(edit->window()))
            onLeave_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onLeave_;
};

// All digits, one short of or one over an identity number's 18 or a 15
// digit one's 16 digits: the commonest typing slip, never another paper.
bool wrongLength(const QString& value)
{
    const qsizetype n = value.size();
    if (n != 16 && n != 17 && n != 19)
        return false;
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void showFaults(QLineEdit* edit, const IdentityNumberCheck& check, bool lengthWrong = false)
{
    QStringList faults;
    if (lengthWrong)
        faults << FeatureTexts::WrongLength();
    if (check.judged && !check.checkCharacterOk)
        faults << FeatureTexts::WrongCheckCharacter();
    if (check.judged && !check.birthDateOk)
        faults << FeatureTexts::WrongBirthDate();
    SetEditMark(edit, EditMark::Fault, faults.join(QLatin1Char('\n')));
}

} // namespace

void TForm1::connectIdentityCheck()
{
    Edit_IDNumber->installEventFilter(new LeaveWatcher(Edit_IDNumber, [this] { Edit_IDNumberExit(); }));
    // After the handlers of the buttons: a number kept in the form is judged.
    connect(Button1, &QPushButton::clicked, this, [this] { Edit_IDNumberExit(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Edit_IDNumberExit(); });
    // A changed number is judged again when the guard leaves it.
    connect(Edit_IDNumber, &QLineEdit::textChanged, this, [this] { showFaults(Edit_IDNumber, IdentityNumberCheck{}); });
}

void TForm1::Edit_IDNumberExit()
{
    const QString value = Edit_IDNumber->text();
    showFaults(Edit_IDNumber, CheckIdentityNumber(value, QDate::currentDate()), wrongLength(value));
}

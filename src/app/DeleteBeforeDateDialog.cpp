#include "app/DeleteBeforeDateDialog.h"
#include "app/DateEdits.h"
#include "app/FeatureTexts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// A whole date typed as a guard writes it ("2019/6/1"): a digit typed over
// the whole selected date starts again in the first section, and the
// separator typed after a section the edit has already left by itself moves
// nowhere. Otherwise the edit fits the digits into the old date and keeps
// its year.
class WholeDateTyping : public QObject {
public:
    explicit WholeDateTyping(QDateEdit* edit) : QObject(edit), edit_(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        const bool leftBySection = leftBySection_;
        leftBySection_ = false;
        if (typed.size() != 1)
            return false;
        if (!typed.at(0).isDigit())
            return leftBySection && !typed.at(0).isLetter(); // the separator
        const QLineEdit* line = edit_->findChild<QLineEdit*>();
        if (line && line->hasSelectedText() && line->selectedText() == line->text())
            edit_->setSelectedSection(edit_->sectionAt(0));
        const QDateTimeEdit::Section before = edit_->currentSection();
        static_cast<QObject*>(edit_)->event(event);
        leftBySection_ = edit_->currentSection() != before;
        return true;
    }

private:
    QDateEdit* edit_;
    bool leftBySection_ = false;
};

} // namespace

TDeleteBeforeDateDialog::TDeleteBeforeDateDialog(QWidget* parent, const QDate& proposed) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeleteBeforeDateDialog"));
    setWindowTitle(FeatureTexts::DeleteOldRecordsTitle());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(FeatureTexts::DeleteOldRecordsPrompt(), this));
    DateEdit_Before = NewDateEdit(proposed, this, "DateEdit_Before");
    DateEdit_Before->setMaximumDate(QDate::currentDate());
    DateEdit_Before->installEventFilter(new WholeDateTyping(DateEdit_Before));
    layout->addWidget(DateEdit_Before);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough for its whole caption beside the icon and the caption buttons.
    constexpr int kCaptionButtonsAndIcon = 120;
    setMinimumWidth(
        std::max(sizeHint().width(), fontMetrics().horizontalAdvance(windowTitle()) + kCaptionButtonsAndIcon));
}

QDate TDeleteBeforeDateDialog::day() const { return DateEdit_Before->date(); }

QDate TDeleteBeforeDateDialog::Ask(QWidget* parent, const QDate& proposed)
{
    TDeleteBeforeDateDialog dialog(parent, proposed);
    return dialog.exec() == QDialog::Accepted ? dialog.day() : QDate();
}

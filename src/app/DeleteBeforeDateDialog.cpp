#include "app/DeleteBeforeDateDialog.h"
#include "app/FeatureTexts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

TDeleteBeforeDateDialog::TDeleteBeforeDateDialog(QWidget* parent, const QDate& proposed) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeleteBeforeDateDialog"));
    setWindowTitle(FeatureTexts::DeleteOldRecordsTitle());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(FeatureTexts::DeleteOldRecordsPrompt(), this));
    DateEdit_Before = new QDateEdit(proposed, this);
    DateEdit_Before->setObjectName(QStringLiteral("DateEdit_Before"));
    DateEdit_Before->setCalendarPopup(true);
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    DateEdit_Before->setDisplayFormat(format);
    DateEdit_Before->setMaximumDate(QDate::currentDate());
    layout->addWidget(DateEdit_Before);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QDate TDeleteBeforeDateDialog::day() const { return DateEdit_Before->date(); }

QDate TDeleteBeforeDateDialog::Ask(QWidget* parent, const QDate& proposed)
{
    TDeleteBeforeDateDialog dialog(parent, proposed);
    return dialog.exec() == QDialog::Accepted ? dialog.day() : QDate();
}

#include "app/DateRangeDialog.h"
#include "app/DateEdits.h"
#include "app/FeatureTexts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {} // namespace

QWidget* TDateRangeDialog::RangeRow(QWidget* parent, QDateEdit*& from, QDateEdit*& to, const QDate& today,
                                    const std::function<void()>& picked, QList<QPushButton*>* picks)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    from = NewDateEdit(QDate::currentDate(), row, "DateEdit_From");
    to = NewDateEdit(QDate::currentDate(), row, "DateEdit_To");
    const struct {
        const char* name;
        QString caption;
        DatePreset preset;
    } presets[] = {
        {"Button_Today", FeatureTexts::Today(), DatePreset::Today},
        {"Button_Yesterday", FeatureTexts::Yesterday(), DatePreset::Yesterday},
        {"Button_ThisWeek", FeatureTexts::ThisWeek(), DatePreset::ThisWeek},
        {"Button_ThisMonth", FeatureTexts::ThisMonth(), DatePreset::ThisMonth},
    };
    for (const auto& preset : presets) {
        auto* button = new QPushButton(preset.caption, row);
        button->setObjectName(QString::fromLatin1(preset.name));
        button->setAutoDefault(false);
        layout->addWidget(button);
        if (picks)
            picks->append(button);
        QDateEdit* fromEdit = from;
        QDateEdit* toEdit = to;
        QObject::connect(button, &QPushButton::clicked, row, [=, p = preset.preset] {
            const TDateRange range = PresetRange(p, today);
            fromEdit->setDate(range.from);
            toEdit->setDate(range.to);
            if (picked)
                picked();
        });
    }
    layout->addSpacing(12);
    layout->addWidget(new QLabel(FeatureTexts::FromDay(), row));
    layout->addWidget(from);
    layout->addWidget(new QLabel(FeatureTexts::ToDay(), row));
    layout->addWidget(to);
    return row;
}

TDateRangeDialog::TDateRangeDialog(QWidget* parent, const TDateRange& proposed, const QDate& today) : QDialog(parent)
{
    setObjectName(QStringLiteral("DateRangeDialog"));
    setWindowTitle(FeatureTexts::DateRangeTitle());
    auto* layout = new QVBoxLayout(this);
    QList<QPushButton*> picks;
    layout->addWidget(RangeRow(
        this, DateEdit_From, DateEdit_To, today, [this] { accept(); }, &picks));
    Button_Today = picks.value(0);
    Button_Yesterday = picks.value(1);
    Button_ThisWeek = picks.value(2);
    Button_ThisMonth = picks.value(3);
    DateEdit_From->setDate(proposed.from);
    DateEdit_To->setDate(proposed.to);
    Button_Today->setFocus(); // Ctrl+D, then Space: today's visits
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TDateRange TDateRangeDialog::range() const { return Ordered({DateEdit_From->date(), DateEdit_To->date()}); }

std::optional<TDateRange> TDateRangeDialog::Ask(QWidget* parent, const TDateRange& proposed)
{
    TDateRangeDialog dialog(parent, proposed, QDate::currentDate());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.range();
}

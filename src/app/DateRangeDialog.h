#pragma once
#include "reports/DateRange.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

class QDateEdit;
class QPushButton;

// Asks for a range of days: a quick pick (今天, 昨天, 本周, 本月) takes its
// range at once; otherwise the from and to dates with OK.
class TDateRangeDialog : public QDialog {
    Q_OBJECT
public:
    TDateRangeDialog(QWidget* parent, const TDateRange& proposed, const QDate& today);

    TDateRange range() const;
    QPushButton* Button_Today;
    QPushButton* Button_Yesterday;
    QPushButton* Button_ThisWeek;
    QPushButton* Button_ThisMonth;
    QDateEdit* DateEdit_From;
    QDateEdit* DateEdit_To;

    // The range asked for, or none when the dialog was cancelled.
    static std::optional<TDateRange> Ask(QWidget* parent, const TDateRange& proposed);

    // The two date edits and the quick picks, laid out in a row, for any
    // window that asks for a range; `picked` runs after a quick pick.
    static QWidget* RangeRow(QWidget* parent, QDateEdit*& from, QDateEdit*& to, const QDate& today,
                             const std::function<void()>& picked, QList<QPushButton*>* picks = nullptr);
};

#pragma once
#include <QDate>
#include <QDialog>

class QDateEdit;

// Asks from which day on records are kept: records dated before it go.
class TDeleteBeforeDateDialog : public QDialog {
    Q_OBJECT
public:
    TDeleteBeforeDateDialog(QWidget* parent, const QDate& proposed);

    QDate day() const;
    QDateEdit* DateEdit_Before;

    // The day asked for, or an invalid date when the dialog was cancelled.
    static QDate Ask(QWidget* parent, const QDate& proposed);
};

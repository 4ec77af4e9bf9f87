#pragma once
#include <QDate>

class QDateEdit;
class QWidget;

// A date edit as the program's dialogs show one: a calendar to pick from and
// the locale's short date with the whole year.
QDateEdit* NewDateEdit(const QDate& date, QWidget* parent, const char* name);

#pragma once
#include <QObject>

class TForm1;
class TWatchList;

// The record form checked against the watch list: while the guard types, a
// name, identity number or mobile found on the list turns its edit to the
// warning colour with the entry's reason as tool tip; "添加" and "修改" with
// a number on the list ask first. The main window owns it.
class TWatchListCheck : public QObject {
public:
    TWatchListCheck(TForm1* form, TWatchList* list);

    // Reads the list from the register anew and checks the form again; a
    // register that cannot be read now leaves the list as it was.
    void Reload();
    // Marks the three edits as the form and the list stand now.
    void CheckForm();
    // Asked before a record is written: true when no number of the form is
    // on the list, or the guard lets the visitor in all the same.
    bool MayWriteRecord();

private:
    TForm1* form_;
    TWatchList* list_;
};

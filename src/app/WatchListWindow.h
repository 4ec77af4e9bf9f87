#pragma once
#include "watchlist/WatchListImport.h"

#include <QDialog>

class QPushButton;
class QTableWidget;
class TRegisterConnection;
class TWatchList;

// The "黑名单" window: the entries of the watch list with the time each was
// added; add, change, remove and import from a file.
class TWatchListWindow : public QDialog {
    Q_OBJECT
public:
    TWatchListWindow(QWidget* parent, TWatchList* list, TRegisterConnection* connection);

    QTableWidget* Grid_WatchList;
    QPushButton* Button_Add;
    QPushButton* Button_Change;
    QPushButton* Button_Remove;
    QPushButton* Button_Import;
    QPushButton* Button_ShowSkipped;
    QPushButton* Button_Close;

    // The button handlers; those that ask for values open a dialog.
    void Button_AddClick();
    void Button_ChangeClick();
    void Button_RemoveClick();
    void Button_ImportClick();
    void Button_ShowSkippedClick();

    // What the handlers do once they have their values.
    void AddEntry(const QString& name, const QString& identityNumber, const QString& mobile, const QString& reason);
    void ChangeSelected(const QString& name, const QString& identityNumber, const QString& mobile,
                        const QString& reason);
    void ImportFile(const QString& fileName);

private:
    void showEntries();
    // The entry of the selected row, or -1 (with a message) without one.
    qsizetype selectedEntry() const;

    TWatchList* list_;
    TRegisterConnection* connection_;
    QList<TWatchSkippedLine> skipped_;
};

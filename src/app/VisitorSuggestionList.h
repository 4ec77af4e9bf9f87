#pragma once
#include "db/ReturningVisitors.h"

#include <QObject>
#include <functional>
#include <vector>

class QLineEdit;
class QTreeWidget;

// A list of earlier visitors shown under an edit of the record form, one line
// each: name, identity number, mobile, date of the last visit. It never takes
// the focus: the edit keeps it and goes on receiving what is typed; only
// Up, Down, Enter and Escape are taken from the edit while the list is shown.
// Enter or a click picks the highlighted line; Escape, leaving the edit or
// moving the window closes the list.
class TVisitorSuggestionList : public QObject {
    Q_OBJECT
public:
    explicit TVisitorSuggestionList(QLineEdit* edit);

    // Shows the visitors (the first highlighted), or closes the list when
    // there are none.
    void Show(std::vector<TReturningVisitor> visitors);
    void Close();
    bool IsShown() const;

    // The visitors shown and the highlighted line (-1 for none).
    int CurrentLine() const;
    QTreeWidget* List() const { return list_; }

    // Called with the picked visitor, after the list has closed.
    std::function<void(const TReturningVisitor&)> OnPick;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pick(int line);
    void moveHighlight(int step);
    void placeUnderEdit();

    QLineEdit* edit_;
    QTreeWidget* list_;
    std::vector<TReturningVisitor> visitors_;
};

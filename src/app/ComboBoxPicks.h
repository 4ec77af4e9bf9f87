#pragma once
#include <QObject>
#include <QString>

class QComboBox;

// Tells the entries the user picks from an editable combo box's list (the
// drop-down, or the arrow keys and the wheel over the closed box) from the
// box's own matching of typed text: when an edit is finished (Return, or the
// focus leaving the box), a text equal to an entry selects that entry, and
// that is no pick. Text set by the program selects nothing either.
class TComboBoxPicks : public QObject {
    Q_OBJECT
public:
    explicit TComboBoxPicks(QComboBox* box);

    // The entry picked last, or -1 once the text changed in any other way.
    int PickedEntry() const;

signals:
    // A pick by the user; not emitted for selections made by the program.
    void Picked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void beginFinishingEdit();
    void select(int index, bool byUser);

    QComboBox* box_;
    int picked_ = -1;
    bool finishingEdit_ = false;
};

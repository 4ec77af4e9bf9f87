#pragma once
#include <QColor>
#include <QString>

class QLineEdit;

// Two marks an edit of the record form may carry at once, each with its
// tool tip: a fault of the value (red text) and a watch-list hit (a warning
// background). Setting one keeps the other.
enum class EditMark { Fault, WatchList };

// The background of an edit whose value is on the watch list.
inline QColor WatchListWarningColour() { return {255, 204, 102}; }

// Sets the mark with its tool tip; an empty tip takes the mark away.
void SetEditMark(QLineEdit* edit, EditMark mark, const QString& tip);

#pragma once
#include <QStringList>

class QComboBox;

// Replaces a combo box's items and keeps its text as it was.
void ReplaceItems(QComboBox* box, const QStringList& items);
// The items of a combo box, in order.
QStringList ItemsOf(const QComboBox* box);
// Makes the rows of the drop-down list tall enough for whole CJK glyphs of
// the box's font.
void FitRowsToFont(QComboBox* box);

#pragma once
#include <QChar>

class QLineEdit;

// Makes a password edit show `character` for every typed character, at
// once, instead of the style's own mask (a large dot in most styles).
void SetPasswordCharacter(QLineEdit* edit, QChar character);

#pragma once
// Colour helpers of the skin: the INI colour text, blending and brightness.

#include <QColor>
#include <QString>

// Reads "R G B" style text: runs of digits fill red, green, blue in turn; a
// run at the very end counts only as blue after exactly two runs. Empty
// text gives defaultColour.
QColor ColourOf(const QString& text, const QColor& defaultColour);

// Mixes a and b; weight 255 gives a, 0 gives b (clamped to 0 ... 255).
QColor Blend(const QColor& a, const QColor& b, int weight);

// Perceived brightness, 0 ... 255.
int Brightness(const QColor& c);

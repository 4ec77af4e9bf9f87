#pragma once
// What the skin falls back on when its INI does not say: the platform's
// colours for the colour-table slots, and the program's own images for the
// track bar channel and the menu glyphs.

#include <QColor>
#include <QImage>

// The colour a colour-table slot takes when the skin gives none.
QColor SystemColour(int slot);

// Track-bar channel images (horizontal and vertical), margins 3 each.
QImage BuiltinTrackImage(bool vertical);

// Four 16x16 glyphs side by side: restore, maximize, minimize, close;
// white is the transparent colour.
QImage BuiltinMenuGlyphs();

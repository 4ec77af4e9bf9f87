#pragma once
// Owner-drawn popup menus: a skinned form's own popup menus (and the frame's
// system menu) have their items drawn with the skin's MenuItem element.

#include <QSize>

class QImage;
class QMenu;
class QPainter;
class QStyleOptionMenuItem;
class QWidget;
class TSkinData;

// The property that marks a menu as owner-drawn.
inline constexpr const char* kOwnerDrawnProperty = "skinOwnerDrawn";

// Marks (on) or unmarks every popup menu owned by form whose Tag differs
// from the skin's DisableTag; only when SkinControls holds xcPopupMenu.
void SetFormMenusOwnerDrawn(QWidget* form, TSkinData* data, bool on);
void SetMenuOwnerDrawn(QMenu* menu, bool on);
bool IsMenuOwnerDrawn(const QMenu* menu);

// Frames of the MenuItem element.
inline constexpr int kMenuItemFrames = 5;
inline constexpr int kMenuItemNormalFrame = 1;
inline constexpr int kMenuItemSeparatorFrame = 2;
inline constexpr int kMenuItemSelectedFrame = 4;

// Height of a separator item, and the gap between the shortcut text and the
// item's right edge.
inline constexpr int kMenuSeparatorHeight = 8;
inline constexpr int kMenuShortcutGap = 10;
// Side of the glyph box when the menu has no images.
inline constexpr int kMenuGlyphSize = 16;

// Size of an owner-drawn item: plainSize is what the style measured; the
// width grows by the MenuItem element's LeftWidth and 10 (25 more when the
// menu has no images; system-menu items LeftWidth + 12 and 23 more).
QSize MeasureSkinMenuItem(const QStyleOptionMenuItem& item, const QSize& plainSize, const TSkinData* data,
                          bool systemMenu = false);

// True when the skin can draw items (it has a MenuItem bitmap).
bool CanDrawSkinMenuItem(const TSkinData* data);

// Draws one item into item.rect. background is the popup's background image
// (menu coordinates); null means the Menu colour fills the item.
void DrawSkinMenuItem(QPainter& painter, const QStyleOptionMenuItem& item, const TSkinData* data,
                      const QImage& background);

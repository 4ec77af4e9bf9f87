#pragma once
// Owner-drawn popup menus: a skinned form's own popup menus (and the frame's
// system menu) have their items drawn with the skin's MenuItem element.

class QMenu;
class QWidget;
class TSkinData;

// The property that marks a menu as owner-drawn.
inline constexpr const char* kOwnerDrawnProperty = "skinOwnerDrawn";

// Marks (on) or unmarks every popup menu owned by form whose Tag differs
// from the skin's DisableTag; only when SkinControls holds xcPopupMenu.
void SetFormMenusOwnerDrawn(QWidget* form, TSkinData* data, bool on);
void SetMenuOwnerDrawn(QMenu* menu, bool on);
bool IsMenuOwnerDrawn(const QMenu* menu);

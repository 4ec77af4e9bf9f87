#pragma once
// TSkinEdit: the border of line edits. After the edit has painted itself the
// border is drawn over its frame: an outer ring in the ButtonShadow colour
// and two white rings inside it. An edit without a frame is left alone.

#include "skin/engine/SkinControl.h"

class TSkinEdit : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    void Draw(QPainter& painter, const QRect& rect) override;
    // Whether the control has a border to draw over.
    bool HasFrame() const;
};

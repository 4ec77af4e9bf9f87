#pragma once
// TSkinGroupBox: group boxes painted whole by the skinner: the face colour,
// a rounded frame in the ButtonShadow colour and the caption on the face
// colour at x = 8. A checkable box keeps its own painting (its check box is
// part of it).

#include "skin/engine/SkinControl.h"

class TSkinGroupBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(QEvent* event) override;
    void Draw(QPainter& painter, const QRect& rect) override;
    // The caption's rectangle for rect (empty without a caption).
    QRect CaptionRect(const QRect& rect) const;
};

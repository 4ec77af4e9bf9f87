#pragma once
// TSkinButton: push buttons drawn with the Buttons element (frames 1 normal,
// 2 pressed, 3 disabled, 4 hot, 5 focused or default). The skinner keeps its
// own hot and pressed state: a left press is not passed on to the button, the
// release over a pressed button clicks it.

#include "skin/engine/SkinControl.h"

#include <QImage>

class TSkinButton : public TSkinControl {
    Q_OBJECT
public:
    enum StateBit { sbHot = 1, sbPressed = 2 };

    using TSkinControl::TSkinControl;
    void Attach(TSkinForm* form, TSkinData* data, bool ownColour) override;
    void Detach() override;
    bool BeforeMessage(QEvent* event) override;
    void AfterMessage(QEvent* event) override;
    void Draw(QPainter& painter, const QRect& rect) override;

    bool IsHot() const { return (state_ & sbHot) != 0; }
    bool IsPressed() const { return (state_ & sbPressed) != 0; }
    bool ParentBackground() const { return parentBackground_; }
    // The frame Draw picks for the button's current state.
    int CurrentFrame() const;

private:
    void SetState(int bits, bool on);
    void PaintBackground(QImage& image) const;

    QImage work_;
    int state_ = 0;
    bool parentBackground_ = false;
    bool savedMouseTracking_ = false;
};

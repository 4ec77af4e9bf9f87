#pragma once
// TSkinStatusBar: status bars drawn with StatusBarEdges. The bar's panels are
// its plain-text labels: while attached the bar draws each panel's edge
// (frame 1 sunken, 2 raised, 3 none) and the labels draw only their text;
// the size grip is drawn from ExtraImages. A bar without panels, or showing a
// message, is drawn as one sunken panel with the message.

#include "skin/engine/SkinControl.h"

#include <QList>
#include <QPointer>

class QLabel;

class TSkinStatusBar : public TSkinControl {
    Q_OBJECT
public:
    struct Panel {
        QRect Rect; // the label's rectangle, widened to the next one
        int Frame;  // StatusBarEdges frame
        QLabel* Label;
    };

    using TSkinControl::TSkinControl;
    void Attach(TSkinForm* form, TSkinData* data, bool ownColour) override;
    void Detach() override;
    bool BeforeMessage(QEvent* event) override;
    void AfterMessage(QEvent* event) override;
    void Draw(QPainter& painter, const QRect& rect) override;
    // Panels left to right; empty for a simple bar.
    QList<Panel> Panels() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HookChildren();
    bool IsHooked(const QObject* child) const;
    void PaintLabel(QLabel* label) const;
    QFont BarFont() const;
    QColor TextColour() const;

    QList<QPointer<QWidget>> hooked_;
};

#pragma once
// TSkinTab: the tabs and the pane of tab widgets drawn with the Tabs element
// (and Tab.Pane). A tab widget paints its band and pane here, its tab bar
// child is painted through a second event filter; a lone tab bar paints
// only its tabs.

#include "skin/engine/SkinControl.h"

#include <QImage>
#include <QPointer>
#include <QTabBar>

class QTabWidget;
class TDataSkinObject;

class TSkinTab : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinTab() override;

    void Attach(TSkinForm* form, TSkinData* data, bool ownColour) override;
    void Detach() override;
    bool BeforeMessage(QEvent* event) override;

    // The pane's rectangle in the tab widget's coordinates (empty for a
    // lone tab bar).
    QRect PaneRect() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabWidget* TabWidget() const;
    QTabBar* Bar() const;
    QTabBar::Shape Shape() const;
    void PaintWidget();
    void PaintBar(QTabBar* bar);
    // Draws an element laid out for top tabs, turned to the tab side.
    void DrawTurned(QPainter& p, const QRect& rect, const TDataSkinObject& element, int frames, int frame, int left,
                    int top, int right, int bottom) const;

    QPointer<QTabBar> bar_;
    const QObject* barObject_ = nullptr; // compared without a cast
    bool barFiltered_ = false;
};

#pragma once
// TSkinScrollbar: the scroll bars of memos, grids and lists drawn with the
// Scrollbar, HorzScroll, VertScroll and thumb elements. Each scroll bar of
// the area is painted through an event filter; its behaviour stays its own.

#include "skin/engine/SkinControl.h"

#include <QList>
#include <QPointer>
#include <QStyle>

class QScrollBar;
class TDataSkinObject;
class QStyleOptionSlider;

class TSkinScrollbar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinScrollbar() override;

    void Attach(TSkinForm* form, TSkinData* data, bool ownColour) override;
    void Detach() override;
    bool BeforeMessage(QEvent* event) override;
    void Draw(QPainter& painter, const QRect& rect) override;

    // The style option a scroll bar would build for itself.
    static void FillOption(const QScrollBar& bar, QStyleOptionSlider& opt);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Bar {
        QPointer<QScrollBar> bar;
        const QObject* object = nullptr; // compared without a cast
        bool hadHover = false;
        QStyle::SubControl hot = QStyle::SC_None;
        QStyle::SubControl pressed = QStyle::SC_None;
        bool hadOwnStyle = false;
        QPointer<QStyle> ownStyle;
    };
    void AddBar(QScrollBar* bar);
    void ReleaseBars();
    Bar* Find(QObject* watched);
    void PaintBar(Bar& b);
    // The thumb with its middle stretched and its centre (the grip) kept at
    // the size the skin draws it.
    void PaintThumb(QPainter& p, const QRect& r, const TDataSkinObject& thumb, int frame, bool horizontal);
    // The width of the skin's arrow cells, which the bars take as their
    // thickness; 0 when the skin has none.
    int ArrowCellSize() const;
    void RelayOutArea();
    // Follows the hot and the pressed part of a bar.
    void Track(Bar& b, QEvent* event);

    QList<Bar> bars_;
    QStyle* barStyle_ = nullptr; // owned; gives the bars the arrow cells' thickness
};

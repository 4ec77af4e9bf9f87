#pragma once
// TSkinComBox: combo boxes drawn with SunkEdge, ComboButton and ExtraImages
// (the prepared combo strip when ComboButton's Style is 2). The combo's own
// painting is replaced; an editable combo keeps its line edit, which is
// kept clear of the button. The drop-down list gets a scroll-bar skinner.

#include "skin/engine/SkinControl.h"

#include <QPointer>

class QComboBox;
class QLineEdit;
class TSkinScrollbar;

class TSkinComBox : public TSkinControl {
    Q_OBJECT
public:
    // Width of the button area: the scroll-arrow width and 2.
    static constexpr int kButtonWidth = 17 + 2;

    using TSkinControl::TSkinControl;
    ~TSkinComBox() override;

    void Attach(TSkinForm* form, TSkinData* data, bool ownColour) override;
    void Detach() override;
    bool BeforeMessage(QEvent* event) override;
    void AfterMessage(QEvent* event) override;
    void Draw(QPainter& painter, const QRect& rect) override;

    // The button area (width kButtonWidth, ending 2 pixels inside the edge;
    // at the left for right-to-left) and the edit area beside it.
    QRect ButtonRect() const;
    QRect EditRect() const;
    // The ComboButton frame the combo is drawn with now.
    int CurrentFrame() const;
    bool Hot() const { return hot_; }
    bool Pressed() const;
    TSkinScrollbar* ListSkinner() const { return listSkinner_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* Combo() const;
    void FitLineEdit();
    void ScheduleFit();
    void DrawText(QPainter& p, const QRect& area) const;

    QPointer<QLineEdit> edit_;
    const QObject* editObject_ = nullptr; // compared without a cast
    QPointer<QWidget> popup_;
    QPointer<TSkinScrollbar> listSkinner_;
    bool hadHover_ = false;
    bool hot_ = false;
    bool mouseDown_ = false;
    bool fitPending_ = false;
};

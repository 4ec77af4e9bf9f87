#pragma once
// TSkinControl: the base of every control skinner. It sits in front of the
// control's own event handling through an event filter: BeforeMessage decides
// whether the control sees an event, AfterMessage follows it. Paint events
// run the control's own painting first, so AfterMessage draws over it; for
// other events AfterMessage runs as the event is let through (the repaints it
// asks for are deferred, so they see the control's new state).

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QEvent;
class QPainter;
class QWidget;
class TSkinData;
class TSkinForm;

class TSkinControl : public QObject {
    Q_OBJECT
public:
    enum class ControlState { New = 0, Attached = 1, Destroyed = 6 };

    // Create: active, nothing attached. The control owns the skinner until
    // a form frame takes it; it follows the control's destruction.
    explicit TSkinControl(QWidget* control);
    ~TSkinControl() override;

    // Remembers the frame and the skin, puts the event filter in front of
    // the control, registers with the frame; with own colour the control
    // gets the face colour (its own palette is restored by Detach).
    virtual void Attach(TSkinForm* form, TSkinData* data, bool ownColour);
    // Gives the control back its own colour and look.
    virtual void Detach();
    // false stops the event before the control sees it.
    virtual bool BeforeMessage(QEvent* event);
    virtual void AfterMessage(QEvent* event);
    // Records the control's rectangle (at 0, 0) and calls Draw with painter,
    // or with a painter on the control; failures while drawing are swallowed.
    // Only inside the control's paint event when painter is null.
    void PaintFrame(QPainter* painter = nullptr);
    virtual void Draw(QPainter& painter, const QRect& rect);
    // Own-colour skinners set the control's colour to the face colour again;
    // then the control repaints.
    virtual void RefreshColours();
    virtual bool Query() const { return true; }

    void Repaint();

    QWidget* Control() const { return control_; }
    TSkinData* SkinData() const { return skinData_; }
    bool IsActive() const { return active_; }
    bool IsAttached() const { return attached_; }
    ControlState State() const { return state_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Attach without the event filter (TSkinBox): bookkeeping, own colour,
    // registration.
    void AttachWithoutFilter(TSkinForm* form, TSkinData* data, bool ownColour);
    void SetFaceColour();
    void RestoreColour();

    QPointer<QWidget> control_;
    TSkinForm* form_ = nullptr;
    TSkinData* skinData_ = nullptr;

private:
    void ControlDestroyed();
    void Unregister();

    bool active_ = true;
    bool attached_ = false;
    bool filtering_ = false;
    bool ownColour_ = false;
    ControlState state_ = ControlState::New;
    QRect windowRect_;
    // The control's look before attaching, put back by Detach.
    QPalette savedPalette_;
    bool hadOwnPalette_ = false;
    bool savedAutoFill_ = false;
    bool colourSaved_ = false;
    bool parentBackgroundChanged_ = false;
};

#include "app/PassScanner.h"
#include "app/PassText.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

TPassScanner::TPassScanner(QWidget* window, QObject* parent) : QObject(parent), window_(window)
{
    late_.setSingleShot(true);
    late_.setInterval(kKeyGap);
    connect(&late_, &QTimer::timeout, this, &TPassScanner::release);
    // Keys reach the window's native window before any of its widgets, and
    // only once there, whichever widget has the focus.
    QCoreApplication::instance()->installEventFilter(this);
}

TPassScanner::~TPassScanner() { QCoreApplication::instance()->removeEventFilter(this); }

bool TPassScanner::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || releasing_ || !watched->isWindowType()
        || watched != window_->windowHandle())
        return false;
    return keyPressed(static_cast<QWindow*>(watched), *static_cast<QKeyEvent*>(event));
}

bool TPassScanner::keyPressed(QWindow* target, const QKeyEvent& key)
{
    // Shift goes down before every capital and ':' a scanner types; a
    // modifier alone goes on to the window and breaks nothing.
    switch (key.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock: return false;
    default: break;
    }
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier && !held_.isEmpty()) {
        if (const auto number = PassText::RecordNumber(typed_)) {
            const QString passText = typed_;
            late_.stop();
            held_.clear();
            typed_.clear();
            emit PassScanned(*number, passText);
            return true;
        }
    }
    // Not a pass: what was held goes first, then this key, which may begin
    // a pass itself.
    if (!held_.isEmpty() && !mayContinue(key))
        release();
    if (!mayContinue(key))
        return false;
    typed_ += key.text();
    target_ = target;
    held_.append(std::make_shared<QKeyEvent>(key.type(), key.key(), key.modifiers(), key.nativeScanCode(),
                                             key.nativeVirtualKey(), key.nativeModifiers(), key.text(),
                                             key.isAutoRepeat(), key.count()));
    late_.start();
    return true;
}

bool TPassScanner::mayContinue(const QKeyEvent& key) const
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return modifiers == Qt::NoModifier && key.text().size() == 1 && PassText::MayBegin(typed_ + key.text());
}

void TPassScanner::release()
{
    late_.stop();
    const QList<std::shared_ptr<QKeyEvent>> held = std::exchange(held_, {});
    typed_.clear();
    if (target_.isNull())
        return;
    releasing_ = true;
    for (const auto& key : held)
        QCoreApplication::sendEvent(target_, key.get());
    releasing_ = false;
}

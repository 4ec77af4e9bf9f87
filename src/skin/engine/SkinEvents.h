#pragma once
// The skin engine's own events: a window or control is asked whether it is
// skinned or exempt, a new frame finishes its set-up, a skinner is switched
// on or off.

#include <QEvent>

class QObject;

namespace SkinEvents {

// "Skinned or exempt?" A skinned control, a skinned window or a window that
// wants to be left alone sets Answer to 1.
inline constexpr QEvent::Type kQuery = static_cast<QEvent::Type>(QEvent::User + 13603);
// Posted to a window after its frame is made: the frame finishes its set-up.
inline constexpr QEvent::Type kFinishSetup = static_cast<QEvent::Type>(QEvent::User + 13571);
// Sent to a skinned control: On switches its skinner on, otherwise off.
inline constexpr QEvent::Type kSwitch = static_cast<QEvent::Type>(QEvent::User + 13574);

class TSkinQueryEvent : public QEvent {
public:
    TSkinQueryEvent() : QEvent(kQuery) {}
    int Answer = 0;
};

class TSkinSwitchEvent : public QEvent {
public:
    explicit TSkinSwitchEvent(bool on) : QEvent(kSwitch), On(on) {}
    bool On;
};

// Sends the query to target; true when it answers 1.
bool AnswersSkinned(QObject* target);

// The integer "Tag" of a form, control or menu (the dynamic property "Tag",
// 0 when unset).
int TagOf(const QObject* object);

} // namespace SkinEvents

#pragma once
#include <QString>
#include <stdexcept>

// The base of the program's own exceptions: a message for the guard, kept as
// written (what() holds it as UTF-8). A guarded handler shows it in the
// error box.
class EVostrelError : public std::runtime_error {
public:
    explicit EVostrelError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

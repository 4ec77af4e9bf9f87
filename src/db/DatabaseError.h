#pragma once
#include <QString>
#include <stdexcept>

// An error of the register store. The message is the engine's own text where
// the engine raised it; handlers let it reach the application's error box.
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

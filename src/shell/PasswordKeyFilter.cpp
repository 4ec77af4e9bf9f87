#include "shell/PasswordKeyFilter.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBeep.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

class PasswordKeyFilter : public QObject {
public:
    PasswordKeyFilter(QLineEdit* edit, std::function<bool()> onEnter) : QObject(edit), onEnter_(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            bool taken = false;
            if (onEnter_)
                RunGuarded([&] { taken = onEnter_(); });
            if (!taken)
                MessageBeep();
            return true;
        }
        const QString text = key->text();
        if (text.size() != 1 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false; // editing and shortcut keys: the validator guards pasted text
        const QChar c = text.front();
        const bool allowed = c == QChar(8) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                             || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                             || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        if (allowed || c == QChar(127))
            return false;
        MessageBeep();
        return true;
    }

private:
    std::function<bool()> onEnter_;
};

} // namespace

void InstallPasswordKeyFilter(QLineEdit* edit, std::function<bool()> onEnter)
{
    static const QRegularExpression lettersAndDigits(QStringLiteral("[A-Za-z0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(lettersAndDigits, edit));
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [] { MessageBeep(); });
    edit->installEventFilter(new PasswordKeyFilter(edit, std::move(onEnter)));
}

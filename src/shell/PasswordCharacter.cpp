#include "shell/PasswordCharacter.h"

#include <QLineEdit>
#include <QProxyStyle>

namespace {

// The application's style, but for the mask character of password edits.
class TPasswordCharacterStyle : public QProxyStyle {
public:
    explicit TPasswordCharacterStyle(QChar character) : character_(character) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return character_.unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar character_;
};

} // namespace

void SetPasswordCharacter(QLineEdit* edit, QChar character)
{
    auto* style = new TPasswordCharacterStyle(character);
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

#include "app/TVostrelApplication.h"
#include "shell/MessageBoxes.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TVostrelApplication::TVostrelApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Vostrel"));
    setQuitOnLastWindowClosed(false); // the program ends when its main window closes
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    // Qt's own texts (the standard buttons of the message boxes) in the
    // language of the system, as the system's own boxes read.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTexts);
    else
        delete qtTexts;
}

TVostrelApplication* TVostrelApplication::instance()
{
    return qobject_cast<TVostrelApplication*>(QCoreApplication::instance());
}

bool TVostrelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        MessageBoxes::ShowError(QString::fromUtf8(e.what()));
    }
    return true;
}

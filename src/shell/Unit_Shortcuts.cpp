#include "shell/Unit_Shortcuts.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Desktop-entry strings escape backslashes; Exec quotes the path.
QString entryString(QString s)
{
    return s.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

QString execQuoted(QString path)
{
    for (const char* c : {"\\", "\"", "`", "$"})
        path.replace(QLatin1String(c), QStringLiteral("\\") + QLatin1String(c));
    return entryString(QLatin1Char('"') + path + QLatin1Char('"'));
}

} // namespace

bool CreateShellLink(const QString& target, const QString& name, const QString& folder, int csidl,
                     const QString& iconPath)
{
    const QFileInfo targetInfo(target);
    if (!targetInfo.exists())
        return false;
    const QString linkName = name.isEmpty() ? targetInfo.completeBaseName() : name;
    if (folder.isEmpty() && csidl == -1)
        csidl = CSIDL_DESKTOP;

    QString linkFolder;
    if (csidl >= 0) {
        if (csidl != CSIDL_DESKTOP)
            return false;
        linkFolder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        QDir().mkpath(linkFolder);
    } else {
        linkFolder = folder;
        while (linkFolder.size() > 1 && linkFolder.endsWith(QLatin1Char('/')))
            linkFolder.chop(1);
        if (!QFileInfo(linkFolder).isDir())
            return false;
    }

    const QString exeFolder = targetInfo.absolutePath() + QLatin1Char('/');
    QString entry = QStringLiteral("[Desktop Entry]\nType=Application\n");
    entry += QStringLiteral("Name=") + entryString(linkName) + QLatin1Char('\n');
    entry += QStringLiteral("Exec=") + execQuoted(targetInfo.absoluteFilePath()) + QLatin1Char('\n');
    entry += QStringLiteral("Path=") + entryString(exeFolder) + QLatin1Char('\n');
    entry += QStringLiteral("Icon=")
             + entryString(iconPath.isEmpty() ? QStringLiteral("x-office-address-book") : iconPath) + QLatin1Char('\n');
    entry += QStringLiteral("Terminal=false\n");

    QSaveFile file(linkFolder + QLatin1Char('/') + linkName + QStringLiteral(".desktop"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = entry.toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                        | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                        | QFileDevice::ExeOther);
    return file.commit();
}

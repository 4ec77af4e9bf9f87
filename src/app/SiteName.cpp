#include "app/SiteName.h"

#include <QDir>
#include <QFile>

QString ReadSiteName(const QString& folder)
{
    QFile file(QDir(folder).filePath(QString::fromLatin1(kSiteNameFile)));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // A name is a line; a long file is not read past its start.
    constexpr qint64 kLongestLine = 1024;
    QString line = QString::fromUtf8(file.readLine(kLongestLine));
    if (line.startsWith(QChar(0xFEFF)))
        line.remove(0, 1);
    return line.trimmed();
}

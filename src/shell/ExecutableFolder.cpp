#include "shell/ExecutableFolder.h"

#include <QCoreApplication>

namespace {
QString& overridden()
{
    static QString folder;
    return folder;
}
} // namespace

QString ExecutableFolder()
{
    if (!overridden().isEmpty())
        return overridden();
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

void SetExecutableFolderForTesting(const QString& folder)
{
    overridden() = folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

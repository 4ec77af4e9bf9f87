#include "db/CategoryFile.h"
#include "base/GbkCodec.h"

#include <QFile>
#include <QSaveFile>

const QStringList& DefaultCategories()
{
    static const QStringList defaults = {QStringLiteral("网站帐号"), QStringLiteral("论坛帐号"),
                                         QStringLiteral("邮箱帐号"), QStringLiteral("QQ帐号"),
                                         QStringLiteral("银行帐号"), QStringLiteral("游戏帐号")};
    return defaults;
}

QStringList ParseCategoryLines(const QByteArray& content)
{
    const qsizetype zero = content.indexOf('\0');
    const QByteArray bytes = zero >= 0 ? content.left(zero) : content;
    QStringList items;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        items << FromGbk(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        items << FromGbk(bytes.mid(start));
    return items;
}

QStringList ReadCategoryFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ECategoryFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ECategoryFileError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return ParseCategoryLines(content);
}

void WriteCategoryFile(const QString& path, const QStringList& items)
{
    QByteArray content;
    for (const QString& item : items)
        content += ToGbk(item) + "\r\n";
    QSaveFile file(path);
    // Unbuffered, so that a full disk fails the write itself instead of a
    // flush whose failure the commit does not report.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ECategoryFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    if (file.write(content) != content.size() || !file.commit())
        throw ECategoryFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

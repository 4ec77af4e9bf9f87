// "class.dat": reading rules, GBK on disk, whole writes.
#include "TempDir.h"
#include "db/CategoryFile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(CategoryFile, LinesEndAtCrLfOrCrLfAndKeepEmptyLines)
{
    using L = QStringList;
    EXPECT_EQ(ParseCategoryLines("a\r\nb\r\n"), (L{"a", "b"}));
    EXPECT_EQ(ParseCategoryLines("a\nb\rc"), (L{"a", "b", "c"}));
    EXPECT_EQ(ParseCategoryLines("a\r\n\r\nb\n\n"), (L{"a", "", "b", ""}));
    EXPECT_EQ(ParseCategoryLines("\r\n"), (L{""}));
    EXPECT_EQ(ParseCategoryLines(""), L{});
    EXPECT_EQ(ParseCategoryLines(QByteArray("a\r\nb\0c\r\nd", 10)), (L{"a", "b"}));
    EXPECT_EQ(ParseCategoryLines("  padded \r\nA\r\na\r\n"), (L{"  padded ", "A", "a"})); // nothing trimmed or merged
}

TEST(CategoryFile, WrittenInGbkWithCrLfAfterEveryItem)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("class.dat"));
    WriteCategoryFile(path, {QStringLiteral("QQ帐号"), QString(), QStringLiteral("访客")});
    EXPECT_EQ(readBytes(path), QByteArray("QQ\xd5\xca\xba\xc5\r\n\r\n\xb7\xc3\xbf\xcd\r\n"));
    EXPECT_EQ(ReadCategoryFile(path), (QStringList{QStringLiteral("QQ帐号"), QString(), QStringLiteral("访客")}));
    WriteCategoryFile(path, {});
    EXPECT_EQ(readBytes(path), QByteArray());
}

TEST(CategoryFile, DefaultsAreTheSixAccountKinds)
{
    EXPECT_EQ(DefaultCategories(),
              (QStringList{QStringLiteral("网站帐号"), QStringLiteral("论坛帐号"), QStringLiteral("邮箱帐号"),
                           QStringLiteral("QQ帐号"), QStringLiteral("银行帐号"), QStringLiteral("游戏帐号")}));
}

TEST(CategoryFile, BadBytesAndMissingFiles)
{
    // A byte sequence that is not GBK still gives an item per line.
    const QStringList items = ParseCategoryLines("ok\r\n\xff\xfe\x81\r\n\x81");
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], QStringLiteral("ok"));
    EXPECT_TRUE(items[1].contains(QChar(0xFFFD)));
    TempDir dir;
    EXPECT_THROW(ReadCategoryFile(dir.file(QStringLiteral("missing.dat"))), ECategoryFileError);
    EXPECT_THROW(WriteCategoryFile(dir.file(QStringLiteral("no/such/folder/class.dat")), {QStringLiteral("a")}),
                 ECategoryFileError);
}

#include "skin/SkinReader.h"
#include "SkinTestUtil.h"
#include "skin/SkinMessage.h"

#include <gtest/gtest.h>

#include <QtEndian>

namespace {
struct MessageCatcher {
    QStringList messages;
    TSkinMessageHandler previous;
    MessageCatcher()
    {
        previous = SetSkinMessageHandler([this](const QString& t) { messages << t; });
    }
    ~MessageCatcher() { SetSkinMessageHandler(previous); }
};

QByteArray Int32(int32_t v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

const QList<SkinEntry> kEntries = {{"One.bmp", "BM-one"}, {"two [x].bmp", "BM-two!"}, {"skin.ini", "[A]\r\nk=v\r\n"}};
} // namespace

TEST(SkinReader, EveryVersionCodeSkipsItsBlock)
{
    for (const uint32_t version : {20000u, 30000u, 40000u, 50000u, 60000u, 70000u}) {
        TSkinReader reader;
        ASSERT_TRUE(reader.Load(PackSkin(kEntries, version))) << version;
        EXPECT_EQ(reader.Version(), version);
        EXPECT_EQ(reader.EntryCount(), 3);
        EXPECT_EQ(reader.Names(), QStringList({"one.bmp", "two [x].bmp", "skin.ini"}));
        QByteArray body;
        reader.ExtractEntry("two [x].bmp", body);
        EXPECT_EQ(body, "BM-two!");
    }
    // Version 20000 has no skip block: the names start right after the header.
    const QByteArray container = BuildSkinContainer(kEntries, 20000);
    EXPECT_EQ(container.mid(16, 9), "One.bmp\r\n");
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadContainer(container));
    EXPECT_EQ(reader.BodiesOffset(), 16 + reader.NameListLength() + 12);
}

TEST(SkinReader, UnknownVersionShowsTheMessageAndIndexesNothing)
{
    MessageCatcher catcher;
    TSkinReader reader;
    EXPECT_FALSE(reader.Load(PackSkin(kEntries, 10000)));
    EXPECT_EQ(catcher.messages, QStringList({"This is Older Skin File\rPlease update to new version !"}));
    EXPECT_EQ(reader.EntryCount(), 0);
    EXPECT_FALSE(reader.Load(QByteArray()));
}

TEST(SkinReader, LookupsByNameAndByPart)
{
    TSkinReader reader;
    ASSERT_TRUE(reader.Load(PackSkin({{"a.bmp", "first"}, {"A.BMP", "second"}, {"b.ini", "ini"}})));
    QByteArray body;
    reader.ExtractEntry("A.bmp", body); // case ignored, first of two wins
    EXPECT_EQ(body, "first");
    reader.ExtractEntry("missing.bmp", body);
    EXPECT_TRUE(body.isEmpty());

    QString name = "unchanged";
    reader.ExtractEntryLike(".ini", body, name);
    EXPECT_EQ(body, "ini");
    EXPECT_EQ(name, "b.ini");
    name = "unchanged";
    reader.ExtractEntryLike(".INI", body, name); // the part is matched as given
    EXPECT_TRUE(body.isEmpty());
    EXPECT_EQ(name, "unchanged");
}

TEST(SkinReader, NameListLineEndings)
{
    // CR, LF and CR LF all end a line; a last line without an ending counts.
    QByteArray names = "a\rb\nc\r\nd";
    QByteArray c = Int32(70000) + Int32(static_cast<int32_t>(names.size())) + QByteArray(8 + 69, '\0') + names;
    c += Int32(1) + Int32(1) + Int32(1) + Int32(1) + "ABCD";
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadContainer(c));
    EXPECT_EQ(reader.Names(), QStringList({"a", "b", "c", "d"}));
    QByteArray body;
    reader.ExtractEntry("d", body);
    EXPECT_EQ(body, "D");
}

TEST(SkinReader, HostileContainersAreClippedNotOverrun)
{
    QByteArray body;
    {
        // 1,500 names: the table holds 1,001; the bodies still start after
        // one size word per line.
        QList<SkinEntry> many;
        for (int i = 0; i < 1500; ++i)
            many.append({QStringLiteral("e%1").arg(i), QByteArray::number(i)});
        TSkinReader reader;
        ASSERT_TRUE(reader.LoadContainer(BuildSkinContainer(many)));
        EXPECT_EQ(reader.EntryCount(), TSkinReader::kMaxEntries);
        reader.ExtractEntry("e1000", body);
        EXPECT_EQ(body, "1000");
        reader.ExtractEntry("e1001", body);
        EXPECT_TRUE(body.isEmpty());
    }
    {
        // Sizes past the end, negative sizes and a name list longer than
        // the container.
        QByteArray names = "big\r\nneg\r\nlast\r\n";
        QByteArray c = Int32(20000) + Int32(static_cast<int32_t>(names.size())) + QByteArray(8, '\0') + names;
        c += Int32(1000000) + Int32(-50) + Int32(3) + "xyz";
        TSkinReader reader;
        ASSERT_TRUE(reader.LoadContainer(c));
        reader.ExtractEntry("big", body);
        EXPECT_EQ(body, "xyz");
        reader.ExtractEntry("neg", body);
        EXPECT_TRUE(body.isEmpty());
        reader.ExtractEntry("last", body);
        EXPECT_TRUE(body.isEmpty());

        QByteArray longNames = Int32(20000) + Int32(0x7FFFFFFF) + QByteArray(8, '\0') + "only\r\n";
        ASSERT_TRUE(reader.LoadContainer(longNames));
        EXPECT_EQ(reader.Names(), QStringList({"only"}));
        reader.ExtractEntry("only", body);
        EXPECT_TRUE(body.isEmpty());
        ASSERT_TRUE(reader.LoadContainer(Int32(20000) + Int32(-5)));
        EXPECT_EQ(reader.EntryCount(), 0);
    }
    {
        // A truncated skin file still decodes to its size; a huge size is refused.
        QList<SkinEntry> entries = kEntries;
        entries.append({"noise.bmp", QByteArray(3000, 'n')});
        const QByteArray skin = PackSkin(entries);
        TSkinReader reader;
        ASSERT_TRUE(reader.Load(skin.left(skin.size() / 2)));
        EXPECT_EQ(reader.EntryCount(), 4);
        EXPECT_EQ(reader.EntryData(3).size(), 3000);
        EXPECT_FALSE(reader.Load(Int32(0x7FFFFFFF) + "x"));
    }
}

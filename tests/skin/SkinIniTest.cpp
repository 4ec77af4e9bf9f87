#include "skin/SkinIni.h"

#include <gtest/gtest.h>

namespace {
TQuickIni Ini(const char* text)
{
    TQuickIni ini;
    ini.LoadFromStream(QByteArray(text));
    return ini;
}
} // namespace

TEST(QuickIni, LinesCommentsAndSections)
{
    const TQuickIni ini = Ini(
        "  ; a comment\r\n\r\n [First] \r\nKey = spaced value \rother=1\n[trackbar.thumbhorz]\nImage=t.bmp\n[Last]");
    EXPECT_EQ(ini.Lines().size(), 6);
    QStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections, QStringList({"First", "trackbar.thumbhorz", "Last"}));
    EXPECT_EQ(ini.ReadString("first", "KEY", "d"), "spaced value");
    EXPECT_EQ(ini.ReadString("Trackbar.ThumbHorz", "image", "d"), "t.bmp");
    EXPECT_EQ(ini.ReadString("First", "Image", "d"), "d"); // not read past the next header
    EXPECT_EQ(ini.ReadString("Missing", "Key", "d"), "d");
    try {
        ini.ReadSections(nullptr);
        FAIL() << "ReadSections accepted no list";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "The parameter Strings is unassigned!");
    }
}

TEST(QuickIni, FirstKeyStopsTheWalkEvenWhenEmpty)
{
    const TQuickIni ini = Ini("[S]\nA=\nA=later\nB=one\nB=two\n[S]\nC=second section\n");
    EXPECT_EQ(ini.ReadString("S", "A", "default"), "default");
    EXPECT_EQ(ini.ReadString("S", "B", "default"), "one");
    EXPECT_EQ(ini.ReadString("S", "C", "default"), "default"); // only the first [S] is searched
}

TEST(QuickIni, Integers)
{
    const TQuickIni ini =
        Ini("[N]\nhex=0x1F\ndollar=$1F\nbare=0x\nneg=-12\nword=abc\nbig=0xFFFFFFFF\nupper=0X10\nspace=1 2\n");
    EXPECT_EQ(ini.ReadInteger("N", "hex", 7), 31);
    EXPECT_EQ(ini.ReadInteger("N", "dollar", 7), 31);
    EXPECT_EQ(ini.ReadInteger("N", "bare", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 7), -12);
    EXPECT_EQ(ini.ReadInteger("N", "word", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "big", 7), -1);
    EXPECT_EQ(ini.ReadInteger("N", "upper", 7), 16);
    EXPECT_EQ(ini.ReadInteger("N", "space", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "absent", 7), 7);
}

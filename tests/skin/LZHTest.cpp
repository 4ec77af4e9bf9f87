#include "skin/LZH.h"
#include "LZHEncoder.h"
#include "SkinPacker.h"
#include "skin/SkinReader.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <cstring>

namespace {
// Decodes `size` bytes from a bare bit stream.
QByteArray Decode(const QByteArray& stream, int64_t size)
{
    QByteArray out;
    qsizetype pos = 0;
    TLZH lzh;
    lzh.Unpack(
        size, [&out](const uint8_t* b, int n) { out.append(reinterpret_cast<const char*>(b), n); },
        [&](uint8_t* b, int requested, int& got) {
            got = static_cast<int>(std::min<qsizetype>(requested, stream.size() - pos));
            std::memcpy(b, stream.constData() + pos, static_cast<size_t>(std::max(got, 0)));
            pos += got;
        });
    return out;
}

QByteArray RoundTrip(const QByteArray& data, LZHEncodeStats* stats = nullptr)
{
    return Decode(LZHEncode(data, stats), data.size());
}

QByteArray RandomBytes(int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(n, '\0');
    for (char& c : b)
        c = static_cast<char>(rng.bounded(256));
    return b;
}
} // namespace

TEST(LZHPositionTables, FollowThePublishedRanges)
{
    EXPECT_EQ(lzh::DCode(31), 0);
    EXPECT_EQ(lzh::DCode(32), 1);
    EXPECT_EQ(lzh::DCode(80), 4);
    EXPECT_EQ(lzh::DCode(144), 12);
    EXPECT_EQ(lzh::DCode(192), 24);
    EXPECT_EQ(lzh::DCode(240), 48);
    EXPECT_EQ(lzh::DCode(255), 63);
    EXPECT_EQ(lzh::DLen(0) + lzh::DLen(79) + lzh::DLen(143) + lzh::DLen(191) + lzh::DLen(239) + lzh::DLen(255),
              3 + 4 + 5 + 6 + 7 + 8);
}

TEST(LZHRoundTrip, RandomTextRunsAndMixedData)
{
    // Random data is mostly literals and, past 32,768 symbols, forces the
    // tree to be rebuilt several times.
    const QByteArray random = RandomBytes(200000, 7);
    EXPECT_EQ(RoundTrip(random), random);

    QByteArray text;
    for (int i = 0; i < 3000; ++i)
        text +=
            "Visitor " + QByteArray::number(i * 7919 % 1000) + " came at 09:" + QByteArray::number(i % 60) + ".\r\n";
    EXPECT_EQ(RoundTrip(text), text);

    QByteArray mixed = RandomBytes(5000, 3) + QByteArray(70000, 'x') + text.left(9000) + RandomBytes(4000, 4);
    EXPECT_EQ(RoundTrip(mixed), mixed);

    EXPECT_EQ(RoundTrip(QByteArray()), QByteArray());
    EXPECT_EQ(RoundTrip("a"), QByteArray("a"));
}

TEST(LZHRoundTrip, MatchesOfLengthThreeAndSixty)
{
    LZHEncodeStats stats;
    const QByteArray run(600, 'q'); // overlapping matches of the longest length
    EXPECT_EQ(RoundTrip(run, &stats), run);
    EXPECT_EQ(stats.longestMatch, 60);

    // "abc" repeated with a fresh byte between copies: matches of exactly 3.
    QByteArray threes;
    for (int i = 0; i < 200; ++i)
        threes += "abc" + QByteArray(1, static_cast<char>(i));
    EXPECT_EQ(RoundTrip(threes, &stats), threes);
    EXPECT_EQ(stats.shortestMatch, 3);
    EXPECT_GT(stats.matches, 100);

    // Leading blanks match the ring's initial blanks.
    const QByteArray blanks(100, ' ');
    EXPECT_EQ(RoundTrip(blanks, &stats), blanks);
    EXPECT_EQ(stats.literals, 0);
}

TEST(LZHRoundTrip, StopsExactlyAtTheSizeAfterALiteralOrAMatch)
{
    // Ends on a literal.
    const QByteArray literalEnd = QByteArray(300, 'z') + "!";
    EXPECT_EQ(RoundTrip(literalEnd), literalEnd);
    // Ends on a match that fills the size exactly.
    LZHEncodeStats stats;
    const QByteArray matchEnd = "0123456789" + QByteArray("0123456789");
    EXPECT_EQ(RoundTrip(matchEnd, &stats), matchEnd);
    EXPECT_EQ(stats.literals, 10);

    // Asking for fewer bytes than a match holds still writes the match whole.
    const QByteArray stream = LZHEncode(matchEnd);
    EXPECT_EQ(Decode(stream, 12), matchEnd);
    EXPECT_EQ(Decode(stream, 10), matchEnd.left(10));
}

TEST(LZHTruncated, MissingInputReadsAsZeroBitsAndStillYieldsTheSize)
{
    const QByteArray data = RandomBytes(4000, 11);
    const QByteArray stream = LZHEncode(data);
    const QByteArray half = Decode(stream.left(stream.size() / 2), data.size());
    // At least the size; a match under way at the end is copied whole.
    ASSERT_GE(half.size(), data.size());
    EXPECT_LT(half.size(), data.size() + lzh::F);
    EXPECT_EQ(half.left(1000), data.left(1000));
    const QByteArray nothing = Decode(QByteArray(), 5000);
    EXPECT_GE(nothing.size(), 5000);
    EXPECT_LT(nothing.size(), 5000 + lzh::F);
}

TEST(LZHException, CarriesItsText)
{
    EXPECT_STREQ(ElzhException(lzh::kNoMemoryText).what(), "LZH : Cannot get memory for dictionary tables");
    EXPECT_STREQ(ElzhException(lzh::kFreeErrorText).what(), "LZH : Error freeing memory for dictionary tables");
}

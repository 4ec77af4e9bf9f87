#include "crypto/Unit_DESCrypt.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string FromHex(const std::string& hex)
{
    std::string s;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        s.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return s;
}

// An 8-character key text k1..k8 folds to the key bytes k8 k1 ... k7.
std::string KeyTextFor(const std::string& keyHex)
{
    const std::string key = FromHex(keyHex);
    return key.substr(1) + key.substr(0, 1);
}

std::string RandomText(std::mt19937& rng, std::size_t length)
{
    std::uniform_int_distribution<int> byte(1, 255);
    std::string s;
    while (s.size() < length)
        s.push_back(static_cast<char>(byte(rng)));
    return s;
}

} // namespace

TEST(DesCrypt, PublishedVectorsBothWays)
{
    const char* vectors[][3] = {
        {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "7359B2163E4EDC58"},
        {"3000000000000000", "1000000000000001", "958E6E627A05557B"},
    };
    for (const auto& [key, plain, cipher] : vectors) {
        SCOPED_TRACE(key);
        EXPECT_EQ(EncryptToHex(FromHex(plain), KeyTextFor(key)), cipher);
        const std::string bytes = FromHex(plain);
        EXPECT_EQ(DecryptFromHex(cipher, KeyTextFor(key)), bytes.substr(0, bytes.find('\0')));
    }
    // Empty key and empty text: the zero key on the zero block.
    EXPECT_EQ(EncryptToHex("", ""), "8CA64DE9C1B123A7");
    // Lower-case digits are read too.
    EXPECT_EQ(DecryptFromHex("85e813540F0Ab405", KeyTextFor("133457799BBCDFF1")), FromHex("0123456789ABCDEF"));

    // Several blocks, each enciphered alone, in order.
    const std::string cipher = "3FA40E8A984D48156A271787AB8883F9893D51EC4B563B53";
    const std::string keyText = KeyTextFor("0123456789ABCDEF");
    EXPECT_EQ(EncryptToHex("Now is the time for all ", keyText), cipher);
    EXPECT_EQ(DecryptFromHex(cipher, keyText), "Now is the time for all ");
    EXPECT_EQ(DecryptFromHex(cipher.substr(16, 16), keyText), "he time ");
}

TEST(DesCrypt, EncipheredLengthAndDigits)
{
    const std::size_t cases[][2] = {{0, 16}, {7, 16}, {8, 16}, {9, 32}, {16, 32}, {17, 48}};
    for (const auto& [length, digits] : cases) {
        const std::string hex = EncryptToHex(std::string(length, 'x'), "vum");
        EXPECT_EQ(hex.size(), digits) << length;
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    }
    // The last block is zero-filled; an empty text is the zero block.
    EXPECT_EQ(EncryptToHex("abcdefghi", "vum"),
              EncryptToHex("abcdefgh", "vum") + EncryptToHex(std::string("i\0\0\0\0\0\0\0", 8), "vum"));
    EXPECT_EQ(EncryptToHex("", "vum"), EncryptToHex(std::string(8, '\0'), "vum"));
}

TEST(DesCrypt, RoundTripsAndCutsAtZeroByte)
{
    std::mt19937 rng(20240611);
    const std::string keys[] = {"", "vum", "12345678", "a much longer key text", "\xB9\xDC\xC0\xED\xFF"};
    for (const std::string& key : keys)
        for (std::size_t length = 0; length <= 33; ++length) {
            const std::string plain = RandomText(rng, length);
            EXPECT_EQ(DecryptFromHex(EncryptToHex(plain, key), key), plain) << key << ' ' << length;
        }
    EXPECT_EQ(DecryptFromHex(EncryptToHex(std::string("ab\0cdefghijk", 12), "vum"), "vum"), "ab");
}

TEST(DesCrypt, ShortAndOddHexIsZeroFilled)
{
    // Under this key the zero block deciphers to eight 87 bytes.
    const std::string keyText = KeyTextFor("0E329232EA6D0D73");
    for (const char* hex : {"0", "00", "000", "0000000000000000"})
        EXPECT_EQ(DecryptFromHex(hex, keyText), std::string(8, '\x87')) << hex;
    // A last lone digit is a byte of its own.
    EXPECT_EQ(DecryptFromHex("ABC", "vum"), DecryptFromHex("AB0C000000000000", "vum"));
    const std::string two = EncryptToHex("abcdefghi", "vum");
    EXPECT_EQ(DecryptFromHex(two.substr(0, 16) + "F", "vum"),
              DecryptFromHex(two.substr(0, 16) + "0F00000000000000", "vum"));
}

TEST(DesCrypt, MalformedHexGivesEmptyText)
{
    const std::string good = EncryptToHex("secret", "vum");
    ASSERT_EQ(DecryptFromHex(good, "vum"), "secret");
    const std::string bad[] = {"",
                               " ",
                               " " + good,
                               good + " ",
                               "+1",
                               "-1",
                               "0x12",
                               "G0",
                               good.substr(0, 15) + "g",
                               std::string(2, '\0'),
                               good.substr(0, 4) + "\xEF\xBC\xA1" + good.substr(4)};
    for (const std::string& hex : bad)
        EXPECT_EQ(DecryptFromHex(hex, "vum"), "") << '"' << hex << '"';
}

TEST(DesCrypt, KeyTextFolding)
{
    const auto cipher = [](const std::string& key) { return EncryptToHex("password", key); };
    // Positions p and p + 8 add into the same key byte, wrapping at 256.
    EXPECT_EQ(cipher("abcdefghXYZ"), cipher("XYZdefghabc"));
    EXPECT_EQ(cipher("abcdefghijklmnop"), cipher("abcdefgpijklmnoh"));
    EXPECT_NE(cipher("abcdefghijklmnop"), cipher("bacdefghijklmnop"));
    EXPECT_EQ(cipher(std::string("\xFF\0\0\0\0\0\0\0\x02", 9)), cipher("\x01"));
    // Empty key text, zero characters and parity bits all leave the zero key.
    EXPECT_EQ(cipher(""), cipher(std::string(20, '\0')));
    EXPECT_EQ(cipher(""), cipher(KeyTextFor("0101010101010101")));
    // Only the least significant bit of each key byte is ignored.
    EXPECT_EQ(cipher("vum"), cipher("wtl"));
    EXPECT_NE(cipher("vum"), cipher("vuo"));
    EXPECT_EQ(EncryptToHex(FromHex("0123456789ABCDEF"), KeyTextFor("123456789ABCDEF0")), "85E813540F0AB405");
}

TEST(DesCrypt, WrongKeyIsNotAnError)
{
    const std::string hex = EncryptToHex("admin123", "vum");
    const std::string wrong = DecryptFromHex(hex, "vun");
    // These deciphered bytes hold no zero, so all 8 come back.
    ASSERT_EQ(wrong.size(), 8U);
    EXPECT_NE(wrong, "admin123");
    EXPECT_EQ(EncryptToHex(wrong, "vun"), hex);
}

#include "crypto/Unit_DESCrypt.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

using Block = std::array<std::uint8_t, 8>;
using SubKey = std::uint64_t; // 48 bits, bit 1 of the subkey is bit 47 here
using SubKeyTable = std::array<SubKey, 16>;

// Bit tables of FIPS 46-3, one-based, bit 1 = most significant.
constexpr std::array<std::uint8_t, 64> kIP = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                                              62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                                              57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                                              61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

constexpr std::array<std::uint8_t, 64> kFP = {40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
                                              38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
                                              36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
                                              34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};

constexpr std::array<std::uint8_t, 48> kE = {32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
                                             12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
                                             22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

constexpr std::array<std::uint8_t, 32> kP = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                             2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr std::array<std::array<std::uint8_t, 64>, 8> kS = {{
    {14, 4,  13, 1, 2,  15, 11, 8, 3, 10, 6, 12, 5,  9,  0,  7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5, 3, 8,  4, 1,  14, 8,  13, 6,  2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2, 4, 9,  1, 7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8, 14, 6,  11, 3,  4, 9, 7, 2,  13, 12, 0, 5, 10, 3,  13, 4,  7, 15, 2,  8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0,  14, 7, 11, 10, 4,  13, 1, 5, 8, 12, 6,  9,  3, 2, 15, 13, 8,  10, 1, 3,  15, 4, 2,  11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7, 11, 4,  2,  8,  13, 7, 0,  9, 3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6, 4,  9,  8,  15, 3,  0, 11, 1, 2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7, 4,  15, 14, 3,  11, 5, 2,  12},
    {7, 13, 14, 3, 0, 6,  9, 10, 1,  2, 8,  5, 11, 12, 4,  15, 13, 8,  11, 5, 6, 15,
     0, 3,  4,  7, 2, 12, 1, 10, 14, 9, 10, 6, 9,  0,  12, 11, 7,  13, 15, 1, 3, 14,
     5, 2,  8,  4, 3, 15, 0, 6,  10, 1, 13, 8, 9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4, 1,  7,  10, 11, 6, 8, 5,  3, 15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5, 0,  15, 10, 3,  9, 8, 6,  4, 2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0, 14, 11, 8,  12, 7, 1, 14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6, 8,  0, 13, 3,  4,  14, 7,  5, 11, 10, 15, 4, 2, 7, 12,
     9,  5,  6,  1,  13, 14, 0, 11, 3, 8,  9,  14, 15, 5,  2, 8,  12, 3,  7, 0, 4, 10,
     1,  13, 11, 6,  4,  3,  2, 12, 9, 5,  15, 10, 11, 14, 1, 7,  6,  0,  8, 13},
    {4, 11, 2,  14, 15, 0, 8, 13, 3,  12, 9, 7, 5, 10, 6, 1, 13, 0,  11, 7, 4, 9, 1,  10, 14, 3, 5, 12, 2,  15, 8, 6,
     1, 4,  11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5,  9, 2, 6,  11, 13, 8, 1, 4, 10, 7,  9,  5, 0, 15, 14, 2,  3, 12},
    {13, 2,  8, 4, 6, 15, 11, 1, 10, 9, 3,  14, 5,  0, 12, 7, 1, 15, 13, 8, 10, 3,  7, 4,  12, 5,  6, 11, 0, 14, 9, 2,
     7,  11, 4, 1, 9, 12, 14, 2, 0,  6, 10, 13, 15, 3, 5,  8, 2, 1,  14, 7, 4,  10, 8, 13, 15, 12, 9, 0,  3, 5,  6, 11},
}};

constexpr std::array<std::uint8_t, 56> kPC1 = {
    57, 49, 41, 33, 25, 17, 9,  1, 58, 50, 42, 34, 26, 18, 10, 2, 59, 51, 43, 35, 27, 19, 11, 3, 60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7, 62, 54, 46, 38, 30, 22, 14, 6, 61, 53, 45, 37, 29, 21, 13, 5, 28, 20, 12, 4};

constexpr std::array<std::uint8_t, 48> kPC2 = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                                               26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                                               51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr std::array<std::uint8_t, 16> kRotations = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// For every round and subkey bit, the PC-1 output bit (one-based, 1..56) that
// PC-2 picks once both 28-bit halves have been rotated left by the rounds so
// far. Precomputing this removes the rotations from the key schedule.
constexpr std::array<std::array<std::uint8_t, 48>, 16> MakeSubKeyPositions()
{
    std::array<std::array<std::uint8_t, 48>, 16> table{};
    int shift = 0;
    for (std::size_t round = 0; round < 16; ++round) {
        shift += kRotations[round];
        for (std::size_t bit = 0; bit < 48; ++bit) {
            const int p = kPC2[bit] - 1;      // 0..55 in the rotated halves
            const int half = p < 28 ? 0 : 28; // C or D
            const int source = half + (p - half + shift) % 28;
            table[round][bit] = static_cast<std::uint8_t>(source + 1);
        }
    }
    return table;
}

constexpr auto kSubKeyPositions = MakeSubKeyPositions();

// Picks bits of a value `inWidth` bits wide into a new value, table order
// giving the output bits from most significant down.
template <std::size_t N>
constexpr std::uint64_t Permute(std::uint64_t in, int inWidth, const std::array<std::uint8_t, N>& table)
{
    std::uint64_t out = 0;
    for (const std::uint8_t pos : table)
        out = (out << 1) | ((in >> (inWidth - pos)) & 1U);
    return out;
}

std::uint64_t LoadBlock(const Block& b)
{
    std::uint64_t v = 0;
    for (const std::uint8_t byte : b)
        v = (v << 8) | byte;
    return v;
}

Block StoreBlock(std::uint64_t v)
{
    Block b{};
    for (std::size_t i = 0; i < 8; ++i)
        b[i] = static_cast<std::uint8_t>(v >> (56 - 8 * i));
    return b;
}

// Position i of the key text (from 1) adds into byte i mod 8, wrapping.
Block FoldKeyText(std::string_view keyText)
{
    Block key{};
    for (std::size_t i = 0; i < keyText.size(); ++i) {
        auto& slot = key[(i + 1) % 8];
        slot = static_cast<std::uint8_t>(slot + static_cast<unsigned char>(keyText[i]));
    }
    return key;
}

// Slot r holds subkey K(r) for enciphering and K(17 - r) for deciphering.
SubKeyTable MakeSubKeys(const Block& key, bool encipher)
{
    const std::uint64_t cd = Permute(LoadBlock(key), 64, kPC1);
    SubKeyTable slots{};
    for (std::size_t round = 0; round < 16; ++round) {
        const SubKey k = Permute(cd, 56, kSubKeyPositions[round]);
        slots[encipher ? round : 15 - round] = k;
    }
    return slots;
}

std::uint32_t Feistel(std::uint32_t right, SubKey subKey)
{
    const std::uint64_t x = Permute(right, 32, kE) ^ subKey;
    std::uint32_t s = 0;
    for (std::size_t box = 0; box < 8; ++box) {
        const auto six = static_cast<unsigned>((x >> (42 - 6 * box)) & 0x3FU);
        const unsigned row = ((six >> 4) & 2U) | (six & 1U);
        const unsigned col = (six >> 1) & 0xFU;
        s = (s << 4) | kS[box][row * 16 + col];
    }
    return static_cast<std::uint32_t>(Permute(s, 32, kP));
}

Block DesBlock(const Block& in, const SubKeyTable& slots)
{
    const std::uint64_t v = Permute(LoadBlock(in), 64, kIP);
    auto left = static_cast<std::uint32_t>(v >> 32);
    auto right = static_cast<std::uint32_t>(v);
    for (const SubKey k : slots) {
        const std::uint32_t next = left ^ Feistel(right, k);
        left = right;
        right = next;
    }
    // The last round's exchange is undone: R16 L16 goes into IP^-1.
    const std::uint64_t preOutput = (static_cast<std::uint64_t>(right) << 32) | left;
    return StoreBlock(Permute(preOutput, 64, kFP));
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Two digits per byte; a last lone digit is a byte of its own. Nothing but
// hexadecimal digits is accepted, and an empty text is malformed.
std::optional<std::string> HexToBytes(std::string_view hex)
{
    if (hex.empty())
        return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2 + 1);
    for (std::size_t pos = 0; pos < hex.size(); pos += 2) {
        unsigned value = 0;
        for (const char c : hex.substr(pos, 2)) {
            const int d = HexValue(c);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(d);
        }
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

Block TakeBlock(std::string_view text, std::size_t pos)
{
    Block b{};
    const std::string_view piece = text.substr(pos, 8);
    for (std::size_t i = 0; i < piece.size(); ++i)
        b[i] = static_cast<std::uint8_t>(piece[i]);
    return b;
}

} // namespace

std::string EncryptToHex(std::string_view plain, std::string_view keyText)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const SubKeyTable slots = MakeSubKeys(FoldKeyText(keyText), true);
    std::string out;
    out.reserve(16 * (plain.size() / 8 + 1));
    std::size_t pos = 0;
    do {
        for (const std::uint8_t byte : DesBlock(TakeBlock(plain, pos), slots)) {
            out.push_back(kDigits[byte >> 4]);
            out.push_back(kDigits[byte & 0xFU]);
        }
        pos += 8;
    } while (pos < plain.size());
    return out;
}

std::string DecryptFromHex(std::string_view hex, std::string_view keyText)
{
    try {
        const std::optional<std::string> bytes = HexToBytes(hex);
        if (!bytes)
            return {};
        const SubKeyTable slots = MakeSubKeys(FoldKeyText(keyText), false);
        std::string out;
        out.reserve(bytes->size() + 8);
        for (std::size_t pos = 0; pos < bytes->size(); pos += 8)
            for (const std::uint8_t byte : DesBlock(TakeBlock(*bytes, pos), slots))
                out.push_back(static_cast<char>(byte));
        // Zero fill and anything after an embedded zero byte go.
        const std::size_t end = out.find('\0');
        if (end != std::string::npos)
            out.resize(end);
        return out;
    } catch (...) {
        // Only allocation can fail here; the caller gets no text rather than an exception.
        return {};
    }
}

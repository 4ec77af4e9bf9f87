#include "skin/LZH.h"

#include <array>
#include <memory>
#include <new>

using namespace lzh;

namespace {
struct PositionTables {
    std::array<uint8_t, 256> code{};
    std::array<uint8_t, 256> len{};
    constexpr PositionTables()
    {
        for (int n = 0; n < 256; ++n) {
            code[static_cast<size_t>(n)] = static_cast<uint8_t>(DCode(n));
            len[static_cast<size_t>(n)] = static_cast<uint8_t>(DLen(n));
        }
    }
};
constexpr PositionTables kPositions;
} // namespace

struct TLZH::Tables {
    uint8_t ring[N_RING + F - 1];
    TLZHTree tree;
};

void TLZH::Fill(Tables&)
{
    // Keep at least nine valid bits; input that cannot be read counts as zero.
    while (bitCount_ <= 8) {
        uint8_t byte = 0;
        int got = 0;
        (*read_)(&byte, 1, got);
        if (got != 1)
            byte = 0;
        bitBuffer_ = static_cast<uint16_t>(bitBuffer_ | (byte << (8 - bitCount_)));
        bitCount_ = static_cast<uint8_t>(bitCount_ + 8);
    }
}

int TLZH::GetBit(Tables& t)
{
    Fill(t);
    const int bit = (bitBuffer_ >> 15) & 1;
    bitBuffer_ = static_cast<uint16_t>(bitBuffer_ << 1);
    --bitCount_;
    return bit;
}

int TLZH::GetByte(Tables& t)
{
    Fill(t);
    const int byte = bitBuffer_ >> 8;
    bitBuffer_ = static_cast<uint16_t>(bitBuffer_ << 8);
    bitCount_ = static_cast<uint8_t>(bitCount_ - 8);
    return byte;
}

void TLZH::Unpack(int64_t size, const WriteCallback& write, const ReadCallback& read)
{
    std::unique_ptr<Tables> tables(new (std::nothrow) Tables);
    if (!tables)
        throw ElzhException(kNoMemoryText);
    Tables& t = *tables;
    read_ = &read;
    bitBuffer_ = 0;
    bitCount_ = 0;

    t.tree.Start();
    for (int i = 0; i < N_RING - F; ++i)
        t.ring[i] = 0x20;
    for (int i = N_RING - F; i < N_RING + F - 1; ++i)
        t.ring[i] = 0;
    int r = N_RING - F;

    int64_t written = 0;
    while (written < size) {
        int n = t.tree.son[R];
        while (n < T)
            n = t.tree.son[n + GetBit(t)];
        const int symbol = n - T;
        t.tree.Update(symbol);

        if (symbol < 256) {
            const auto byte = static_cast<uint8_t>(symbol);
            write(&byte, 1);
            t.ring[r] = byte;
            r = (r + 1) & (N_RING - 1);
            ++written;
            continue;
        }

        int i = GetByte(t);
        const int upper = kPositions.code[static_cast<size_t>(i)] << 6;
        for (int extra = kPositions.len[static_cast<size_t>(i)] - 2; extra > 0; --extra)
            i = (i << 1) + GetBit(t);
        const int position = upper | (i & 0x3F);

        const int start = (r - position - 1) & (N_RING - 1);
        const int length = symbol - 255 + THRESHOLD;
        for (int k = 0; k < length; ++k) {
            const uint8_t byte = t.ring[(start + k) & (N_RING - 1)];
            write(&byte, 1);
            t.ring[r] = byte;
            r = (r + 1) & (N_RING - 1);
            ++written;
        }
    }
    read_ = nullptr;
}

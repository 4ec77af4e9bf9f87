#pragma once
// LZHUF decoder: LZSS over a 4,096-byte ring with adaptive Huffman coding
// of literals and match lengths. The skin file is one such stream.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

// Raised when the decoder's tables cannot be set up or released.
class ElzhException : public std::runtime_error {
public:
    explicit ElzhException(const std::string& text) : std::runtime_error(text) {}
};

namespace lzh {
inline constexpr int N_RING = 4096;
inline constexpr int F = 60;
inline constexpr int THRESHOLD = 2;
inline constexpr int N_CHAR = 256 - THRESHOLD + F; // 314
inline constexpr int T = N_CHAR * 2 - 1;           // 627
inline constexpr int R = T - 1;                    // 626
inline constexpr unsigned MAX_FREQ = 0x8000;

inline constexpr const char* kNoMemoryText = "LZH : Cannot get memory for dictionary tables";
inline constexpr const char* kFreeErrorText = "LZH : Error freeing memory for dictionary tables";

// Upper six bits of a match position for a first byte n, and the number of
// bits (first byte included, minus the six low bits' share) that code it.
constexpr int DCode(int n)
{
    if (n < 32)
        return 0;
    if (n < 80)
        return (n - 16) >> 4;
    if (n < 144)
        return (n - 48) >> 3;
    if (n < 192)
        return (n - 96) >> 2;
    if (n < 240)
        return (n - 144) >> 1;
    return n - 192;
}
constexpr int DLen(int n)
{
    if (n < 32)
        return 3;
    if (n < 80)
        return 4;
    if (n < 144)
        return 5;
    if (n < 192)
        return 6;
    if (n < 240)
        return 7;
    return 8;
}
} // namespace lzh

// The adaptive Huffman tree shared by the decoder and the packer's encoder,
// so both sides update it identically.
class TLZHTree {
public:
    void Start();
    void Update(int symbol);

    uint16_t freq[lzh::T + 1];
    int16_t prnt[lzh::T + lzh::N_CHAR];
    int16_t son[lzh::T];

private:
    void Rebuild();
};

class TLZH {
public:
    // Reads up to `requested` bytes into buffer and reports how many it gave.
    using ReadCallback = std::function<void(uint8_t* buffer, int requested, int& got)>;
    using WriteCallback = std::function<void(const uint8_t* buffer, int count)>;

    // Decodes until `size` bytes have been written. A match under way when
    // the count is reached is still written whole.
    void Unpack(int64_t size, const WriteCallback& write, const ReadCallback& read);

private:
    struct Tables;
    int GetBit(Tables& t);
    int GetByte(Tables& t);
    void Fill(Tables& t);

    const ReadCallback* read_ = nullptr;
    uint16_t bitBuffer_ = 0;
    uint8_t bitCount_ = 0;
};

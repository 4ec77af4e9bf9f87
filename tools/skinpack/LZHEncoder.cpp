#include "LZHEncoder.h"

#include "skin/LZH.h"

#include <array>
#include <vector>

using namespace lzh;

namespace {
class BitWriter {
public:
    void Put(unsigned bits, int count) // the low `count` bits, most significant first
    {
        for (int i = count - 1; i >= 0; --i) {
            acc_ = static_cast<uint8_t>((acc_ << 1) | ((bits >> i) & 1u));
            if (++n_ == 8) {
                out_.append(static_cast<char>(acc_));
                acc_ = 0;
                n_ = 0;
            }
        }
    }
    QByteArray Finish()
    {
        if (n_ > 0)
            out_.append(static_cast<char>(acc_ << (8 - n_)));
        n_ = 0;
        acc_ = 0;
        return out_;
    }

private:
    QByteArray out_;
    uint8_t acc_ = 0;
    int n_ = 0;
};

struct PositionCodes {
    std::array<uint8_t, 64> code{};
    std::array<uint8_t, 64> len{};
    PositionCodes()
    {
        for (int n = 255; n >= 0; --n) { // the smallest first byte of each class wins
            code[static_cast<size_t>(DCode(n))] = static_cast<uint8_t>(n);
            len[static_cast<size_t>(DCode(n))] = static_cast<uint8_t>(DLen(n));
        }
    }
};

class Encoder {
public:
    explicit Encoder(BitWriter& out) : out_(out) { tree_.Start(); }

    void Symbol(int c)
    {
        int path[T];
        int depth = 0;
        for (int k = tree_.prnt[c + T]; k != R; k = tree_.prnt[k])
            path[depth++] = k & 1;
        while (depth > 0)
            out_.Put(static_cast<unsigned>(path[--depth]), 1);
        tree_.Update(c);
    }
    void Position(int position)
    {
        static const PositionCodes codes;
        const auto upper = static_cast<size_t>(position >> 6);
        const int len = codes.len[upper];
        out_.Put(static_cast<unsigned>(codes.code[upper]) >> (8 - len), len);
        out_.Put(static_cast<unsigned>(position & 0x3F), 6);
    }

private:
    BitWriter& out_;
    TLZHTree tree_;
};
} // namespace

QByteArray LZHEncode(const QByteArray& data, LZHEncodeStats* stats)
{
    // The decoder's ring starts with N_RING - F blanks; matches may reach
    // back into them, as into everything written since.
    const int prefix = N_RING - F;
    std::vector<uint8_t> v(static_cast<size_t>(prefix), 0x20);
    v.insert(v.end(), data.begin(), data.end());
    const int total = static_cast<int>(v.size());

    constexpr int kHashBits = 15;
    constexpr int kChain = 256;
    std::vector<int> head(1u << kHashBits, -1);
    std::vector<int> prev(static_cast<size_t>(total), -1);
    auto hash = [&v](int i) {
        return ((v[static_cast<size_t>(i)] << 10) ^ (v[static_cast<size_t>(i) + 1] << 5)
                ^ v[static_cast<size_t>(i) + 2])
               & ((1 << kHashBits) - 1);
    };
    auto insert = [&](int i) {
        if (i + 2 >= total)
            return;
        const int h = hash(i);
        prev[static_cast<size_t>(i)] = head[static_cast<size_t>(h)];
        head[static_cast<size_t>(h)] = i;
    };
    for (int i = 0; i < prefix; ++i)
        insert(i);

    BitWriter bits;
    Encoder enc(bits);
    LZHEncodeStats st;
    int pos = prefix;
    while (pos < total) {
        int bestLen = 0, bestDist = 0;
        const int maxLen = std::min(F, total - pos);
        if (maxLen > THRESHOLD) {
            int steps = 0;
            for (int s = head[static_cast<size_t>(hash(pos))]; s >= 0 && steps < kChain;
                 s = prev[static_cast<size_t>(s)], ++steps) {
                const int dist = pos - s;
                if (dist > N_RING)
                    break;
                int len = 0;
                while (len < maxLen
                       && v[static_cast<size_t>(s) + static_cast<size_t>(len)]
                              == v[static_cast<size_t>(pos) + static_cast<size_t>(len)])
                    ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = dist;
                    if (len == maxLen)
                        break;
                }
            }
        }
        if (bestLen > THRESHOLD) {
            enc.Symbol(255 - THRESHOLD + bestLen);
            enc.Position(bestDist - 1);
            ++st.matches;
            st.shortestMatch = st.shortestMatch == 0 ? bestLen : std::min(st.shortestMatch, bestLen);
            st.longestMatch = std::max(st.longestMatch, bestLen);
        } else {
            bestLen = 1;
            enc.Symbol(v[static_cast<size_t>(pos)]);
            ++st.literals;
        }
        for (int k = 0; k < bestLen; ++k)
            insert(pos + k);
        pos += bestLen;
    }
    if (stats)
        *stats = st;
    return bits.Finish();
}

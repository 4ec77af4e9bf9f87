#include "skin/LZH.h"

#include <cstring>

using namespace lzh;

void TLZHTree::Start()
{
    for (int i = 0; i < N_CHAR; ++i) {
        freq[i] = 1;
        son[i] = static_cast<int16_t>(i + T);
        prnt[i + T] = static_cast<int16_t>(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
        son[j] = static_cast<int16_t>(i);
        prnt[i] = prnt[i + 1] = static_cast<int16_t>(j);
    }
    freq[T] = 0xFFFF;
    prnt[R] = 0;
}

// Halves the counts and rebuilds the internal nodes keeping freq sorted.
void TLZHTree::Rebuild()
{
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (son[i] >= T) {
            freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    for (int i = 0, n = N_CHAR; n < T; i += 2, ++n) {
        const unsigned f = static_cast<unsigned>(freq[i]) + freq[i + 1];
        freq[n] = static_cast<uint16_t>(f);
        int k = n - 1;
        while (k >= 0 && f < freq[k])
            --k;
        ++k;
        const auto moved = static_cast<size_t>(n - k);
        std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
        freq[k] = static_cast<uint16_t>(f);
        std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
        son[k] = static_cast<int16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        if (k >= T)
            prnt[k] = static_cast<int16_t>(i);
        else
            prnt[k] = prnt[k + 1] = static_cast<int16_t>(i);
    }
}

void TLZHTree::Update(int symbol)
{
    if (freq[R] == MAX_FREQ)
        Rebuild();
    int c = prnt[symbol + T];
    do {
        const unsigned k = ++freq[c];
        int l = c + 1;
        if (k > freq[l]) {
            while (k > freq[++l]) {}
            --l;
            freq[c] = freq[l];
            freq[l] = static_cast<uint16_t>(k);

            const int i = son[c];
            prnt[i] = static_cast<int16_t>(l);
            if (i < T)
                prnt[i + 1] = static_cast<int16_t>(l);

            const int j = son[l];
            son[l] = static_cast<int16_t>(i);
            prnt[j] = static_cast<int16_t>(c);
            if (j < T)
                prnt[j + 1] = static_cast<int16_t>(c);
            son[c] = static_cast<int16_t>(j);
            c = l;
        }
        c = prnt[c];
    } while (c != 0);
}

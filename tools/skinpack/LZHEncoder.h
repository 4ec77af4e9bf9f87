#pragma once
// Encoder of the LZHUF scheme the skin decoder reads: greedy LZSS matching
// over the same 4,096-byte ring, coded with the same adaptive tree.

#include <QByteArray>

struct LZHEncodeStats {
    long literals = 0;
    long matches = 0;
    int shortestMatch = 0;
    int longestMatch = 0;
};

// The bit stream alone (no size word).
QByteArray LZHEncode(const QByteArray& data, LZHEncodeStats* stats = nullptr);

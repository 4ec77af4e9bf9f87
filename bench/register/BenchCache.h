#pragma once
#include <QString>
#include <cstdint>

// Generated registers are kept under a cache folder, keyed by row count, seed
// and the set-up tool's schema, so reruns skip the generation.
struct TCachedRegister {
    QString folder;    // holds _.udb as generated
    QString plainPath; // the same rows in a plain, unindexed file
    QString error;
};

TCachedRegister CachedRegister(const QString& cacheRoot, std::int64_t rows, std::uint64_t seed);

// Size of a file in bytes, 0 when missing.
std::int64_t FileBytes(const QString& path);

#include "db/LikeMatch.h"
#include "db/Sqlite.h"

#include <algorithm>

namespace {

unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

bool sameByte(char a, char b) { return fold(static_cast<unsigned char>(a)) == fold(static_cast<unsigned char>(b)); }

// Length of the UTF-8 character starting at text[i] (at least 1).
std::size_t characterLength(std::string_view text, std::size_t i)
{
    std::size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

bool hasWildcard(std::string_view s)
{
    for (char c : s)
        if (c == '%' || c == '_')
            return true;
    return false;
}

bool hasAsciiLetter(std::string_view s)
{
    for (char c : s)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return true;
    return false;
}

// Where needle first occurs in text, or npos.
template <typename Same>
std::size_t findWith(std::string_view text, std::string_view needle, Same same)
{
    const std::size_t m = needle.size();
    if (m == 0)
        return 0;
    if (m > text.size())
        return std::string_view::npos;
    const char* t = text.data();
    const char* n = needle.data();
    const std::size_t last = text.size() - m;
    // The last byte of a CJK character varies more than its first: test it first.
    for (std::size_t i = 0; i <= last; ++i) {
        if (!same(t[i + m - 1], n[m - 1]) || !same(t[i], n[0]))
            continue;
        std::size_t k = 1;
        while (k + 1 < m && same(t[i + k], n[k]))
            ++k;
        if (k + 1 >= m)
            return i;
    }
    return std::string_view::npos;
}

std::size_t findPlain(std::string_view text, std::string_view needle)
{
    return findWith(text, needle, [](char a, char b) { return a == b; });
}

std::size_t findFolded(std::string_view text, std::string_view needle) { return findWith(text, needle, sameByte); }

bool containsPlain(std::string_view text, std::string_view needle)
{
    return findPlain(text, needle) != std::string_view::npos;
}

bool containsFolded(std::string_view text, std::string_view needle)
{
    return findFolded(text, needle) != std::string_view::npos;
}

// Wildcard matching with one resumable '%': on a mismatch the last '%'
// takes one more character of the text.
bool matchGeneral(std::string_view p, std::string_view t)
{
    std::size_t pi = 0, ti = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == '%') {
            starP = ++pi;
            starT = ti;
        } else if (pi < p.size() && p[pi] == '_') {
            ++pi;
            ti += characterLength(t, ti);
        } else if (pi < p.size() && sameByte(p[pi], t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::string_view::npos) {
            starT += characterLength(t, starT);
            ti = starT;
            pi = starP;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '%')
        ++pi;
    return pi == p.size();
}

void likeFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const unsigned char* pattern = sqlite3_value_text(argv[0]);
    const unsigned char* text = sqlite3_value_text(argv[1]);
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    if (patternBytes > sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    if (!pattern || !text)
        return; // null
    const std::string_view p(reinterpret_cast<const char*>(pattern), static_cast<std::size_t>(patternBytes));
    const std::string_view t(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_value_bytes(argv[1])));
    sqlite3_result_int(context, LikeMatches(p, t) ? 1 : 0);
}

} // namespace

TLikePattern::TLikePattern(std::string_view pattern) : pattern_(pattern), kind_(Kind::General)
{
    // '%word%' with no other wildcard: is word in the text?
    if (pattern.size() >= 2 && pattern.front() == '%' && pattern.back() == '%') {
        const std::string_view word = pattern.substr(1, pattern.size() - 2);
        if (!hasWildcard(word)) {
            word_ = word;
            kind_ = hasAsciiLetter(word) ? Kind::ContainsFolded : Kind::Contains;
        } else if (word.find('_') == std::string_view::npos) {
            // '%one%two%': the words in that order, each as early as it occurs.
            kind_ = Kind::Words;
            for (std::size_t at = 0; at <= word.size();) {
                const std::size_t end = std::min(word.find('%', at), word.size());
                if (end > at)
                    words_.push_back(word.substr(at, end - at));
                at = end + 1;
            }
        }
    }
}

bool TLikePattern::matches(std::string_view text) const
{
    switch (kind_) {
    case Kind::Contains: return containsPlain(text, word_);
    case Kind::ContainsFolded: return containsFolded(text, word_);
    case Kind::Words: {
        std::size_t at = 0;
        for (const std::string_view w : words_) {
            const std::size_t found =
                hasAsciiLetter(w) ? findFolded(text.substr(at), w) : findPlain(text.substr(at), w);
            if (found == std::string_view::npos)
                return false;
            at += found + w.size();
        }
        return true;
    }
    case Kind::General: break;
    }
    return matchGeneral(pattern_, text);
}

bool LikeMatches(std::string_view pattern, std::string_view text) { return TLikePattern(pattern).matches(text); }

void InstallLikeFunction(sqlite3* db)
{
    if (sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr,
                                nullptr)
        != SQLITE_OK)
        RaiseEngineError(db);
}

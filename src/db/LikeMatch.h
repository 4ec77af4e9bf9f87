#pragma once
#include <string_view>
#include <vector>

struct sqlite3;

// "text like pattern" by the engine's own rules: '%' matches any run of
// characters, '_' one character, ASCII letters match either case, every
// other character only itself. Both are UTF-8.
bool LikeMatches(std::string_view pattern, std::string_view text);

// A pattern looked at once, then matched against many texts by the same
// rules as LikeMatches. It refers to `pattern`, which must outlive it.
class TLikePattern {
public:
    explicit TLikePattern(std::string_view pattern);
    bool matches(std::string_view text) const;

private:
    enum class Kind { Contains, ContainsFolded, Words, General };
    std::string_view pattern_;
    std::string_view word_;               // the word between the '%'s of a Contains pattern
    std::vector<std::string_view> words_; // the words between the '%'s of a Words pattern
    Kind kind_;
};

// Puts LikeMatches in place of the engine's two-argument like() on `db`.
// Searches are "like '%keyword%'" over every row: a plain substring search
// does that several times faster than the general matcher. Raises
// EDatabaseError with the engine's message.
void InstallLikeFunction(sqlite3* db);

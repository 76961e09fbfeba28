#include "reg-tool/wildcard.h"

#include <cstddef>

namespace reg_tool {

namespace {

// Bytes of the character at s[i]: a UTF-8 lead byte and its continuations.
std::size_t CharLength(std::string_view s, std::size_t i) {
    std::size_t n = 1;
    while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
    return n;
}

}  // namespace

// Greedy matching with one point to go back to, the last *: linear for
// patterns without stars and at worst text times pattern, never exponential.
bool MatchesWildcard(std::string_view text, std::string_view pattern) {
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '?') {
            t += CharLength(text, t);
            ++p;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++t, ++p;
        } else if (starP != std::string_view::npos) {
            starT += CharLength(text, starT);
            t = starT;
            p = starP;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace reg_tool

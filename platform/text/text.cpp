#include "platform/text/text.h"

namespace platform::text {
namespace {

// Byte length of the sequence that starts at s[i], never past the end and
// never longer than the well-formed prefix. Well-formed means the shortest
// form of a code point up to U+10FFFF that is not a surrogate: an overlong
// form, a surrogate or a number past U+10FFFF would decode to something
// UTF-16 cannot carry, or to another character than the bytes seem to say.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t want = 1;
    // The range the second byte must be in; the later ones are 80..BF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        want = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        want = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        want = 4;
        if (lead == 0xF0) low = 0x90;   // no overlong forms
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    }
    std::size_t n = 1;
    while (n < want && i + n < s.size()) {
        const auto next = static_cast<unsigned char>(s[i + n]);
        const bool fits = n == 1 ? next >= low && next <= high : (next & 0xC0) == 0x80;
        if (!fits) break;
        ++n;
    }
    return n == want ? n : 1;
}

// Byte offset of the character with index chars, or s.size() past the end.
std::size_t ByteOffset(std::string_view s, std::size_t chars) {
    std::size_t i = 0;
    while (chars > 0 && i < s.size()) {
        i += SequenceLength(s, i);
        --chars;
    }
    return i;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = SequenceLength(s, i);
        if (n == 1 && static_cast<unsigned char>(s[i]) >= 0x80) return false;
        i += n;
    }
    return true;
}

std::size_t Length(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += SequenceLength(s, i)) ++count;
    return count;
}

std::string Left(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, ByteOffset(s, n)));
}

std::string Right(std::string_view s, std::size_t n) {
    const std::size_t total = Length(s);
    if (n >= total) return std::string(s);
    return std::string(s.substr(ByteOffset(s, total - n)));
}

std::string Mid(std::string_view s, std::size_t start, std::size_t count) {
    const std::size_t from = ByteOffset(s, start);
    if (count == std::string::npos) return std::string(s.substr(from));
    const std::size_t to = from + ByteOffset(s.substr(from), count);
    return std::string(s.substr(from, to - from));
}

std::string LastChar(std::string_view s) { return s.empty() ? std::string() : Right(s, 1); }

std::string TrimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16(char32_t cp, std::u16string& out) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

std::u16string ToUtf16(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = SequenceLength(s, i);
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp = b0;
        if (n == 2) cp = ((b0 & 0x1Fu) << 6) | (s[i + 1] & 0x3F);
        if (n == 3) cp = ((b0 & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3F);
        if (n == 4)
            cp = ((b0 & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) |
                 (s[i + 3] & 0x3F);
        if (n == 1 && b0 >= 0x80) cp = 0xFFFD;  // not valid UTF-8
        AppendUtf16(cp, out);
        i += n;
    }
    return out;
}

std::string FromUtf16(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(cp, out);
    }
    return out;
}

}  // namespace platform::text

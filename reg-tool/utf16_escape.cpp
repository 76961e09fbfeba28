#include "reg-tool/utf16_escape.h"

#include "platform/text/text.h"

namespace reg_tool {

namespace {

// Length of the valid UTF-8 sequence at s[i] (shortest form, no surrogates,
// at most U+10FFFF), or 0 when there is none.
std::size_t ValidSequence(std::string_view s, std::size_t i, char32_t* cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        *cp = b0;
        return 1;
    }
    std::size_t n = 0;
    char32_t value = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0)
        n = 2, value = b0 & 0x1F, min = 0x80;
    else if ((b0 & 0xF0) == 0xE0)
        n = 3, value = b0 & 0x0F, min = 0x800;
    else if ((b0 & 0xF8) == 0xF0)
        n = 4, value = b0 & 0x07, min = 0x10000;
    else
        return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        value = (value << 6) | (b & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *cp = value;
    return n;
}

}  // namespace

std::u16string ToUtf16Escaped(std::string_view bytes) {
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const std::size_t n = ValidSequence(bytes, i, &cp);
        if (n == 0) {
            out.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        platform::text::AppendUtf16(cp, out);
        i += n;
    }
    return out;
}

std::string FromUtf16Escaped(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            platform::text::AppendUtf8(
                0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.push_back(static_cast<char>(u - 0xDC00));
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            platform::text::AppendUtf8(0xFFFD, out);
        } else {
            platform::text::AppendUtf8(u, out);
        }
    }
    return out;
}

}  // namespace reg_tool

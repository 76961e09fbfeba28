#include "platform/posix/registry/name_folding.h"

#include <locale.h>
#include <wctype.h>

#include "platform/text/text.h"

namespace platform::posix {

namespace {

// The C.UTF-8 locale's case table, whatever locale the program runs in.
locale_t UnicodeCaseTable() {
    static const locale_t table = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return table;
}

char32_t Upper(char32_t cp) {
    if (cp < 0x80) return cp >= 'a' && cp <= 'z' ? cp - ('a' - 'A') : cp;
    const locale_t table = UnicodeCaseTable();
    if (cp >= 0x10000 || table == static_cast<locale_t>(0)) return cp;
    const wint_t upper = towupper_l(static_cast<wint_t>(cp), table);
    // A mapping that would leave the plane or land on a surrogate is not one Windows makes.
    return upper < 0x10000 && (upper < 0xD800 || upper > 0xDFFF) ? static_cast<char32_t>(upper)
                                                                 : cp;
}

// The code point of the valid UTF-8 sequence at s[i] and its length, or a
// length of 0 when none starts there.
char32_t Decode(std::string_view s, std::size_t i, std::size_t* length) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t n = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        *length = 1;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, cp = lead & 0x07;
    }
    if (n == 0 || i + n > s.size()) {
        *length = 0;
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            *length = 0;
            return 0;
        }
        cp = cp << 6 | (byte(i + k) & 0x3F);
    }
    const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        *length = 0;
        return 0;
    }
    *length = n;
    return cp;
}

}  // namespace

std::string FoldName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        std::size_t length = 0;
        const char32_t cp = Decode(name, i, &length);
        if (length == 0) {
            folded.push_back(name[i++]);
            continue;
        }
        text::AppendUtf8(Upper(cp), folded);
        i += length;
    }
    return folded;
}

}  // namespace platform::posix

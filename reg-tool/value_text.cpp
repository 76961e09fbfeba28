#include "reg-tool/value_text.h"

#include <array>
#include <cstdio>

#include "platform/registry/registry.h"
#include "platform/text/text.h"

namespace reg_tool {

namespace {

struct NamedType {
    std::uint32_t code;
    const char* name;
};

// The first name of a code is the one shown.
constexpr std::array<NamedType, 13> kTypes{{
    {platform::kRegNone, "REG_NONE"},
    {platform::kRegSz, "REG_SZ"},
    {platform::kRegExpandSz, "REG_EXPAND_SZ"},
    {platform::kRegBinary, "REG_BINARY"},
    {platform::kRegDword, "REG_DWORD"},
    {platform::kRegDwordBigEndian, "REG_DWORD_BIG_ENDIAN"},
    {platform::kRegLink, "REG_LINK"},
    {platform::kRegMultiSz, "REG_MULTI_SZ"},
    {8, "REG_RESOURCE_LIST"},
    {9, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {10, "REG_RESOURCE_REQUIREMENTS_LIST"},
    {kRegQword, "REG_QWORD"},
    {platform::kRegDword, "REG_DWORD_LITTLE_ENDIAN"},
}};

std::optional<std::uint64_t> ParseNumber(const std::string& text, std::uint64_t max) {
    std::string digits = text;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        digits = text.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        if (value > (max - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base))
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    return value;
}

// Two hexadecimal digits a byte; an odd count has its first digit stand alone, as if
// written with a leading 0 ("abc" is 0A BC).
std::optional<Bytes> ParseHex(const std::string& text) {
    const std::string digits = text.size() % 2 != 0 ? "0" + text : text;
    Bytes out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const auto byte = ParseNumber("0x" + digits.substr(i, 2), 0xFF);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(*byte));
    }
    return out;
}

Bytes LittleEndianBytes(std::uint64_t value, int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) out.push_back((value >> (8 * i)) & 0xFF);
    return out;
}

Bytes TextWithNul(const std::string& data) {
    Bytes out(data.begin(), data.end());
    out.push_back(0);
    return out;
}

// Each string ends with the separator or the data's end: "fax\0mail\0" and
// "fax\0mail" are the same two strings; the separator alone is the empty list.
std::optional<Bytes> MultiStringData(const std::string& data, const std::string& separator,
                                     std::string* error) {
    if (data == separator) return Bytes{0, 0};
    Bytes out;
    std::size_t start = 0;
    while (start < data.size()) {
        const std::size_t end = data.find(separator, start);
        const std::string part = data.substr(start, end - start);
        if (part.empty()) {
            *error = "ERROR: A REG_MULTI_SZ value cannot hold an empty string.";
            return std::nullopt;
        }
        out.insert(out.end(), part.begin(), part.end());
        out.push_back(0);
        if (end == std::string::npos) break;
        start = end + separator.size();
    }
    out.push_back(0);
    return out;
}

// A DWORD is stored little-endian whatever its type says: REG_DWORD_BIG_ENDIAN
// too, as Windows' own reg has always stored it. A QWORD also takes a negative
// decimal number, stored in two's complement ("-1" sets every bit).
std::optional<Bytes> NumberData(std::uint32_t type, const std::string& data, std::string* error) {
    const bool wide = type == kRegQword;
    std::optional<std::uint64_t> value;
    if (wide && data.size() > 1 && data[0] == '-' && data[1] != '0') {
        const auto magnitude = ParseNumber(data.substr(1), std::uint64_t{1} << 63);
        if (magnitude) value = ~*magnitude + 1;
    } else {
        value = ParseNumber(data, wide ? UINT64_MAX : UINT32_MAX);
    }
    if (!value) {
        *error = "ERROR: Invalid " + TypeName(type) + " data \"" + data +
                 "\": give a decimal number or 0x and hexadecimal digits, at most " +
                 (wide ? "18446744073709551615 (or a negative number down to "
                         "-9223372036854775808)."
                       : "4294967295 (0xffffffff).");
        return std::nullopt;
    }
    return LittleEndianBytes(*value, wide ? 8 : 4);
}

// REG_NONE data given as text is stored as Windows stores such text: UTF-16LE
// with its terminating NUL.
Bytes Utf16TextWithNul(const std::string& data) {
    Bytes out;
    for (const char16_t unit : platform::text::ToUtf16(data)) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    out.insert(out.end(), {0, 0});
    return out;
}

std::string TextBeforeNul(const Bytes& data) {
    std::string s(data.begin(), data.end());
    return s.substr(0, s.find('\0'));
}

std::uint64_t LittleEndian(const Bytes& data, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint64_t{data[i]} << (8 * i);
    return value;
}

std::string Hex(std::uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

}  // namespace

std::string TypeName(std::uint32_t type) {
    for (const auto& t : kTypes) {
        if (t.code == type) return t.name;
    }
    return "REG_UNKNOWN";
}

std::optional<std::uint32_t> TypeFromName(const std::string& name) {
    for (const auto& t : kTypes) {
        if (platform::text::EqualsIgnoreCase(name, t.name)) return t.code;
    }
    return std::nullopt;
}

std::optional<Bytes> DataFromText(std::uint32_t type, const std::string& data,
                                  const std::string& separator, std::string* error) {
    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
            return TextWithNul(data);
        case platform::kRegMultiSz:
            return MultiStringData(data, separator, error);
        case platform::kRegNone:
            return Utf16TextWithNul(data);
        case platform::kRegLink:
            return Bytes(data.begin(), data.end());
        case platform::kRegDword:
        case platform::kRegDwordBigEndian:
        case kRegQword:
            return NumberData(type, data, error);
        default: {
            const auto bytes = ParseHex(data);
            if (!bytes) {
                *error = "ERROR: Invalid " + TypeName(type) + " data \"" + data +
                         "\": give hexadecimal digits, two for each byte.";
            }
            return bytes;
        }
    }
}

std::string DisplayData(std::uint32_t type, const Bytes& data, const std::string& separator) {
    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
            return TextBeforeNul(data);
        case platform::kRegMultiSz: {
            std::string s(data.begin(), data.end());
            while (!s.empty() && s.back() == '\0') s.pop_back();
            std::string shown;
            for (const char c : s) shown += c == '\0' ? separator : std::string(1, c);
            return shown;
        }
        case platform::kRegDword:
        case platform::kRegDwordBigEndian:
            if (data.size() == 4) return Hex(LittleEndian(data, 4));
            break;
        case kRegQword:
            if (data.size() == 8) return Hex(LittleEndian(data, 8));
            break;
        default:
            break;
    }
    return HexDigits(data);
}

std::string HexDigits(const Bytes& data) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const auto b : data) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

}  // namespace reg_tool

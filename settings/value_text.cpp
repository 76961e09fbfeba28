#include "settings/value_text.h"

#include <algorithm>

#include "platform/registry/registry.h"

namespace settings {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::optional<std::string> ValueText(std::uint32_t type, const std::vector<std::uint8_t>& data) {
    const std::string raw(data.begin(), data.end());
    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz: {
            const std::string::size_type nul = raw.find('\0');
            if (nul == std::string::npos) return std::nullopt;
            return raw.substr(0, nul);
        }
        case platform::kRegMultiSz: {
            std::string text = raw;
            const std::string::size_type lastNul = text.rfind('\0');
            if (lastNul == std::string::npos) return std::nullopt;
            text.erase(lastNul);
            while (!text.empty() && text.back() == '\0') text.pop_back();
            return text;
        }
        case platform::kRegBinary: {
            std::string text;
            text.reserve(data.size() * 3);
            for (const std::uint8_t byte : data) {
                text += kHexDigits[byte >> 4];
                text += kHexDigits[byte & 0x0F];
                text += ' ';
            }
            return text;
        }
        case platform::kRegDword: {
            // Never more than the four bytes the number has: a longer value
            // fails the read instead of overrunning it.
            if (data.size() > 4) return std::nullopt;
            std::uint8_t bytes[4] = {0, 0, 0, 0};
            std::copy(data.begin(), data.end(), bytes);
            const std::uint32_t bits = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                       (static_cast<std::uint32_t>(bytes[3]) << 24);
            return std::to_string(static_cast<std::int32_t>(bits));
        }
        default:
            return std::string();
    }
}

}  // namespace settings

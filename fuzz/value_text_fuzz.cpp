// EasyReg's text of a stored value, on any type and bytes: the first byte
// picks the type, the rest are the data. The text must say exactly what the
// bytes hold, and bytes that cannot be the type must give none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "settings/value_text.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t type = input[0] % 9;
    const std::vector<std::uint8_t> data(input + 1, input + size);
    const std::string raw(data.begin(), data.end());
    const auto text = settings::ValueText(type, data);
    const bool hasNul = raw.find('\0') != std::string::npos;

    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
            Check(text.has_value() == hasNul);
            if (text) Check(*text == raw.substr(0, raw.find('\0')));
            break;
        case platform::kRegMultiSz:
            Check(text.has_value() == hasNul);
            if (text) {
                Check(raw.compare(0, text->size(), *text) == 0);
                Check(text->empty() || text->back() != '\0');
                // Only NULs follow it up to the last one.
                Check(raw.find_first_not_of('\0', text->size()) == std::string::npos ||
                      raw.find_first_not_of('\0', text->size()) > raw.rfind('\0'));
            }
            break;
        case platform::kRegBinary: {
            Check(text && text->size() == data.size() * 3);
            for (std::size_t i = 0; i < data.size(); ++i) {
                Check((*text)[i * 3 + 2] == ' ');
                Check(HexValue((*text)[i * 3]) * 16 + HexValue((*text)[i * 3 + 1]) == data[i]);
            }
            break;
        }
        case platform::kRegDword: {
            Check(text.has_value() == (data.size() <= 4));
            if (!text) break;
            std::uint32_t bits = 0;
            for (std::size_t i = 0; i < data.size(); ++i) bits |= std::uint32_t{data[i]} << (8 * i);
            Check(std::stoll(*text) == static_cast<std::int32_t>(bits));
            break;
        }
        default:
            Check(text && text->empty());
    }
    return 0;
}

// The character-counting helpers on any bytes: cuts only between
// characters, counts agree with UTF-16, and valid text survives UTF-16.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/text/text.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::size_t CodePoints(const std::u16string& units) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        Check(!low);  // never alone
        if (high) {
            Check(i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF);
            ++i;
        }
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    const std::size_t length = platform::text::Length(s);
    Check(length <= s.size());
    const std::u16string wide = platform::text::ToUtf16(s);
    Check(CodePoints(wide) == length);
    if (platform::text::IsValidUtf8(s)) Check(platform::text::FromUtf16(wide) == s);
    Check(platform::text::IsValidUtf8(platform::text::FromUtf16(wide)));

    for (std::size_t n : {std::size_t{0}, std::size_t{1}, length / 2, length, length + 3}) {
        const std::string left = platform::text::Left(s, n);
        Check(left + platform::text::Mid(s, n) == s);
        Check(platform::text::Length(left) == (n < length ? n : length));
        Check(platform::text::Right(s, length - (n < length ? n : length)) ==
              platform::text::Mid(s, n));
    }
    Check(platform::text::LastChar(s) == (s.empty() ? "" : platform::text::Right(s, 1)));
    const std::string trimmed = platform::text::TrimSpaces(s);
    Check(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
    Check(platform::text::EqualsIgnoreCase(s, platform::text::AsciiLower(s)));

    // Any UTF-16 units come back as valid UTF-8.
    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    Check(platform::text::IsValidUtf8(platform::text::FromUtf16(units)));
    return 0;
}

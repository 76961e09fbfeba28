#include "settings/value_text.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"

namespace settings {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(ValueTextTest, EachTypeAsEasyRegShowsIt) {
    EXPECT_EQ(ValueText(platform::kRegSz, Of(std::string("ab\0cd\0", 6))), "ab");
    EXPECT_EQ(ValueText(platform::kRegExpandSz, Of(std::string("%x%\0", 4))), "%x%");
    EXPECT_EQ(ValueText(platform::kRegMultiSz, Of(std::string("a\0b\0\0", 5))),
              std::string("a\0b", 3));
    EXPECT_EQ(ValueText(platform::kRegBinary, {0x00, 0xAB, 0x7f}), "00 AB 7F ");
    EXPECT_EQ(ValueText(platform::kRegBinary, {}), "");
    EXPECT_EQ(ValueText(platform::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}), "-1");
    EXPECT_EQ(ValueText(platform::kRegDword, {0x10, 0x01}), "272") << "short: the rest is 0";
    EXPECT_EQ(ValueText(platform::kRegNone, {1, 2}), "");
}

TEST(ValueTextTest, BytesThatCannotBeTheirTypeAreNoText) {
    EXPECT_EQ(ValueText(platform::kRegSz, Of("no terminator")), std::nullopt);
    EXPECT_EQ(ValueText(platform::kRegSz, {}), std::nullopt);
    EXPECT_EQ(ValueText(platform::kRegMultiSz, Of("a")), std::nullopt);
    EXPECT_EQ(ValueText(platform::kRegDword, {1, 0, 0, 0, 0}), std::nullopt);
}

}  // namespace
}  // namespace settings

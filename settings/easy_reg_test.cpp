#include "settings/easy_reg.h"

#include <gtest/gtest.h>

#include "platform/testing/memory_registry.h"
#include "platform/testing/test_registry.h"

namespace settings {
namespace {

using namespace platform::testing;

constexpr std::int32_t kHkcu = static_cast<std::int32_t>(platform::kHkeyCurrentUser);
const std::string kKey = "Software\\Tamsholt\\Kestrow 2005";

class EasyRegTest : public ::testing::Test {
  protected:
    EasyRegTest() : registry(std::make_unique<platform::testing::MemoryRegistry>()), reg(registry) {
        reg.DefaultHive(kHkcu);
        reg.DefaultSubKey(kKey);
        WriteRaw(registry, "Software", "marker", platform::kRegDword, Dword(0));
    }
    ~EasyRegTest() override { EXPECT_EQ(registry.handlesOpen, 0) << "a member left a key open"; }

    std::string Get(const std::string& name, bool& ok, const std::string& def = "") {
        return reg.GetValue(name, ok, def);
    }

    platform::testing::TestRegistry registry;
    EasyReg reg;
};

TEST_F(EasyRegTest, MissingValuesAndKeysAnswerTheDefaultUnread) {
    bool ok = true;
    EXPECT_EQ(Get("Nothing", ok, "fallback"), "fallback");
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(reg.GetValue("Nothing", ok, "d", 0, "Software\\Absent"), "d");
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(Get("Nothing", ok), "");
    EXPECT_FALSE(ok);
}

TEST_F(EasyRegTest, EmptyTextOfAReadValueBecomesTheDefaultButCountsAsRead) {
    ASSERT_TRUE(reg.SetString("Empty", ""));
    bool ok = false;
    EXPECT_EQ(Get("Empty", ok, "fallback"), "fallback");
    EXPECT_TRUE(ok);
    WriteRaw(registry, kKey, "Bin", platform::kRegBinary, {});
    ok = false;
    EXPECT_EQ(Get("Bin", ok, "x"), "x");
    EXPECT_TRUE(ok);
}

TEST_F(EasyRegTest, DwordsAreStoredLittleEndianAndReadAsSignedDecimal) {
    ASSERT_TRUE(reg.SetDWord("One", 1));
    auto raw = ReadRaw(registry, kKey, "One");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, platform::kRegDword);
    EXPECT_EQ(raw->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));

    ASSERT_TRUE(reg.SetDWord("Minus", -1));
    EXPECT_EQ(ReadRaw(registry, kKey, "Minus")->data, Dword(0xFFFFFFFFu));

    WriteRaw(registry, kKey, "Zero", platform::kRegDword, Dword(0));
    WriteRaw(registry, kKey, "Big", platform::kRegDword, Dword(0x80000000u));
    bool ok = false;
    EXPECT_EQ(Get("One", ok), "1");
    EXPECT_TRUE(ok);
    EXPECT_EQ(Get("Zero", ok, "d"), "0");
    EXPECT_EQ(Get("Minus", ok), "-1");
    EXPECT_EQ(Get("Big", ok), "-2147483648");
}

TEST_F(EasyRegTest, DwordLongerThanFourBytesIsNotReadPastItsNumber) {
    WriteRaw(registry, kKey, "Long", platform::kRegDword, {1, 0, 0, 0, 7, 7, 7, 7});
    bool ok = true;
    EXPECT_EQ(Get("Long", ok, "d"), "d");
    EXPECT_FALSE(ok);
}

TEST_F(EasyRegTest, StringsKeepTheirTerminatorAndReadUpToTheFirstNul) {
    ASSERT_TRUE(reg.SetString("Delay", "100"));
    auto raw = ReadRaw(registry, kKey, "Delay");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, platform::kRegSz);
    EXPECT_EQ(raw->data, Text(std::string("100\0", 4)));
    bool ok = false;
    EXPECT_EQ(Get("Delay", ok), "100");
    EXPECT_TRUE(ok);

    WriteRaw(registry, kKey, "Two", platform::kRegSz, Text(std::string("ab\0cd\0", 6)));
    EXPECT_EQ(Get("Two", ok), "ab");

    ASSERT_TRUE(reg.SetExpandableString("Path", "%HOME%\\x"));
    EXPECT_EQ(Get("Path", ok), "%HOME%\\x") << "references are not expanded";
    EXPECT_EQ(ReadRaw(registry, kKey, "Path")->type, platform::kRegExpandSz);

    ASSERT_TRUE(reg.SetString("Unicode", "Проекты"));
    EXPECT_EQ(Get("Unicode", ok), "Проекты");
}

TEST_F(EasyRegTest, ValuesOfEveryLengthReadWhole) {
    // Around the size of the first read, and well past it.
    bool ok = false;
    for (std::size_t length : {0, 1, 254, 255, 256, 257, 4000}) {
        const std::string text(length, 'x');
        ASSERT_TRUE(reg.SetString("Long", text));
        EXPECT_EQ(Get("Long", ok, "d"), length ? text : "d") << length;
        EXPECT_TRUE(ok);
        WriteRaw(registry, kKey, "Bin", platform::kRegBinary, Text(text));
        EXPECT_EQ(Get("Bin", ok).size(), 3 * length) << length;
    }
}

TEST_F(EasyRegTest, MultiStringsJoinWithSingleNuls) {
    ASSERT_TRUE(reg.SetMultiString("List", std::string("a\0b", 3)));
    bool ok = false;
    EXPECT_EQ(Get("List", ok), std::string("a\0b", 3));
    EXPECT_TRUE(ok);
    WriteRaw(registry, kKey, "Padded", platform::kRegMultiSz, Text(std::string("a\0b\0\0\0", 6)));
    EXPECT_EQ(Get("Padded", ok), std::string("a\0b", 3));
}

TEST_F(EasyRegTest, BinaryReadsAsUpperCaseHexEachFollowedByABlank) {
    WriteRaw(registry, kKey, "Bin", platform::kRegBinary, {0x01, 0x00, 0x0A, 0xFF});
    bool ok = false;
    EXPECT_EQ(Get("Bin", ok), "01 00 0A FF ");
    EXPECT_TRUE(ok);
    // SetBinary stores the text's own bytes, not hex.
    ASSERT_TRUE(reg.SetBinary("Raw", "AB"));
    EXPECT_EQ(ReadRaw(registry, kKey, "Raw")->data, Text("AB"));
    EXPECT_EQ(Get("Raw", ok), "41 42 ");
}

TEST_F(EasyRegTest, OtherTypesReadAsTheDefault) {
    WriteRaw(registry, kKey, "Link", platform::kRegLink, Text("x"));
    bool ok = false;
    EXPECT_EQ(Get("Link", ok, "d"), "d");
    EXPECT_TRUE(ok);
}

TEST_F(EasyRegTest, TypeNames) {
    reg.SetString("S", "x");
    reg.SetExpandableString("E", "x");
    reg.SetBinary("B", "x");
    reg.SetDWord("D", 3);
    reg.SetMultiString("M", "x");
    WriteRaw(registry, kKey, "BE", platform::kRegDwordBigEndian, Dword(1));
    WriteRaw(registry, kKey, "L", platform::kRegLink, Text("x"));
    EXPECT_EQ(reg.GetValueType("S"), "STRING");
    EXPECT_EQ(reg.GetValueType("E"), "EXPANDABLE STRING");
    EXPECT_EQ(reg.GetValueType("B"), "BINARY");
    EXPECT_EQ(reg.GetValueType("D"), "DWORD");
    EXPECT_EQ(reg.GetValueType("M"), "MULTIPLE STRING");
    EXPECT_EQ(reg.GetValueType("BE"), "UNKNOWN");
    EXPECT_EQ(reg.GetValueType("L"), "UNKNOWN");
    EXPECT_EQ(reg.GetValueType("Missing"), "");
    EXPECT_EQ(reg.GetValueType("S", 0, "Software\\Absent"), "");
}

TEST_F(EasyRegTest, WritersCreateTheMissingPathBelowAnExistingComponent) {
    const std::string deep = "Software\\New\\Deeper\\Deepest";
    ASSERT_FALSE(reg.ExistingKey(0, "Software\\New"));
    EXPECT_TRUE(reg.SetString("Name", "v", 0, deep));
    EXPECT_TRUE(reg.ExistingKey(0, "Software\\New\\Deeper"));
    bool ok = false;
    EXPECT_EQ(reg.GetValue("Name", ok, "", 0, deep), "v");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(ReadRaw(registry, "Software", "marker")) << "the existing key keeps its values";
}

TEST_F(EasyRegTest, WritersCreateAPathWhoseFirstComponentIsMissing) {
    EXPECT_TRUE(reg.SetDWord("N", 7, 0, "Fresh\\Branch"));
    EXPECT_EQ(ReadRaw(registry, "Fresh\\Branch", "N")->data, Dword(7));
}

TEST_F(EasyRegTest, SurroundingBlanksAndBackslashesAddressTheSameKey) {
    EXPECT_TRUE(reg.SetString("V", "padded", 0, "  \\\\Software\\Tamsholt\\Kestrow 2005\\\\ "));
    bool ok = false;
    EXPECT_EQ(reg.GetValue("V", ok, "", kHkcu, kKey), "padded");
    EXPECT_TRUE(reg.ExistingValue("V", 0, "\\" + kKey + "\\"));
    reg.DefaultSubKey(" \\" + kKey + "\\ ");
    EXPECT_EQ(reg.GetValue("V", ok), "padded");
    EXPECT_EQ(reg.DefaultSubKey(), " \\" + kKey + "\\ ") << "the property keeps what was set";

    // A blank that a trimmed backslash uncovers: writers, which trim on
    // their way more than once, and readers must reach one and the same key.
    const std::string uncovered = "Software\\Foo \\";
    EXPECT_TRUE(reg.SetString("W", "written", 0, uncovered));
    EXPECT_TRUE(reg.SetDWord("D", 7, 0, uncovered));
    EXPECT_EQ(reg.GetValue("W", ok, "", 0, uncovered), "written");
    EXPECT_TRUE(ok);
    EXPECT_EQ(reg.GetValue("D", ok, "", 0, uncovered), "7");
    EXPECT_TRUE(reg.ExistingKey(0, uncovered));
    EXPECT_EQ(reg.GetValueType("W", 0, uncovered), "STRING");
    EXPECT_TRUE(reg.DeleteValue("W", 0, uncovered));
}

TEST_F(EasyRegTest, CreateKeyAnswersTrueForExistingKeysAndCreatesBelowTheHive) {
    EXPECT_TRUE(reg.CreateKey("Software", 0, ""));
    EXPECT_TRUE(ReadRaw(registry, "Software", "marker")) << "an existing key is left alone";
    EXPECT_FALSE(reg.ExistingKey(0, "TopLevel"));
    EXPECT_TRUE(reg.CreateKey("TopLevel", kHkcu, ""));
    EXPECT_TRUE(reg.ExistingKey(0, "TopLevel"));
    EXPECT_TRUE(reg.CreateKey("\\A\\B\\", 0, "Software\\"));
    EXPECT_TRUE(reg.ExistingKey(0, "Software\\A\\B"));
    EXPECT_FALSE(reg.CreateKey("X", 0, "Software\\Missing")) << "the parent must exist";
}

TEST_F(EasyRegTest, ExistenceAndDeletion) {
    reg.SetDWord("V", 1);
    EXPECT_TRUE(reg.ExistingKey());
    EXPECT_TRUE(reg.ExistingValue("V"));
    EXPECT_FALSE(reg.ExistingValue("W"));
    EXPECT_TRUE(reg.DeleteValue("V"));
    EXPECT_FALSE(reg.ExistingValue("V"));
    EXPECT_FALSE(reg.DeleteValue("V"));

    EXPECT_FALSE(reg.DeleteKey(0, "Software\\Tamsholt")) << "it still has a sub-key";
    EXPECT_TRUE(reg.DeleteKey());
    EXPECT_FALSE(reg.ExistingKey());
    EXPECT_TRUE(reg.ExistingKey(0, "Software\\Tamsholt"));
    EXPECT_FALSE(reg.DeleteKey(0, " \\ ")) << "a path trimmed to nothing names the hive";
    EXPECT_TRUE(reg.ExistingKey(0, "Software"));
}

TEST(EasyRegDefaultsTest, PropertiesStartEmptyAndAnUnsetHiveFails) {
    platform::testing::TestRegistry registry(std::make_unique<platform::testing::MemoryRegistry>());
    EasyReg reg(registry);
    EXPECT_EQ(reg.DefaultHive(), 0);
    EXPECT_EQ(reg.DefaultSubKey(), "");
    EXPECT_FALSE(reg.SetString("V", "x", 0, "Software\\K"));
    EXPECT_FALSE(reg.ExistingKey(kHkcu, "Software\\K"));
    EXPECT_TRUE(reg.SetString("V", "x", kHkcu, "Software\\K"));
    reg.DefaultHive(kHkcu);
    EXPECT_EQ(reg.DefaultHive(), kHkcu);
    EXPECT_TRUE(reg.ExistingValue("V", 0, "Software\\K"));
    EXPECT_EQ(registry.handlesOpen, 0);
}

TEST_F(EasyRegTest, RegistryFailuresGiveFailureResults) {
    reg.SetDWord("V", 1);
    registry.failing = {"RegSetValueEx"};
    EXPECT_FALSE(reg.SetDWord("V", 0));
    EXPECT_EQ(ReadRaw(registry, kKey, "V")->data, Dword(1));
    registry.failing = {"RegQueryValueEx"};
    bool ok = true;
    EXPECT_EQ(Get("V", ok, "d"), "d");
    EXPECT_FALSE(ok);
    EXPECT_FALSE(reg.ExistingValue("V"));
    EXPECT_EQ(reg.GetValueType("V"), "");
    registry.failing = {"RegCreateKeyEx"};
    EXPECT_FALSE(reg.SetString("V", "x", 0, "Software\\Other\\Place"));
    EXPECT_FALSE(reg.CreateKey("Y", 0, "Software"));
}

TEST_F(EasyRegTest, NoMemberThrowsAndEveryOpenedKeyIsClosed) {
    for (const char* call : {"RegOpenKeyEx", "RegQueryValueEx", "RegSetValueEx", "RegCreateKeyEx",
                             "RegDeleteValue", "RegDeleteKey", "RegCloseKey"}) {
        SCOPED_TRACE(call);
        const std::string name = call;
        ASSERT_TRUE(reg.SetDWord("V", 1));
        registry.throwing = {call};
        bool ok = true;
        EXPECT_NO_THROW({
            EXPECT_EQ(Get("V", ok, "d"),
                      name == "RegOpenKeyEx" || name == "RegQueryValueEx" ? "d" : "1");
            reg.SetDWord("V", 1);
            reg.SetString("S", "x", 0, "Software\\T\\U");
            reg.SetBinary("B", "x");
            reg.SetMultiString("M", "x");
            reg.SetExpandableString("E", "x");
            reg.DeleteValue("V");
            reg.DeleteKey(0, "Software\\T\\U");
            reg.ExistingValue("V");
            reg.ExistingKey();
            reg.GetValueType("V");
            reg.CreateKey("Z", 0, "Software");
        });
        registry.throwing.clear();
        if (name != "RegCloseKey") {
            EXPECT_EQ(registry.handlesOpen, 0);
        } else {
            registry.handlesOpen = 0;  // those closes never reached the store
        }
    }
}

}  // namespace
}  // namespace settings

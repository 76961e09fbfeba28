#include "win32/win32_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/windows_api.h"

namespace platform::win32 {
namespace {

// Each test works below a key of its own in the real registry, removed after.
class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::string("Software\\KestrowTests\\") + info->name();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path_).c_str());
        ASSERT_EQ(registry_.RegCreateKeyEx(kHkeyCurrentUser, path_, kKeyAllUsual, &key_), 0);
    }
    void TearDown() override {
        registry_.RegCloseKey(key_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path_).c_str());
    }
    static std::wstring Wide(const std::string& ascii) {
        return std::wstring(ascii.begin(), ascii.end());
    }
    // The value as Windows holds it, read past the seam.
    std::vector<std::uint8_t> RawValue(const wchar_t* name, DWORD* type) {
        DWORD size = 0;
        std::vector<std::uint8_t> data(4096);
        size = static_cast<DWORD>(data.size());
        EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, Wide(path_).c_str(), name,
                                 RRF_RT_ANY | RRF_NOEXPAND, type, data.data(), &size),
                  ERROR_SUCCESS);
        data.resize(size);
        return data;
    }
    long SetText(const std::string& name, const std::string& bytes) {
        return registry_.RegSetValueEx(key_, name, 0, kRegSz,
                                       reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                       static_cast<std::uint32_t>(bytes.size()));
    }

    Win32Registry registry_;
    RegKey key_ = 0;
    std::string path_;
};

TEST_F(Win32RegistryTest, TextIsUtf8InsideAndUtf16InTheRegistry) {
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x80\x93 \xE6\x97\xA5";  // Grüße – 日
    ASSERT_EQ(SetText("Name \xC3\xA9", text), 0);

    DWORD type = 0;
    const auto raw = RawValue(L"Name \u00E9", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"Gr\u00FC\u00DFe \u2013 \u65E5";
    ASSERT_EQ(raw.size(), (expected.size() + 1) * 2);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(raw.data()), expected.size()),
              expected);

    std::uint32_t size = 0;
    std::uint32_t readType = 0;
    ASSERT_EQ(registry_.RegQueryValueEx(key_, "Name \xC3\xA9", &readType, nullptr, &size), 0);
    EXPECT_EQ(readType, kRegSz);
    EXPECT_EQ(size, text.size() + 1);  // UTF-8 bytes and the NUL
    std::vector<std::uint8_t> data(size);
    ASSERT_EQ(registry_.RegQueryValueEx(key_, "Name \xC3\xA9", nullptr, data.data(), &size), 0);
    EXPECT_EQ(std::string(data.begin(), data.end()), text + '\0');
}

TEST_F(Win32RegistryTest, ShortBufferGivesMoreDataAndTheSizeNeeded) {
    ASSERT_EQ(SetText("Delay", "400"), 0);
    std::uint8_t small[2] = {0x55, 0x55};
    std::uint32_t size = sizeof small;
    EXPECT_EQ(registry_.RegQueryValueEx(key_, "Delay", nullptr, small, &size), kErrorMoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(small[0], 0x55);  // nothing half-written
}

TEST_F(Win32RegistryTest, TextWithoutTerminatorGetsOneAndInvalidUtf8IsRefused) {
    ASSERT_EQ(SetText("Plain", "100"), 0);
    DWORD type = 0;
    EXPECT_EQ(RawValue(L"Plain", &type).size(), 8u);

    EXPECT_EQ(SetText("Broken", std::string("a\xFF"
                                            "b")),
              kErrorInvalidParameter);
    std::uint32_t size = 0;
    EXPECT_EQ(registry_.RegQueryValueEx(key_, "Broken", nullptr, nullptr, &size),
              kErrorFileNotFound);
}

TEST_F(Win32RegistryTest, DwordsAreStoredAsGiven) {
    const std::uint8_t value[4] = {0x01, 0x00, 0x00, 0x00};
    ASSERT_EQ(registry_.RegSetValueEx(key_, "SideMenu", 0, kRegDword, value, 4), 0);
    DWORD type = 0;
    const auto raw = RawValue(L"SideMenu", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw, std::vector<std::uint8_t>(value, value + 4));
    std::uint32_t readType = 0;
    std::uint8_t read[4] = {};
    std::uint32_t size = 4;
    ASSERT_EQ(registry_.RegQueryValueEx(key_, "SideMenu", &readType, read, &size), 0);
    EXPECT_EQ(readType, kRegDword);
    EXPECT_EQ(read[0], 1);
}

TEST_F(Win32RegistryTest, MissingKeysAndValuesGiveFileNotFound) {
    RegKey key = 0;
    EXPECT_EQ(
        registry_.RegOpenKeyEx(kHkeyCurrentUser, path_ + "\\Missing", 0, kKeyQueryValue, &key),
        kErrorFileNotFound);
    EXPECT_EQ(registry_.RegQueryValueEx(key_, "Missing", nullptr, nullptr, nullptr),
              kErrorFileNotFound);
    EXPECT_EQ(registry_.RegDeleteValue(key_, "Missing"), kErrorFileNotFound);
    EXPECT_EQ(registry_.RegDeleteKey(key_, "Missing"), kErrorFileNotFound);
}

TEST_F(Win32RegistryTest, KeysWithSubKeysAreNotDeleted) {
    RegKey child = 0;
    ASSERT_EQ(registry_.RegCreateKeyEx(key_, "Parent\\Child", kKeyAllUsual, &child), 0);
    registry_.RegCloseKey(child);
    EXPECT_EQ(registry_.RegDeleteKey(key_, "Parent"), kErrorAccessDenied);
    RegKey parent = 0;
    ASSERT_EQ(registry_.RegOpenKeyEx(key_, "Parent", 0, kKeyQueryValue, &parent), 0);
    registry_.RegCloseKey(parent);

    EXPECT_EQ(registry_.RegDeleteKey(key_, "Parent\\Child"), 0);
    EXPECT_EQ(registry_.RegDeleteKey(key_, "Parent"), 0);
    EXPECT_EQ(registry_.RegOpenKeyEx(key_, "Parent", 0, kKeyQueryValue, &parent),
              kErrorFileNotFound);
}

TEST_F(Win32RegistryTest, HandlesAreOursAndCloseOnce) {
    RegKey opened = 0;
    ASSERT_EQ(registry_.RegOpenKeyEx(kHkeyCurrentUser, path_, 0, kKeyQueryValue, &opened), 0);
    EXPECT_NE(opened, key_);
    EXPECT_EQ(registry_.RegCloseKey(opened), 0);
    EXPECT_EQ(registry_.RegCloseKey(opened), kErrorInvalidHandle);
    EXPECT_EQ(registry_.RegQueryValueEx(opened, "x", nullptr, nullptr, nullptr),
              kErrorInvalidHandle);
    EXPECT_EQ(registry_.RegCloseKey(kHkeyCurrentUser), 0);  // a hive stays usable
    EXPECT_EQ(registry_.RegOpenKeyEx(kHkeyCurrentUser, path_, 0, kKeyQueryValue, &opened), 0);
    registry_.RegCloseKey(opened);
}

TEST_F(Win32RegistryTest, EnumerationIsInNameOrder) {
    for (const char* name : {"beta", "Alpha", "gamma"}) {
        RegKey sub = 0;
        ASSERT_EQ(registry_.RegCreateKeyEx(key_, name, kKeyAllUsual, &sub), 0);
        registry_.RegCloseKey(sub);
        ASSERT_EQ(SetText(name, name), 0);
    }
    std::vector<std::string> keys;
    std::string name;
    for (std::uint32_t i = 0; registry_.RegEnumKey(key_, i, &name) == 0; ++i) keys.push_back(name);
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "beta", "gamma"}));

    std::vector<std::string> values;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    for (std::uint32_t i = 0; registry_.RegEnumValue(key_, i, &name, &type, &data) == 0; ++i) {
        values.push_back(name);
        EXPECT_EQ(std::string(data.begin(), data.end()), name + '\0');
    }
    EXPECT_EQ(values, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(registry_.RegEnumValue(key_, 3, &name, &type, &data), kErrorNoMoreItems);
}

}  // namespace
}  // namespace platform::win32

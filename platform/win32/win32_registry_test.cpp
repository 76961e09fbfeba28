#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/registry_contract.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// The current user's real registry, below a key of the tests' own that is
// gone before and after.
class Win32Store {
  public:
    Win32Store() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    ~Win32Store() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    Registry& registry() { return registry_; }
    std::string Root() const { return "Software\\KestrowContract"; }

  private:
    static constexpr const wchar_t* kRoot = L"Software\\KestrowContract";
    Win32Registry registry_;
};

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

TEST_F(Win32RegistryTest, TextIsUtf16InTheRegistry) {
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
}

}  // namespace
}  // namespace platform::win32

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, win32::Win32Store);
}  // namespace platform::testing

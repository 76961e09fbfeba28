// What every registry backend promises its callers, written once and run
// over each backend that is built, so that the backends cannot drift apart.
// A backend's test file instantiates it:
//
//   INSTANTIATE_TYPED_TEST_SUITE_P(Sqlite, RegistryContract, SqliteStore);
//
// with a type that owns a fresh registry and a key of its own below
// HKEY_CURRENT_USER, gone with the object:
//
//   struct SqliteStore {
//       Registry& registry();
//       std::string Root() const;  // "Software\\...", made by the constructor
//   };
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/text/text.h"

namespace platform::testing {

using Bytes = std::vector<std::uint8_t>;

template <typename Backend>
class RegistryContract : public ::testing::Test {
  protected:
    Registry& registry() { return backend_.registry(); }
    // A key path below the backend's own root.
    std::string Path(const std::string& below) const {
        return below.empty() ? backend_.Root() : backend_.Root() + "\\" + below;
    }

    RegKey Create(const std::string& below) {
        RegKey key = 0;
        EXPECT_EQ(registry().RegCreateKeyEx(kHkeyCurrentUser, Path(below), kKeyAllUsual, &key), 0);
        return key;
    }
    long Open(const std::string& below, std::uint32_t access, RegKey* key) {
        return registry().RegOpenKeyEx(kHkeyCurrentUser, Path(below), 0, access, key);
    }
    long Set(RegKey key, const std::string& name, std::uint32_t type, const Bytes& data) {
        return registry().RegSetValueEx(key, name, 0, type, data.data(),
                                        static_cast<std::uint32_t>(data.size()));
    }
    // The stored type and bytes of a value, read the way callers do.
    std::pair<std::uint32_t, Bytes> Get(RegKey key, const std::string& name) {
        std::uint32_t type = 0, size = 0;
        EXPECT_EQ(registry().RegQueryValueEx(key, name, &type, nullptr, &size), 0);
        Bytes data(size);
        EXPECT_EQ(registry().RegQueryValueEx(key, name, nullptr, data.data(), &size), 0);
        data.resize(size);
        return {type, data};
    }
    static Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

    Backend backend_;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, CreateMakesMissingIntermediateKeysAndOpenFindsThem) {
    const RegKey created = this->Create("Tamsholt\\Kestrow 2005");
    ASSERT_NE(created, 0u);
    RegKey opened = 0;
    ASSERT_EQ(this->Open("Tamsholt", kKeyAllUsual, &opened), 0);
    EXPECT_NE(opened, created);
    RegKey same = 0;
    ASSERT_EQ(this->registry().RegOpenKeyEx(opened, "", 0, kKeyAllUsual, &same), 0);
    std::string name;
    EXPECT_EQ(this->registry().RegEnumKey(same, 0, &name), 0);
    EXPECT_EQ(name, "Kestrow 2005");
    EXPECT_EQ(this->registry().RegEnumKey(same, 1, &name), kErrorNoMoreItems);

    RegKey again = 0;
    EXPECT_EQ(this->registry().RegCreateKeyEx(opened, "Kestrow 2005", kKeyAllUsual, &again), 0);
    RegKey missing = 0;
    EXPECT_EQ(this->Open("Nobody", kKeyAllUsual, &missing), kErrorFileNotFound);
    for (RegKey key : {created, opened, same, again})
        EXPECT_EQ(this->registry().RegCloseKey(key), 0);
}

TYPED_TEST_P(RegistryContract, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    const RegKey key = this->Create("MyKey");
    ASSERT_EQ(this->Set(key, "AllFolders", kRegDword, {1, 0, 0, 0}), 0);
    RegKey other = 0;
    ASSERT_EQ(this->Open("MYKEY", kKeyAllUsual, &other), 0);
    EXPECT_EQ(this->Get(other, "allfolders").second, (Bytes{1, 0, 0, 0}));
    ASSERT_EQ(this->Set(other, "ALLFOLDERS", kRegDword, {0, 0, 0, 0}), 0);
    RegKey sub = 0;
    ASSERT_EQ(this->registry().RegCreateKeyEx(key, "Child", kKeyAllUsual, &sub), 0);
    RegKey subAgain = 0;
    ASSERT_EQ(this->registry().RegCreateKeyEx(other, "CHILD", kKeyAllUsual, &subAgain), 0);

    std::string name;
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(this->registry().RegEnumValue(key, 0, &name, &type, &data), 0);
    EXPECT_EQ(name, "AllFolders");
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(this->registry().RegEnumValue(key, 1, &name, &type, &data), kErrorNoMoreItems);
    ASSERT_EQ(this->registry().RegEnumKey(key, 0, &name), 0);
    EXPECT_EQ(name, "Child");
    EXPECT_EQ(this->registry().RegEnumKey(key, 1, &name), kErrorNoMoreItems);
}

TYPED_TEST_P(RegistryContract, StringTypesGetOneTerminatingNulAndOthersStayAsWritten) {
    const RegKey key = this->Create("Desktop");
    ASSERT_EQ(this->Set(key, "MenuShowDelay", kRegSz, this->AsBytes("100")), 0);
    EXPECT_EQ(this->Get(key, "MenuShowDelay"),
              std::make_pair(kRegSz, this->AsBytes(std::string("100\0", 4))));
    ASSERT_EQ(this->Set(key, "Terminated", kRegExpandSz, this->AsBytes(std::string("%x%\0", 4))),
              0);
    EXPECT_EQ(this->Get(key, "Terminated"),
              std::make_pair(kRegExpandSz, this->AsBytes(std::string("%x%\0", 4))));
    ASSERT_EQ(this->Set(key, "", kRegSz, {}), 0);
    EXPECT_EQ(this->Get(key, "").second, Bytes{0});
    ASSERT_EQ(this->Set(key, "Raw", kRegBinary, {}), 0);
    EXPECT_EQ(this->Get(key, "Raw"), std::make_pair(kRegBinary, Bytes{}));
    ASSERT_EQ(this->Set(key, "Raw2", kRegBinary, {0x61, 0x62}), 0);
    EXPECT_EQ(this->Get(key, "Raw2").second, (Bytes{0x61, 0x62}));
    ASSERT_EQ(this->Set(key, "SideMenu", kRegDword, {1, 0, 0, 0}), 0);
    EXPECT_EQ(this->Get(key, "SideMenu"), std::make_pair(kRegDword, Bytes{1, 0, 0, 0}));
}

TYPED_TEST_P(RegistryContract, TextIsUtf8AndCountsItsBytes) {
    const RegKey key = this->Create("Text");
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x80\x93 \xE6\x97\xA5";  // Grüße – 日
    ASSERT_EQ(this->Set(key, "Name \xC3\xA9", kRegSz, this->AsBytes(text)), 0);
    RegKey upper = 0;
    ASSERT_EQ(this->Open("TEXT", kKeyQueryValue, &upper), 0);
    EXPECT_EQ(this->Get(upper, "Name \xC3\xA9"),
              std::make_pair(kRegSz, this->AsBytes(text + '\0')));
}

TYPED_TEST_P(RegistryContract, QueryReportsTheSizeAndLeavesATooSmallBufferAlone) {
    const RegKey key = this->Create("Q");
    ASSERT_EQ(this->Set(key, "v", kRegSz, this->AsBytes("hello")), 0);
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(this->registry().RegQueryValueEx(key, "v", &type, nullptr, &size), 0);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 6u);
    Bytes small(3, 0xEE);
    size = 3;
    EXPECT_EQ(this->registry().RegQueryValueEx(key, "v", nullptr, small.data(), &size),
              kErrorMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(small, (Bytes{0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(this->registry().RegQueryValueEx(key, "v", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(this->registry().RegQueryValueEx(key, "w", &type, nullptr, &size),
              kErrorFileNotFound);
    EXPECT_EQ(this->registry().RegDeleteValue(key, "w"), kErrorFileNotFound);
    EXPECT_EQ(this->registry().RegDeleteValue(key, "V"), 0);
    EXPECT_EQ(this->registry().RegQueryValueEx(key, "v", &type, nullptr, &size),
              kErrorFileNotFound);
}

TYPED_TEST_P(RegistryContract, AKeyWithSubKeysOrAMissingKeyIsNotDeleted) {
    const RegKey root = this->Create("Parent\\Child");
    this->registry().RegCloseKey(root);
    RegKey base = 0;
    ASSERT_EQ(this->Open("", kKeyAllUsual, &base), 0);
    EXPECT_EQ(this->registry().RegDeleteKey(base, "Parent"), kErrorAccessDenied);
    EXPECT_EQ(this->registry().RegDeleteKey(base, "Parent\\Nobody"), kErrorFileNotFound);
    RegKey parent = 0;
    ASSERT_EQ(this->Open("Parent", kKeyQueryValue, &parent), 0);
    this->registry().RegCloseKey(parent);

    EXPECT_EQ(this->registry().RegDeleteKey(base, "parent\\CHILD"), 0);
    EXPECT_EQ(this->registry().RegDeleteKey(base, "Parent"), 0);
    EXPECT_EQ(this->Open("Parent", kKeyQueryValue, &parent), kErrorFileNotFound);
    this->registry().RegCloseKey(base);
}

TYPED_TEST_P(RegistryContract, HandlesCloseOnceAndHivesStayUsable) {
    const RegKey key = this->Create("Handles");
    EXPECT_EQ(this->registry().RegCloseKey(key), 0);
    EXPECT_EQ(this->registry().RegCloseKey(key), kErrorInvalidHandle);
    EXPECT_EQ(this->Set(key, "v", kRegDword, {1, 0, 0, 0}), kErrorInvalidHandle);
    std::uint32_t size = 0;
    EXPECT_EQ(this->registry().RegQueryValueEx(key, "v", nullptr, nullptr, &size),
              kErrorInvalidHandle);
    EXPECT_EQ(this->registry().RegQueryValueEx(0x1234, "v", nullptr, nullptr, &size),
              kErrorInvalidHandle);

    EXPECT_EQ(this->registry().RegCloseKey(kHkeyCurrentUser), 0);
    RegKey opened = 0;
    EXPECT_EQ(this->Open("Handles", kKeyQueryValue, &opened), 0);
    EXPECT_EQ(this->registry().RegCloseKey(opened), 0);
}

TYPED_TEST_P(RegistryContract, SubKeysListInNameOrderAndEveryValueOnce) {
    const RegKey key = this->Create("Listed");
    for (const char* name : {"beta", "Alpha", "gamma"}) {
        RegKey sub = 0;
        ASSERT_EQ(this->registry().RegCreateKeyEx(key, name, kKeyAllUsual, &sub), 0);
        this->registry().RegCloseKey(sub);
        ASSERT_EQ(this->Set(key, name, kRegSz, this->AsBytes(name)), 0);
    }
    std::vector<std::string> keys;
    std::string name;
    for (std::uint32_t i = 0; this->registry().RegEnumKey(key, i, &name) == 0; ++i) {
        keys.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "beta", "gamma"}));

    std::vector<std::string> values;
    std::uint32_t type = 0;
    Bytes data;
    for (std::uint32_t i = 0; this->registry().RegEnumValue(key, i, &name, &type, &data) == 0;
         ++i) {
        values.push_back(name);
        EXPECT_EQ(type, kRegSz);
        EXPECT_EQ(std::string(data.begin(), data.end()), name + '\0');
    }
    // The order of values is the store's own: the order they were made on
    // Windows and in our store, by name in the Windows-on-Unix layer.
    std::sort(values.begin(), values.end(), [](const std::string& a, const std::string& b) {
        return text::AsciiLower(a) < text::AsciiLower(b);
    });
    EXPECT_EQ(values, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(this->registry().RegEnumValue(key, 3, &name, &type, &data), kErrorNoMoreItems);
    EXPECT_EQ(this->registry().RegEnumKey(key, 3, &name), kErrorNoMoreItems);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, CreateMakesMissingIntermediateKeysAndOpenFindsThem,
                            NamesIgnoreCaseAndKeepTheirFirstSpelling,
                            StringTypesGetOneTerminatingNulAndOthersStayAsWritten,
                            TextIsUtf8AndCountsItsBytes,
                            QueryReportsTheSizeAndLeavesATooSmallBufferAlone,
                            AKeyWithSubKeysOrAMissingKeyIsNotDeleted,
                            HandlesCloseOnceAndHivesStayUsable,
                            SubKeysListInNameOrderAndEveryValueOnce);

}  // namespace platform::testing

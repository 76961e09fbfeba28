#include "platform/testing/memory_registry.h"

#include <gtest/gtest.h>

#include "platform/testing/registry_contract.h"
#include "platform/testing/test_registry.h"

namespace platform::testing {
namespace {

struct MemoryStore {
    MemoryStore() {
        RegKey root = 0;
        registry_.RegCreateKeyEx(kHkeyCurrentUser, Root(), kKeyAllUsual, &root);
        registry_.RegCloseKey(root);
    }
    Registry& registry() { return registry_; }
    std::string Root() const { return "Software\\KestrowContract"; }

    MemoryRegistry registry_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryContract, MemoryStore);

TEST(MemoryRegistryTest, AnUndoneTransactionPutsBackKeysAndValues) {
    MemoryRegistry registry;
    RegKey kept = 0;
    ASSERT_EQ(registry.RegCreateKeyEx(kHkeyCurrentUser, "Kept", kKeyAllUsual, &kept), 0);
    ASSERT_EQ(registry.BeginTransaction(true), 0);
    EXPECT_EQ(registry.BeginTransaction(true), kErrorInvalidParameter);
    WriteRaw(registry, "Kept", "v", kRegDword, Dword(1));
    WriteRaw(registry, "Made\\Below", "w", kRegDword, Dword(2));
    ASSERT_EQ(registry.RegDeleteKey(kHkeyCurrentUser, "Kept"), 0);
    ASSERT_EQ(registry.EndTransaction(false), 0);

    EXPECT_FALSE(ReadRaw(registry, "Kept", "v"));
    EXPECT_FALSE(ReadRaw(registry, "Made\\Below", "w"));
    WriteRaw(registry, "Kept", "v", kRegDword, Dword(3));
    EXPECT_EQ(ReadRaw(registry, "Kept", "v")->data, Dword(3));

    ASSERT_EQ(registry.BeginTransaction(false), 0);
    WriteRaw(registry, "Kept", "v", kRegDword, Dword(4));
    ASSERT_EQ(registry.EndTransaction(true), 0);
    EXPECT_EQ(ReadRaw(registry, "Kept", "v")->data, Dword(4));
    EXPECT_EQ(registry.EndTransaction(true), kErrorInvalidParameter);
}

TEST(MemoryRegistryTest, AHandleToADeletedKeySaysSoAndOtherHivesHoldNothing) {
    MemoryRegistry registry;
    RegKey key = 0;
    ASSERT_EQ(registry.RegCreateKeyEx(kHkeyCurrentUser, "Gone", kKeyAllUsual, &key), 0);
    ASSERT_EQ(registry.RegDeleteKey(kHkeyCurrentUser, "Gone"), 0);
    std::uint32_t size = 0;
    EXPECT_EQ(registry.RegQueryValueEx(key, "v", nullptr, nullptr, &size), kErrorKeyDeleted);
    EXPECT_EQ(registry.RegCloseKey(key), 0);

    RegKey other = 0;
    EXPECT_EQ(registry.RegOpenKeyEx(kHkeyLocalMachine, "Software", 0, kKeyQueryValue, &other),
              kErrorFileNotFound);
    EXPECT_EQ(registry.RegCreateKeyEx(kHkeyCurrentUser, "a\\\\b", kKeyAllUsual, &other),
              kErrorInvalidParameter);
    RegKey readOnly = 0;
    ASSERT_EQ(registry.RegCreateKeyEx(kHkeyCurrentUser, "Ro", kKeyQueryValue, &readOnly), 0);
    EXPECT_EQ(registry.RegCreateKeyEx(readOnly, "Child", kKeyAllUsual, &other), kErrorAccessDenied);
    const std::uint8_t one[4] = {1, 0, 0, 0};
    EXPECT_EQ(registry.RegSetValueEx(readOnly, "v", 0, kRegDword, one, 4), kErrorAccessDenied);
}

}  // namespace
}  // namespace platform::testing

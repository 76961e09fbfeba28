// A registry held in memory, for tests that need the registry's meaning but
// not a store on disk: it keeps the promises of the registry contract (names
// one name whatever their case, values in the order they were made, handles
// that close once, transactions that can be undone) on every build.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace platform::testing {

class MemoryRegistry final : public Registry {
  public:
    MemoryRegistry();

    RegResult RegOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                           std::uint32_t access, RegKey* result) override;
    RegResult RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* byteCount) override;
    RegResult RegSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                            std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t byteCount) override;
    RegResult RegCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                             RegKey* result) override;
    RegResult RegDeleteValue(RegKey key, const std::string& name) override;
    RegResult RegDeleteKey(RegKey key, const std::string& subKey) override;
    RegResult RegCloseKey(RegKey key) override;
    RegResult RegEnumKey(RegKey key, std::uint32_t index, std::string* name) override;
    RegResult RegEnumValue(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                           std::vector<std::uint8_t>* data) override;
    RegResult BeginTransaction(bool forWriting) override;
    RegResult EndTransaction(bool commit) override;

  private:
    using KeyId = std::int64_t;
    struct Value {
        std::string name;  // as first written
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };
    struct Key {
        KeyId parent = 0;
        std::string name;           // as first written
        std::vector<Value> values;  // in the order they were made
    };
    struct Handle {
        KeyId id = 0;
        std::uint32_t access = 0;
    };
    struct Resolved {
        Key* key = nullptr;
        KeyId id = 0;
        long error = kErrorSuccess;
    };

    Resolved Resolve(RegKey key, std::uint32_t neededAccess);
    // The key subKey names below key, which needs no access of its own.
    Resolved ResolvePath(RegKey key, const std::string& subKey);
    std::optional<KeyId> FindChild(KeyId parent, const std::string& name) const;
    std::optional<KeyId> Walk(KeyId from, const std::vector<std::string>& parts) const;
    std::vector<KeyId> ChildrenInOrder(KeyId parent) const;
    RegKey NewHandle(KeyId id, std::uint32_t access);

    // Keys by id, the way a store keeps them, so that a transaction is undone
    // by putting the table back. HKEY_CURRENT_USER is the key with id 1.
    std::map<KeyId, Key> keys_;
    KeyId nextKeyId_ = 2;
    std::map<RegKey, Handle> handles_;
    RegKey nextHandle_ = 0x100;
    std::optional<std::map<KeyId, Key>> beforeTransaction_;
};

}  // namespace platform::testing

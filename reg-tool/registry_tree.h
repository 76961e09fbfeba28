// Whole keys read from and removed from the store, for query /s, delete and
// export.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "reg-tool/value_text.h"

namespace reg_tool {

struct Value {
    std::string name;
    std::uint32_t type = 0;
    Bytes data;
};

struct KeyContents {
    std::string path;  // below HKEY_CURRENT_USER
    std::vector<Value> values;
    std::vector<std::string> subKeys;  // names, not paths
};

// The key at path, and with recursive the keys below it, parents first.
// Returns the registry's result code.
long ReadKeys(platform::Registry& registry, const std::string& path, bool recursive,
              std::vector<KeyContents>* keys);

// Whether the key at path holds a value of that name; a missing key holds none.
long ValueExists(platform::Registry& registry, const std::string& path, const std::string& name,
                 bool* exists);

// Deletes the key at path with everything below it.
long DeleteKeyTree(platform::Registry& registry, const std::string& path);

}  // namespace reg_tool

#include "reg-tool/registry_tree.h"

namespace reg_tool {

using platform::RegKey;

namespace {

long ReadOne(platform::Registry& registry, const std::string& path, KeyContents* contents) {
    RegKey key = 0;
    const long rc =
        registry.RegOpenKeyEx(platform::kHkeyCurrentUser, path, 0, platform::kKeyAllUsual, &key);
    if (rc != platform::kErrorSuccess) return rc;
    contents->path = path;
    long result = platform::kErrorSuccess;
    for (std::uint32_t i = 0;; ++i) {
        Value value;
        const long status = registry.RegEnumValue(key, i, &value.name, &value.type, &value.data);
        if (status == platform::kErrorNoMoreItems) break;
        if (status != platform::kErrorSuccess) {
            result = status;
            break;
        }
        contents->values.push_back(std::move(value));
    }
    for (std::uint32_t i = 0; result == platform::kErrorSuccess; ++i) {
        std::string name;
        const long status = registry.RegEnumKey(key, i, &name);
        if (status == platform::kErrorNoMoreItems) break;
        if (status != platform::kErrorSuccess)
            result = status;
        else
            contents->subKeys.push_back(std::move(name));
    }
    registry.RegCloseKey(key);
    return result;
}

std::string Child(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "\\" + name;
}

}  // namespace

long ReadKeys(platform::Registry& registry, const std::string& path, bool recursive,
              std::vector<KeyContents>* keys) {
    KeyContents contents;
    const long rc = ReadOne(registry, path, &contents);
    if (rc != platform::kErrorSuccess) return rc;
    const auto subKeys = contents.subKeys;
    keys->push_back(std::move(contents));
    if (!recursive) return rc;
    for (const auto& name : subKeys) {
        const long status = ReadKeys(registry, Child(path, name), true, keys);
        if (status != platform::kErrorSuccess) return status;
    }
    return platform::kErrorSuccess;
}

long ValueExists(platform::Registry& registry, const std::string& path, const std::string& name,
                 bool* exists) {
    *exists = false;
    RegKey key = 0;
    long rc =
        registry.RegOpenKeyEx(platform::kHkeyCurrentUser, path, 0, platform::kKeyQueryValue, &key);
    if (rc == platform::kErrorFileNotFound) return platform::kErrorSuccess;
    if (rc != platform::kErrorSuccess) return rc;
    rc = registry.RegQueryValueEx(key, name, nullptr, nullptr, nullptr);
    registry.RegCloseKey(key);
    *exists = rc == platform::kErrorSuccess;
    return rc == platform::kErrorFileNotFound ? platform::kErrorSuccess : rc;
}

long DeleteKeyTree(platform::Registry& registry, const std::string& path) {
    std::vector<KeyContents> keys;
    const long rc = ReadKeys(registry, path, true, &keys);
    if (rc != platform::kErrorSuccess) return rc;
    // Children before parents: the store refuses to delete a key with sub-keys.
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        const long status = registry.RegDeleteKey(platform::kHkeyCurrentUser, it->path);
        if (status != platform::kErrorSuccess) return status;
    }
    return platform::kErrorSuccess;
}

}  // namespace reg_tool

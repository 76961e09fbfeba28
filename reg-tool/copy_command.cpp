// The copy operation: a key's values, and with /s its whole tree, copied to
// another key in one transaction.
#include <ostream>

#include "platform/posix/registry/name_folding.h"
#include "reg-tool/command_context.h"
#include "reg-tool/registry_tree.h"

namespace reg_tool {

namespace {

using platform::kErrorSuccess;
using platform::RegKey;

// A key path below HKEY_CURRENT_USER is inside another, or the same key.
bool IsWithin(const std::string& path, const std::string& ancestor) {
    const std::string p = platform::posix::FoldName(path), a = platform::posix::FoldName(ancestor);
    return a.empty() || p == a || p.rfind(a + "\\", 0) == 0;
}

std::string Relocated(const std::string& path, const std::string& from, const std::string& to) {
    const std::string rest = path.substr(from.size());
    if (to.empty()) return rest.empty() ? rest : rest.substr(1);
    return to + rest;
}

long WriteKey(platform::Registry& registry, const std::string& path,
              const std::vector<Value>& values) {
    RegKey key = 0;
    long rc =
        registry.RegCreateKeyEx(platform::kHkeyCurrentUser, path, platform::kKeyAllUsual, &key);
    for (std::size_t i = 0; rc == kErrorSuccess && i < values.size(); ++i) {
        const Value& value = values[i];
        rc = registry.RegSetValueEx(key, value.name, 0, value.type, value.data.data(),
                                    static_cast<std::uint32_t>(value.data.size()));
    }
    if (key != 0) registry.RegCloseKey(key);
    return rc;
}

}  // namespace

int Copy(const Context& c, const KeyName& from, const KeyName& to) {
    if (IsWithin(to.path, from.path) && (c.command.recursive || IsWithin(from.path, to.path)))
        return c.Fail("ERROR: A key cannot be copied into itself or into a key below it.");
    auto registry = c.openStore();
    std::vector<KeyContents> keys;
    long rc = ReadKeys(*registry, from.path, c.command.recursive, &keys);
    if (rc != kErrorSuccess) return c.Failed(rc);

    // The questions come before any change, so that no lock is held while the user thinks.
    for (auto& key : keys) {
        key.path = Relocated(key.path, from.path, to.path);
        std::vector<Value> kept;
        for (auto& value : key.values) {
            bool exists = false;
            rc = ValueExists(*registry, key.path, value.name, &exists);
            if (rc != kErrorSuccess) return c.Failed(rc);
            if (exists && !c.command.force &&
                !Confirm("Value " + ValueLabel(value.name) + " exists, overwrite(Yes/No)?", c.in,
                         c.out))
                continue;
            kept.push_back(std::move(value));
        }
        key.values = std::move(kept);
    }

    rc = registry->BeginTransaction(true);
    for (std::size_t k = 0; rc == kErrorSuccess && k < keys.size(); ++k)
        rc = WriteKey(*registry, keys[k].path, keys[k].values);
    if (rc != kErrorSuccess) {
        registry->EndTransaction(false);
        return c.Failed(rc);
    }
    rc = registry->EndTransaction(true);
    return rc == kErrorSuccess ? c.Done() : c.Failed(rc);
}

}  // namespace reg_tool

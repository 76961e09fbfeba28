#include "platform/testing/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

#include "platform/registry/key_path.h"
#include "platform/text/text.h"

namespace platform::testing {

namespace {

constexpr std::int64_t kCurrentUserKeyId = 1;
constexpr std::size_t kMaxValueNameLength = 16383;

bool IsPredefinedHive(RegKey key) { return key >= kHkeyClassesRoot && key <= 0x80000006u; }

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Windows sorts and matches names upper-cased; this double folds ASCII only,
// which is all the programs' own names need.
std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
    }
    return folded;
}

}  // namespace

MemoryRegistry::MemoryRegistry() { keys_[kCurrentUserKeyId] = Key{0, "HKEY_CURRENT_USER", {}}; }

RegResult MemoryRegistry::RegOpenKeyEx(RegKey key, const std::string& subKey,
                                       std::uint32_t /*options*/, std::uint32_t access,
                                       RegKey* result) {
    if (!result) return kErrorInvalidParameter;
    const Resolved found = ResolvePath(key, subKey);
    if (!found.key) return found.error;
    *result = NewHandle(found.id, access);
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* byteCount) {
    if (data && !byteCount) return kErrorInvalidParameter;
    const Resolved owner = Resolve(key, kKeyQueryValue);
    if (!owner.key) return owner.error;
    const auto& values = owner.key->values;
    const auto found = std::find_if(values.begin(), values.end(), [&](const Value& value) {
        return text::EqualsIgnoreCase(value.name, name);
    });
    if (found == values.end()) return kErrorFileNotFound;
    const auto size = static_cast<std::uint32_t>(found->data.size());
    if (type) *type = found->type;
    if (data) {
        const bool fits = *byteCount >= size;
        if (fits && size > 0) std::memcpy(data, found->data.data(), size);
        *byteCount = size;
        return fits ? kErrorSuccess : kErrorMoreData;
    }
    if (byteCount) *byteCount = size;
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegSetValueEx(RegKey key, const std::string& name,
                                        std::uint32_t /*reserved*/, std::uint32_t type,
                                        const std::uint8_t* data, std::uint32_t byteCount) {
    if (!data && byteCount > 0) return kErrorInvalidParameter;
    if (text::Length(name) > kMaxValueNameLength) return kErrorInvalidParameter;
    const Resolved owner = Resolve(key, kKeySetValue);
    if (!owner.key) return owner.error;
    std::vector<std::uint8_t> bytes;
    if (byteCount > 0) bytes.assign(data, data + byteCount);
    if (IsStringType(type) && (bytes.empty() || bytes.back() != 0)) bytes.push_back(0);
    auto& values = owner.key->values;
    const auto found = std::find_if(values.begin(), values.end(), [&](const Value& value) {
        return text::EqualsIgnoreCase(value.name, name);
    });
    // An existing value keeps the spelling of its name and its place.
    if (found != values.end()) {
        found->type = type;
        found->data = std::move(bytes);
    } else {
        values.push_back(Value{name, type, std::move(bytes)});
    }
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegCreateKeyEx(RegKey parent, const std::string& subKey,
                                         std::uint32_t access, RegKey* result) {
    if (!result) return kErrorInvalidParameter;
    const auto parts = registry::SplitKeyPath(subKey);
    if (!parts) return kErrorInvalidParameter;
    const Resolved base = Resolve(parent, 0);
    if (!base.key) return base.error;
    const bool mayCreate = IsPredefinedHive(parent) ||
                           (handles_.at(parent).access & kKeyCreateSubKey) == kKeyCreateSubKey;
    KeyId id = base.id;
    for (const auto& part : *parts) {
        if (const auto child = FindChild(id, part)) {
            id = *child;
            continue;
        }
        if (!mayCreate) return kErrorAccessDenied;
        keys_[nextKeyId_] = Key{id, part, {}};
        id = nextKeyId_++;
    }
    *result = NewHandle(id, access);
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegDeleteValue(RegKey key, const std::string& name) {
    const Resolved owner = Resolve(key, kKeySetValue);
    if (!owner.key) return owner.error;
    auto& values = owner.key->values;
    const auto found = std::find_if(values.begin(), values.end(), [&](const Value& value) {
        return text::EqualsIgnoreCase(value.name, name);
    });
    if (found == values.end()) return kErrorFileNotFound;
    values.erase(found);
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegDeleteKey(RegKey key, const std::string& subKey) {
    const Resolved target = ResolvePath(key, subKey);
    if (!target.key) return target.error;
    if (target.id == kCurrentUserKeyId || !ChildrenInOrder(target.id).empty())
        return kErrorAccessDenied;
    keys_.erase(target.id);
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegCloseKey(RegKey key) {
    if (IsPredefinedHive(key)) return kErrorSuccess;
    return handles_.erase(key) > 0 ? kErrorSuccess : kErrorInvalidHandle;
}

RegResult MemoryRegistry::RegEnumKey(RegKey key, std::uint32_t index, std::string* name) {
    if (!name) return kErrorInvalidParameter;
    const Resolved owner = Resolve(key, kKeyEnumerateSubKeys);
    if (!owner.key) return owner.error;
    const auto children = ChildrenInOrder(owner.id);
    if (index >= children.size()) return kErrorNoMoreItems;
    *name = keys_.at(children[index]).name;
    return kErrorSuccess;
}

RegResult MemoryRegistry::RegEnumValue(RegKey key, std::uint32_t index, std::string* name,
                                       std::uint32_t* type, std::vector<std::uint8_t>* data) {
    if (!name) return kErrorInvalidParameter;
    const Resolved owner = Resolve(key, kKeyQueryValue);
    if (!owner.key) return owner.error;
    const auto& values = owner.key->values;
    if (index >= values.size()) return kErrorNoMoreItems;
    *name = values[index].name;
    if (type) *type = values[index].type;
    if (data) *data = values[index].data;
    return kErrorSuccess;
}

RegResult MemoryRegistry::BeginTransaction(bool /*forWriting*/) {
    if (beforeTransaction_) return kErrorInvalidParameter;
    beforeTransaction_ = keys_;
    return kErrorSuccess;
}

RegResult MemoryRegistry::EndTransaction(bool commit) {
    if (!beforeTransaction_) return kErrorInvalidParameter;
    if (!commit) keys_ = std::move(*beforeTransaction_);
    beforeTransaction_.reset();
    return kErrorSuccess;
}

MemoryRegistry::Resolved MemoryRegistry::Resolve(RegKey key, std::uint32_t neededAccess) {
    KeyId id = kCurrentUserKeyId;
    if (IsPredefinedHive(key)) {
        if (key != kHkeyCurrentUser) return {nullptr, 0, kErrorFileNotFound};
    } else {
        const auto handle = handles_.find(key);
        if (handle == handles_.end()) return {nullptr, 0, kErrorInvalidHandle};
        if ((handle->second.access & neededAccess) != neededAccess)
            return {nullptr, 0, kErrorAccessDenied};
        id = handle->second.id;
    }
    const auto found = keys_.find(id);
    if (found == keys_.end()) return {nullptr, 0, kErrorKeyDeleted};
    return {&found->second, id, kErrorSuccess};
}

std::optional<MemoryRegistry::KeyId> MemoryRegistry::FindChild(KeyId parent,
                                                               const std::string& name) const {
    for (const auto& [id, key] : keys_) {
        if (key.parent == parent && text::EqualsIgnoreCase(key.name, name)) return id;
    }
    return std::nullopt;
}

MemoryRegistry::Resolved MemoryRegistry::ResolvePath(RegKey key, const std::string& subKey) {
    const Resolved base = Resolve(key, 0);
    if (!base.key) return base;
    const auto parts = registry::SplitKeyPath(subKey);
    const auto found = parts ? Walk(base.id, *parts) : std::nullopt;
    if (!found) return {nullptr, 0, kErrorFileNotFound};
    return {&keys_.at(*found), *found, kErrorSuccess};
}

std::optional<MemoryRegistry::KeyId> MemoryRegistry::Walk(
    KeyId from, const std::vector<std::string>& parts) const {
    KeyId id = from;
    for (const auto& part : parts) {
        const auto child = FindChild(id, part);
        if (!child) return std::nullopt;
        id = *child;
    }
    return id;
}

// In the order of their upper-cased names, as Windows sorts them.
std::vector<MemoryRegistry::KeyId> MemoryRegistry::ChildrenInOrder(KeyId parent) const {
    std::vector<KeyId> children;
    for (const auto& [id, key] : keys_) {
        if (key.parent == parent) children.push_back(id);
    }
    std::sort(children.begin(), children.end(), [this](KeyId a, KeyId b) {
        const Key& left = keys_.at(a);
        const Key& right = keys_.at(b);
        return std::make_tuple(Folded(left.name), left.name) <
               std::make_tuple(Folded(right.name), right.name);
    });
    return children;
}

RegKey MemoryRegistry::NewHandle(KeyId id, std::uint32_t access) {
    const RegKey handle = nextHandle_++;
    handles_[handle] = Handle{id, access};
    return handle;
}

}  // namespace platform::testing

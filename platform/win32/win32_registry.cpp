#include "platform/win32/win32_registry.h"

#include <algorithm>

#include "platform/text/text.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

HKEY Hive(RegKey key) {
    switch (key) {
        case kHkeyClassesRoot:
            return HKEY_CLASSES_ROOT;
        case kHkeyCurrentUser:
            return HKEY_CURRENT_USER;
        case kHkeyLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case kHkeyUsers:
            return HKEY_USERS;
        default:
            return nullptr;
    }
}

// String data as the programs see it: the stored UTF-16 units as UTF-8,
// terminators and all.
std::vector<std::uint8_t> Utf8Data(const std::vector<std::uint8_t>& utf16Bytes) {
    std::wstring units(utf16Bytes.size() / 2, L'\0');
    std::copy(utf16Bytes.begin(), utf16Bytes.begin() + units.size() * 2,
              reinterpret_cast<std::uint8_t*>(units.data()));
    const std::string utf8 = Utf8(units);
    return std::vector<std::uint8_t>(utf8.begin(), utf8.end());
}

// Reads a value whole; ERROR_MORE_DATA while it grows between the calls.
long ReadValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<std::uint8_t>* data) {
    for (;;) {
        DWORD size = 0;
        long rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
        if (rc != ERROR_SUCCESS) return rc;
        data->assign(size, 0);
        rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc == ERROR_SUCCESS) data->resize(size);
        return rc;
    }
}

}  // namespace

Win32Registry::~Win32Registry() {
    for (const auto& [key, handle] : open_) ::RegCloseKey(static_cast<HKEY>(handle));
}

void* Win32Registry::Handle(RegKey key) const {
    if (HKEY hive = Hive(key)) return hive;
    const auto found = open_.find(key);
    return found == open_.end() ? nullptr : found->second;
}

RegKey Win32Registry::Remember(void* handle) {
    while (open_.count(next_) || Hive(next_) || next_ == 0) ++next_;
    open_[next_] = handle;
    return next_++;
}

template <typename Call>
long Win32Registry::NewKey(RegKey parent, const std::string& subKey, RegKey* result, Call call) {
    HKEY handle = static_cast<HKEY>(Handle(parent));
    if (!handle) return kErrorInvalidHandle;
    if (!result) return kErrorInvalidParameter;
    const auto wideSubKey = TryWide(subKey);
    if (!wideSubKey) return kErrorInvalidParameter;
    HKEY made = nullptr;
    const long rc = call(handle, wideSubKey->c_str(), &made);
    if (rc == ERROR_SUCCESS) *result = Remember(made);
    return rc;
}

long Win32Registry::DoOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                                std::uint32_t access, RegKey* result) {
    return NewKey(key, subKey, result, [&](HKEY parent, const wchar_t* wideSubKey, HKEY* opened) {
        return ::RegOpenKeyExW(parent, wideSubKey, options, access, opened);
    });
}

long Win32Registry::DoQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* byteCount) {
    HKEY handle = static_cast<HKEY>(Handle(key));
    if (!handle) return kErrorInvalidHandle;
    if (data && !byteCount) return kErrorInvalidParameter;
    const auto wideName = TryWide(name);
    if (!wideName) return kErrorFileNotFound;
    DWORD storedType = 0;
    std::vector<std::uint8_t> stored;
    const long rc = ReadValue(handle, *wideName, &storedType, &stored);
    if (rc != ERROR_SUCCESS) return rc;
    if (IsStringType(storedType)) stored = Utf8Data(stored);
    if (type) *type = storedType;
    if (!byteCount) return kErrorSuccess;
    const auto size = static_cast<std::uint32_t>(stored.size());
    if (!data) {
        *byteCount = size;
        return kErrorSuccess;
    }
    if (*byteCount < size) {
        *byteCount = size;
        return kErrorMoreData;
    }
    std::copy(stored.begin(), stored.end(), data);
    *byteCount = size;
    return kErrorSuccess;
}

long Win32Registry::DoSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                                 std::uint32_t type, const std::uint8_t* data,
                                 std::uint32_t byteCount) {
    HKEY handle = static_cast<HKEY>(Handle(key));
    if (!handle) return kErrorInvalidHandle;
    if (reserved != 0 || (!data && byteCount != 0)) return kErrorInvalidParameter;
    const auto wideName = TryWide(name);
    if (!wideName) return kErrorInvalidParameter;
    if (!IsStringType(type)) {
        return ::RegSetValueExW(handle, wideName->c_str(), 0, type, data, byteCount);
    }
    // Text that is not UTF-8 is refused rather than stored altered.
    std::string utf8(reinterpret_cast<const char*>(data), byteCount);
    if (utf8.empty() || utf8.back() != '\0') utf8.push_back('\0');
    const auto wide = TryWide(utf8);
    if (!wide) return kErrorInvalidParameter;
    return ::RegSetValueExW(handle, wideName->c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(wide->data()),
                            static_cast<DWORD>(wide->size() * sizeof(wchar_t)));
}

long Win32Registry::DoCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                                  RegKey* result) {
    return NewKey(
        parent, subKey, result, [&](HKEY handle, const wchar_t* wideSubKey, HKEY* created) {
            return ::RegCreateKeyExW(handle, wideSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     access, nullptr, created, nullptr);
        });
}

long Win32Registry::DoDeleteValue(RegKey key, const std::string& name) {
    HKEY handle = static_cast<HKEY>(Handle(key));
    if (!handle) return kErrorInvalidHandle;
    const auto wideName = TryWide(name);
    if (!wideName) return kErrorFileNotFound;
    return ::RegDeleteValueW(handle, wideName->c_str());
}

long Win32Registry::DoDeleteKey(RegKey key, const std::string& subKey) {
    HKEY handle = static_cast<HKEY>(Handle(key));
    if (!handle) return kErrorInvalidHandle;
    const auto wideSubKey = TryWide(subKey);
    if (!wideSubKey) return kErrorFileNotFound;
    // An empty name would delete the open key itself, which the ANSI call
    // refuses too.
    if (wideSubKey->empty()) return kErrorInvalidParameter;
    // Windows deletes a key with sub-keys only through RegDeleteTree; the
    // seam's call refuses it, so look first.
    HKEY child = nullptr;
    long rc = ::RegOpenKeyExW(handle, wideSubKey->c_str(), 0, KEY_READ, &child);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD subKeys = 0;
    rc = ::RegQueryInfoKeyW(child, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(child);
    if (rc != ERROR_SUCCESS) return rc;
    if (subKeys != 0) return kErrorAccessDenied;
    return ::RegDeleteKeyW(handle, wideSubKey->c_str());
}

long Win32Registry::DoCloseKey(RegKey key) {
    if (Hive(key)) return kErrorSuccess;
    const auto found = open_.find(key);
    if (found == open_.end()) return kErrorInvalidHandle;
    const long rc = ::RegCloseKey(static_cast<HKEY>(found->second));
    open_.erase(found);
    return rc;
}

namespace {

enum class Listing { SubKeys, Values };

// The index-th sub-key or value name of a key. Every name is asked for, one
// index after another until the system has no more: sub-keys are then put in
// case-insensitive order, as the seam promises; values stay in the order
// Windows keeps them, the order they were made.
long NameAt(HKEY handle, Listing listing, std::uint32_t index, std::string& name) {
    // The longest name the system allows, and its terminating NUL.
    const DWORD capacity = listing == Listing::SubKeys ? 256 : 16384;
    std::vector<wchar_t> buffer(capacity);
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        DWORD length = capacity;
        const long rc = listing == Listing::SubKeys
                            ? ::RegEnumKeyExW(handle, i, buffer.data(), &length, nullptr, nullptr,
                                              nullptr, nullptr)
                            : ::RegEnumValueW(handle, i, buffer.data(), &length, nullptr, nullptr,
                                              nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) return rc;
        names.push_back(Utf8(buffer.data(), length));
    }
    if (listing == Listing::SubKeys) {
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return text::AsciiLower(a) < text::AsciiLower(b);
        });
    }
    if (index >= names.size()) return kErrorNoMoreItems;
    name = names[index];
    return kErrorSuccess;
}

}  // namespace

long Win32Registry::DoEnumKey(RegKey key, std::uint32_t index, std::string* name) {
    HKEY handle = static_cast<HKEY>(Handle(key));
    if (!handle) return kErrorInvalidHandle;
    std::string found;
    const long rc = NameAt(handle, Listing::SubKeys, index, found);
    if (rc == kErrorSuccess && name) *name = found;
    return rc;
}

long Win32Registry::DoEnumValue(RegKey key, std::uint32_t index, std::string* name,
                                std::uint32_t* type, std::vector<std::uint8_t>* data) {
    HKEY handle = static_cast<HKEY>(Handle(key));
    if (!handle) return kErrorInvalidHandle;
    std::string found;
    const long listed = NameAt(handle, Listing::Values, index, found);
    if (listed != kErrorSuccess) return listed;
    if (name) *name = found;
    DWORD storedType = 0;
    std::vector<std::uint8_t> stored;
    const long rc = ReadValue(handle, Wide(found), &storedType, &stored);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = storedType;
    if (data) *data = IsStringType(storedType) ? Utf8Data(stored) : stored;
    return kErrorSuccess;
}

// The system's own words for a failure, as Windows shows them. A missing
// key or value and the end of a listing are answers, not failures to tell.
RegResult Win32Registry::Answer(long rc) {
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_MORE_DATA ||
        rc == ERROR_NO_MORE_ITEMS)
        return rc;
    // No text is no reason: the callers then say what they say without one.
    return {rc, SystemMessage(static_cast<unsigned long>(rc))};
}

}  // namespace platform::win32

// The registry: the seven calls the programs make, with the meaning and the
// result codes of the Windows ANSI registry functions (0 is success, any
// other value a failure), each code carried with the reason a user is told.
// Key handles are opaque 32-bit values; the predefined hives are the Windows
// constants. Two enumeration calls serve the command-line registry tool; a
// way to group calls into one transaction serves it, and the programs' reads
// that belong together.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/no_windows_macros.h"

namespace platform {

using RegKey = std::uint32_t;

constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyUsers = 0x80000003u;

// Value type codes.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegDwordBigEndian = 5;
constexpr std::uint32_t kRegLink = 6;
constexpr std::uint32_t kRegMultiSz = 7;

// Access rights.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyNotify = 0x0010;
constexpr std::uint32_t kKeyCreateLink = 0x0020;
constexpr std::uint32_t kKeyAllUsual = 0x3F;

// Result codes (Win32 error numbers).
constexpr long kErrorSuccess = 0;
constexpr long kErrorInvalidFunction = 1;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorDiskFull = 112;
constexpr long kErrorBusy = 170;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorBadDb = 1009;
constexpr long kErrorKeyDeleted = 1018;

// What a registry call answers: its result code, which it converts to, and
// for a failure the reason as a sentence for the user (naming the store
// when the store itself failed). A backend that has no words for a code
// leaves the reason empty.
class RegResult {
  public:
    RegResult(long code = kErrorSuccess) : code_(code) {}  // NOLINT: codes are results
    RegResult(long code, std::string reason) : code_(code), reason_(std::move(reason)) {}

    operator long() const { return code_; }  // NOLINT: read as the Win32 result
    long Code() const { return code_; }
    bool Succeeded() const { return code_ == kErrorSuccess; }
    const std::string& Reason() const { return reason_; }

  private:
    long code_;
    std::string reason_;
};

class Registry {
  public:
    virtual ~Registry() = default;

    // Opens an existing key below key (a hive or an open key). An empty
    // subKey opens key itself. Fails when the key is missing.
    virtual RegResult RegOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                                   std::uint32_t access, RegKey* result) = 0;

    // With data null: reports type and size. With data: fills at most
    // *byteCount bytes and sets *byteCount to the stored size; a buffer too
    // small gives kErrorMoreData. type and byteCount may be null.
    virtual RegResult RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* byteCount) = 0;

    // Creates or replaces a value. For the string types (1, 2, 7) data that
    // does not end in a NUL gets one stored after it, as the ANSI call does.
    virtual RegResult RegSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                                    std::uint32_t type, const std::uint8_t* data,
                                    std::uint32_t byteCount) = 0;

    // Creates subKey below parent, with any missing intermediate keys, or
    // opens it when it exists.
    virtual RegResult RegCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                                     RegKey* result) = 0;

    virtual RegResult RegDeleteValue(RegKey key, const std::string& name) = 0;

    // Deletes subKey below key; fails when it has sub-keys.
    virtual RegResult RegDeleteKey(RegKey key, const std::string& subKey) = 0;

    virtual RegResult RegCloseKey(RegKey key) = 0;

    // Enumeration, by index from 0; kErrorNoMoreItems past the end. Sub-keys
    // come in name order, values in the order the store keeps them: the order
    // they were made, as Windows keeps them (Wine's registry keeps them by name).
    virtual RegResult RegEnumKey(RegKey key, std::uint32_t index, std::string* name) = 0;
    virtual RegResult RegEnumValue(RegKey key, std::uint32_t index, std::string* name,
                                   std::uint32_t* type, std::vector<std::uint8_t>* data) = 0;

    // Groups the calls made until EndTransaction into one transaction: each
    // call keeps its meaning (a failing call changes nothing), and
    // EndTransaction(false), a failed commit or a process that ends first
    // undoes the changes of them all. forWriting takes the store's write lock
    // at once; without it the group reads one consistent state of the store.
    // Groups do not nest. A registry without transactions answers
    // kErrorInvalidFunction.
    virtual RegResult BeginTransaction(bool /*forWriting*/) { return kErrorInvalidFunction; }
    virtual RegResult EndTransaction(bool /*commit*/) { return kErrorInvalidFunction; }
};

}  // namespace platform

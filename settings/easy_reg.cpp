#include "settings/easy_reg.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/error_trap.h"
#include "settings/value_text.h"

namespace settings {
namespace {

using platform::RegKey;

constexpr std::uint32_t kQueryAccess = platform::kKeyAllUsual;
// Settings values are a few bytes; this many are read along with the type.
constexpr std::uint32_t kFirstReadBytes = 256;

platform::RegKey AsKey(std::int32_t hive) { return static_cast<RegKey>(hive); }

// A key opened by a member; closed however the member leaves.
class OpenedKey {
  public:
    // A refused access is asked again as fallbackAccess, when given.
    OpenedKey(platform::Registry& registry, RegKey parent, const std::string& path,
              std::uint32_t access, std::uint32_t fallbackAccess = 0)
        : registry_(registry), opening_(registry_.RegOpenKeyEx(parent, path, 0, access, &key_)) {
        if (opening_.Code() == platform::kErrorAccessDenied && fallbackAccess != 0)
            opening_ = registry_.RegOpenKeyEx(parent, path, 0, fallbackAccess, &key_);
    }
    ~OpenedKey() {
        // A close that fails leaves nothing the member could do about it.
        if (Opened()) platform::Attempt([&] { registry_.RegCloseKey(key_); });
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    bool Opened() const { return opening_.Succeeded(); }
    // The registry's answer to the opening.
    const platform::RegResult& Opening() const { return opening_; }
    RegKey Key() const { return key_; }

  private:
    platform::Registry& registry_;
    RegKey key_ = 0;
    platform::RegResult opening_;
};

const std::uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const std::uint8_t*>(s.c_str());
}

}  // namespace

std::int32_t EasyReg::HiveOrDefault(std::int32_t hive) const {
    return hive == 0 ? defaultHive_ : hive;
}

std::string EasyReg::SubKeyOrDefault(const std::string& subKey) const {
    return TrimBackslashes(subKey.empty() ? defaultSubKey_ : subKey);
}

// Blanks, then trailing and leading backslashes, as often as they uncover
// one another (a blank before a last backslash goes with it), so
// that trimming a trimmed path changes nothing: the writers trim on their
// way through more than once, and must reach the key a reader reaches.
std::string EasyReg::TrimBackslashes(const std::string& strPath) {
    std::string path = strPath;
    while (true) {
        const std::string::size_type first = path.find_first_not_of(' ');
        if (first == std::string::npos) return {};
        std::string trimmed = path.substr(first, path.find_last_not_of(' ') - first + 1);
        while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
        const std::string::size_type lead = trimmed.find_first_not_of('\\');
        trimmed = lead == std::string::npos ? std::string() : trimmed.substr(lead);
        if (trimmed == path) return path;
        path = std::move(trimmed);
    }
}

bool EasyReg::KeyOpens(std::int32_t hive, const std::string& path) {
    return OpenedKey(registry_, AsKey(hive), TrimBackslashes(path), kQueryAccess).Opened();
}

platform::RegResult EasyReg::CreateKeyPath(std::int32_t MyHive, const std::string& strPath) {
    std::string head = TrimBackslashes(strPath);
    std::vector<std::string> tails;
    while (!KeyOpens(MyHive, head)) {
        std::string::size_type slash = head.find('\\');
        if (slash == std::string::npos) {
            // Not even the first component exists: create the whole path
            // directly below the hive.
            tails.push_back(head);
            head.clear();
            break;
        }
        tails.push_back(head.substr(slash + 1));
        head.erase(slash);
    }
    // The walk goes on past a failure, as the path may exist by then; the
    // first failure is the answer.
    platform::RegResult result = platform::kErrorSuccess;
    for (auto tail = tails.rbegin(); tail != tails.rend(); ++tail) {
        const platform::RegResult made = MakeKey(*tail, MyHive, head);
        if (result.Succeeded()) result = made;
        head = head.empty() ? *tail : head + "\\" + *tail;
    }
    return result;
}

platform::RegResult EasyReg::WriteValue(std::int32_t MyHive, const std::string& strPath,
                                        const std::string& strName, std::uint32_t lngType,
                                        const std::string& strData, std::uint32_t lngCount) {
    const std::string path = TrimBackslashes(strPath);
    // The key is nearly always there already: its path is made only when it
    // does not open, which saves the store a round trip on every write.
    std::optional<OpenedKey> key;
    key.emplace(registry_, AsKey(MyHive), path, platform::kKeySetValue);
    if (!key->Opened()) {
        key.reset();
        const platform::RegResult made = CreateKeyPath(MyHive, path);
        key.emplace(registry_, AsKey(MyHive), path, platform::kKeySetValue);
        // Why the key is not there says more than that it is not there.
        if (!key->Opened()) return made.Succeeded() ? key->Opening() : made;
    }
    // strData keeps its NUL after the counted bytes, which the registry
    // stores with the string types.
    return registry_.RegSetValueEx(key->Key(), strName, 0, lngType, Bytes(strData), lngCount);
}

bool EasyReg::WriteText(const std::string& strName, const std::string& strValue,
                        std::uint32_t lngType, std::int32_t MyHive, const std::string& strSubKey) {
    return platform::AnswerOr(false, [&] {
        return WriteValue(HiveOrDefault(MyHive), SubKeyOrDefault(strSubKey), strName, lngType,
                          strValue, static_cast<std::uint32_t>(strValue.size()))
            .Succeeded();
    });
}

bool EasyReg::SetBinary(const std::string& strName, const std::string& strValue,
                        std::int32_t MyHive, const std::string& strSubKey) {
    return WriteText(strName, strValue, platform::kRegBinary, MyHive, strSubKey);
}

bool EasyReg::SetString(const std::string& strName, const std::string& strValue,
                        std::int32_t MyHive, const std::string& strSubKey) {
    return WriteText(strName, strValue, platform::kRegSz, MyHive, strSubKey);
}

bool EasyReg::SetMultiString(const std::string& strName, const std::string& strValue,
                             std::int32_t MyHive, const std::string& strSubKey) {
    return WriteText(strName, strValue, platform::kRegMultiSz, MyHive, strSubKey);
}

bool EasyReg::SetExpandableString(const std::string& strName, const std::string& strValue,
                                  std::int32_t MyHive, const std::string& strSubKey) {
    return WriteText(strName, strValue, platform::kRegExpandSz, MyHive, strSubKey);
}

bool EasyReg::SetDWord(const std::string& strName, std::int32_t lngValue, std::int32_t MyHive,
                       const std::string& strSubKey, platform::RegResult* result) {
    platform::RegResult written = platform::kErrorInvalidFunction;
    const std::optional<platform::Failure> failure = platform::Attempt([&] {
        const auto bits = static_cast<std::uint32_t>(lngValue);
        std::string data(4, '\0');
        for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
        written = WriteValue(HiveOrDefault(MyHive), SubKeyOrDefault(strSubKey), strName,
                             platform::kRegDword, data, 4);
    });
    if (failure) written = {platform::kErrorInvalidFunction, failure->text};
    if (result) *result = written;
    return written.Succeeded();
}

bool EasyReg::DeleteValue(const std::string& strName, std::int32_t MyHive,
                          const std::string& strSubKey) {
    return platform::AnswerOr(false, [&] {
        OpenedKey key(registry_, AsKey(HiveOrDefault(MyHive)), SubKeyOrDefault(strSubKey),
                      platform::kKeySetValue);
        return key.Opened() &&
               registry_.RegDeleteValue(key.Key(), strName) == platform::kErrorSuccess;
    });
}

bool EasyReg::DeleteKey(std::int32_t MyHive, const std::string& strSubKey) {
    return platform::AnswerOr(false, [&] {
        const std::string path = SubKeyOrDefault(strSubKey);
        // An empty path would name the hive itself, which is never deleted.
        if (path.empty()) return false;
        return registry_.RegDeleteKey(AsKey(HiveOrDefault(MyHive)), path) ==
               platform::kErrorSuccess;
    });
}

std::optional<std::uint32_t> EasyReg::ValueType(const std::string& strName, std::int32_t MyHive,
                                                const std::string& strSubKey) {
    OpenedKey key(registry_, AsKey(HiveOrDefault(MyHive)), SubKeyOrDefault(strSubKey),
                  kQueryAccess);
    if (!key.Opened()) return std::nullopt;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry_.RegQueryValueEx(key.Key(), strName, &type, nullptr, &size) !=
        platform::kErrorSuccess) {
        return std::nullopt;
    }
    return type;
}

bool EasyReg::ExistingValue(const std::string& strName, std::int32_t MyHive,
                            const std::string& strSubKey) {
    return platform::AnswerOr(false,
                              [&] { return ValueType(strName, MyHive, strSubKey).has_value(); });
}

bool EasyReg::ExistingKey(std::int32_t CurrentHive, const std::string& strSubKey) {
    return platform::AnswerOr(
        false, [&] { return KeyOpens(HiveOrDefault(CurrentHive), SubKeyOrDefault(strSubKey)); });
}

std::string EasyReg::GetValueType(const std::string& strName, std::int32_t MyHive,
                                  const std::string& strSubKey) {
    return platform::AnswerOr(std::string(), [&]() -> std::string {
        const std::optional<std::uint32_t> type = ValueType(strName, MyHive, strSubKey);
        if (!type) return {};
        switch (*type) {
            case platform::kRegSz:
                return "STRING";
            case platform::kRegExpandSz:
                return "EXPANDABLE STRING";
            case platform::kRegBinary:
                return "BINARY";
            case platform::kRegDword:
                return "DWORD";
            case platform::kRegMultiSz:
                return "MULTIPLE STRING";
            default:
                return "UNKNOWN";
        }
    });
}

std::string EasyReg::GetValue(const std::string& strName, bool& blnSuccess,
                              const std::string& strDefaultValue, std::int32_t MyHive,
                              const std::string& strSubKey, platform::RegResult* result) {
    std::string text = strDefaultValue;
    platform::RegResult read = platform::kErrorInvalidFunction;
    const std::optional<platform::Failure> failure =
        platform::Attempt([&] { read = ReadValue(strName, MyHive, strSubKey, text); });
    if (failure) {
        read = {platform::kErrorInvalidFunction, failure->text};
        text = strDefaultValue;
    }
    blnSuccess = read.Succeeded();
    if (result) *result = read;
    return text;
}

// The value's text into text, which holds the default on entry and keeps it
// when the value is not read. A value read whose data has no terminator
// counts as not read.
platform::RegResult EasyReg::ReadValue(const std::string& strName, std::int32_t MyHive,
                                       const std::string& strSubKey, std::string& text) {
    // A key the user may read but not write refuses the usual rights, which
    // include writing; reading it needs only the right to query.
    OpenedKey key(registry_, AsKey(HiveOrDefault(MyHive)), SubKeyOrDefault(strSubKey), kQueryAccess,
                  platform::kKeyQueryValue);
    if (!key.Opened()) return key.Opening();
    // Type and data in one read when the value is short, as settings
    // are; a longer one is read again into a buffer of its size.
    std::uint32_t type = 0;
    std::vector<std::uint8_t> buffer(kFirstReadBytes);
    std::uint32_t size = kFirstReadBytes;
    platform::RegResult rc =
        registry_.RegQueryValueEx(key.Key(), strName, &type, buffer.data(), &size);
    if (rc.Code() == platform::kErrorMoreData) {
        buffer.assign(size, 0);
        rc = registry_.RegQueryValueEx(key.Key(), strName, &type, buffer.data(), &size);
    }
    if (!rc.Succeeded()) return rc;
    buffer.resize(std::min<std::size_t>(size, buffer.size()));

    // Data the type cannot hold (a string without its terminator, a number
    // of more than four bytes): read, but no value to answer with.
    const std::optional<std::string> shown = ValueText(type, buffer);
    if (!shown) return platform::kErrorInvalidParameter;
    if (!shown->empty()) text = *shown;
    return platform::kErrorSuccess;
}

bool EasyReg::CreateKey(const std::string& strNewKey, std::int32_t TheHive,
                        const std::string& strSubKey) {
    return platform::AnswerOr(false,
                              [&] { return MakeKey(strNewKey, TheHive, strSubKey).Succeeded(); });
}

platform::RegResult EasyReg::MakeKey(const std::string& strNewKey, std::int32_t TheHive,
                                     const std::string& strSubKey) {
    const std::string parentPath = TrimBackslashes(strSubKey);
    const std::string newKey = TrimBackslashes(strNewKey);
    const std::int32_t hive = HiveOrDefault(TheHive);
    if (KeyOpens(hive, parentPath + "\\" + newKey)) return platform::kErrorSuccess;
    OpenedKey parent(registry_, AsKey(hive), parentPath, platform::kKeyCreateSubKey);
    if (!parent.Opened()) return parent.Opening();
    RegKey created = 0;
    const platform::RegResult made =
        registry_.RegCreateKeyEx(parent.Key(), newKey, kQueryAccess, &created);
    if (made.Succeeded()) registry_.RegCloseKey(created);
    return made;
}

}  // namespace settings

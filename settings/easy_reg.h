// The programs' one way into the registry: a default hive and sub-key, typed
// writers that build the key path on demand, a reader that answers every
// value as text, a type query, existence checks, deletion and key creation.
// No member ever throws; each answers false, empty text or the caller's
// default text. Every key a member opens is closed before it returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry/registry.h"

namespace settings {

class EasyReg {
  public:
    explicit EasyReg(platform::Registry& registry) : registry_(registry) {}
    EasyReg(const EasyReg&) = delete;
    EasyReg& operator=(const EasyReg&) = delete;

    // Hives are the signed 32-bit predefined handles (0x80000001 is
    // HKEY_CURRENT_USER); 0 in any member's hive argument means DefaultHive.
    std::int32_t DefaultHive() const { return defaultHive_; }
    void DefaultHive(std::int32_t MyHive) { defaultHive_ = MyHive; }

    // Used whenever a member's sub-key argument is empty.
    std::string DefaultSubKey() const { return defaultSubKey_; }
    void DefaultSubKey(const std::string& strMySubKey) { defaultSubKey_ = strMySubKey; }

    // SetBinary stores the bytes of strValue as they are (not hex text).
    bool SetBinary(const std::string& strName, const std::string& strValue, std::int32_t MyHive = 0,
                   const std::string& strSubKey = "");
    // result, when given, receives the registry's answer to the write: its
    // code and reason when it failed.
    bool SetDWord(const std::string& strName, std::int32_t lngValue, std::int32_t MyHive = 0,
                  const std::string& strSubKey = "", platform::RegResult* result = nullptr);
    bool SetString(const std::string& strName, const std::string& strValue, std::int32_t MyHive = 0,
                   const std::string& strSubKey = "");
    // The caller puts the NUL separators between the strings.
    bool SetMultiString(const std::string& strName, const std::string& strValue,
                        std::int32_t MyHive = 0, const std::string& strSubKey = "");
    bool SetExpandableString(const std::string& strName, const std::string& strValue,
                             std::int32_t MyHive = 0, const std::string& strSubKey = "");

    bool DeleteValue(const std::string& strName, std::int32_t MyHive = 0,
                     const std::string& strSubKey = "");
    bool DeleteKey(std::int32_t MyHive = 0, const std::string& strSubKey = "");

    bool ExistingValue(const std::string& strName, std::int32_t MyHive = 0,
                       const std::string& strSubKey = "");
    bool ExistingKey(std::int32_t CurrentHive = 0, const std::string& strSubKey = "");

    // "STRING", "EXPANDABLE STRING", "BINARY", "DWORD", "MULTIPLE STRING",
    // "UNKNOWN"; empty text when the key or value is missing.
    std::string GetValueType(const std::string& strName, std::int32_t MyHive = 0,
                             const std::string& strSubKey = "");

    // The value as text: strings up to their first NUL, multi-strings joined
    // by single NULs, binary as "0A 1F " hex, DWORDs in signed decimal.
    // blnSuccess is true whenever the value was read, even when its empty
    // text is replaced by strDefaultValue. result, when given, receives the
    // registry's answer to the read: kErrorFileNotFound for a missing key or
    // value, the code and reason of any other failure.
    std::string GetValue(const std::string& strName, bool& blnSuccess,
                         const std::string& strDefaultValue = "", std::int32_t MyHive = 0,
                         const std::string& strSubKey = "", platform::RegResult* result = nullptr);

    // Creates strNewKey below strSubKey (empty: the hive itself); true when
    // it exists afterwards. No default sub-key applies here.
    bool CreateKey(const std::string& strNewKey, std::int32_t TheHive,
                   const std::string& strSubKey);

  private:
    static std::string TrimBackslashes(const std::string& strPath);
    // The first failing creation's answer, or success.
    platform::RegResult CreateKeyPath(std::int32_t MyHive, const std::string& strPath);
    platform::RegResult MakeKey(const std::string& strNewKey, std::int32_t TheHive,
                                const std::string& strSubKey);
    platform::RegResult WriteValue(std::int32_t MyHive, const std::string& strPath,
                                   const std::string& strName, std::uint32_t lngType,
                                   const std::string& strData, std::uint32_t lngCount);
    platform::RegResult ReadValue(const std::string& strName, std::int32_t MyHive,
                                  const std::string& strSubKey, std::string& text);
    bool WriteText(const std::string& strName, const std::string& strValue, std::uint32_t lngType,
                   std::int32_t MyHive, const std::string& strSubKey);

    std::int32_t HiveOrDefault(std::int32_t hive) const;
    std::string SubKeyOrDefault(const std::string& subKey) const;
    // Whether the path opens below the hive, with no defaults applied.
    bool KeyOpens(std::int32_t hive, const std::string& path);
    // The type of the value; none when its key or the value is missing.
    std::optional<std::uint32_t> ValueType(const std::string& strName, std::int32_t MyHive,
                                           const std::string& strSubKey);

    platform::Registry& registry_;
    std::int32_t defaultHive_ = 0;
    std::string defaultSubKey_;
};

}  // namespace settings

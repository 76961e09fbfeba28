// The registry through advapi32's W calls: UTF-8 names and string data in
// the programs, UTF-16 in the registry. Handles given out are small numbers
// of this object's own, so that they fit the seam's 32-bit keys on 64-bit
// Windows too; the predefined hives keep their Windows values.
#pragma once

#include <map>

#include "platform/registry/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
  public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

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

  private:
    long DoOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, RegKey* result);
    long DoQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* byteCount);
    long DoSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                      std::uint32_t type, const std::uint8_t* data, std::uint32_t byteCount);
    long DoCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                       RegKey* result);
    long DoDeleteValue(RegKey key, const std::string& name);
    long DoDeleteKey(RegKey key, const std::string& subKey);
    long DoCloseKey(RegKey key);
    long DoEnumKey(RegKey key, std::uint32_t index, std::string* name);
    long DoEnumValue(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data);
    static RegResult Answer(long rc);

    // The Windows handle behind key, or null when key is not open here.
    void* Handle(RegKey key) const;
    RegKey Remember(void* handle);
    // Opening and creating alike: call gets parent's Windows handle and the
    // sub-key in UTF-16 and makes the new handle, which is then remembered.
    template <typename Call>
    long NewKey(RegKey parent, const std::string& subKey, RegKey* result, Call call);

    std::map<RegKey, void*> open_;
    RegKey next_ = 1;
};

}  // namespace platform::win32

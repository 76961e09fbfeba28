// The registry through advapi32's W calls: UTF-8 names and string data in
// the programs, UTF-16 in the registry. Handles given out are small numbers
// of this object's own, so that they fit the seam's 32-bit keys on 64-bit
// Windows too; the predefined hives keep their Windows values.
#pragma once

#include <map>

#include "platform/registry/coded_registry.h"

namespace platform::win32 {

class Win32Registry : public registry::CodedRegistry {
  public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

  private:
    long DoOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, RegKey* result) override;
    long DoQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* byteCount) override;
    long DoSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                      std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t byteCount) override;
    long DoCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                       RegKey* result) override;
    long DoDeleteValue(RegKey key, const std::string& name) override;
    long DoDeleteKey(RegKey key, const std::string& subKey) override;
    long DoCloseKey(RegKey key) override;
    long DoEnumKey(RegKey key, std::uint32_t index, std::string* name) override;
    long DoEnumValue(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data) override;
    RegResult Answer(long rc) override;

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

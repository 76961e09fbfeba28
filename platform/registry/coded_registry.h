// A registry backend that works in result codes: each call gives a Win32
// code, and Answer then adds the reason a user is told for it. The backends
// differ in where that reason comes from, not in how it goes with a result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace platform::registry {

class CodedRegistry : public Registry {
  public:
    RegResult RegOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                           std::uint32_t access, RegKey* result) final {
        return Answer(DoOpenKeyEx(key, subKey, options, access, result));
    }
    RegResult RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* byteCount) final {
        return Answer(DoQueryValueEx(key, name, type, data, byteCount));
    }
    RegResult RegSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                            std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t byteCount) final {
        return Answer(DoSetValueEx(key, name, reserved, type, data, byteCount));
    }
    RegResult RegCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                             RegKey* result) final {
        return Answer(DoCreateKeyEx(parent, subKey, access, result));
    }
    RegResult RegDeleteValue(RegKey key, const std::string& name) final {
        return Answer(DoDeleteValue(key, name));
    }
    RegResult RegDeleteKey(RegKey key, const std::string& subKey) final {
        return Answer(DoDeleteKey(key, subKey));
    }
    RegResult RegCloseKey(RegKey key) final { return Answer(DoCloseKey(key)); }
    RegResult RegEnumKey(RegKey key, std::uint32_t index, std::string* name) final {
        return Answer(DoEnumKey(key, index, name));
    }
    RegResult RegEnumValue(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                           std::vector<std::uint8_t>* data) final {
        return Answer(DoEnumValue(key, index, name, type, data));
    }

  protected:
    // The result of the call that has just given rc, with its reason.
    virtual RegResult Answer(long rc) = 0;

  private:
    // The calls above, each with the meaning of its Registry call.
    virtual long DoOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t options,
                             std::uint32_t access, RegKey* result) = 0;
    virtual long DoQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* byteCount) = 0;
    virtual long DoSetValueEx(RegKey key, const std::string& name, std::uint32_t reserved,
                              std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t byteCount) = 0;
    virtual long DoCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                               RegKey* result) = 0;
    virtual long DoDeleteValue(RegKey key, const std::string& name) = 0;
    virtual long DoDeleteKey(RegKey key, const std::string& subKey) = 0;
    virtual long DoCloseKey(RegKey key) = 0;
    virtual long DoEnumKey(RegKey key, std::uint32_t index, std::string* name) = 0;
    virtual long DoEnumValue(RegKey key, std::uint32_t index, std::string* name,
                             std::uint32_t* type, std::vector<std::uint8_t>* data) = 0;
};

}  // namespace platform::registry

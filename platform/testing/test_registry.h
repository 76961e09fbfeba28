// Test helpers over a real registry: a decorator that counts key handles and
// fails or throws on chosen calls, and raw reads and writes that bypass
// EasyReg.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform_error.h"
#include "platform/registry/registry.h"

namespace platform::testing {

// Passes every call to the real store; counts the handles it hands out and
// takes back, and fails (with failure, access denied unless told) or throws
// on the named calls.
class TestRegistry : public platform::Registry {
  public:
    explicit TestRegistry(std::unique_ptr<platform::Registry> inner)
        : owned_(std::move(inner)), inner_(owned_.get()) {}
    // Over a store that outlives it and that other runs share, as programs
    // share one store.
    explicit TestRegistry(platform::Registry& shared) : inner_(&shared) {}

    std::set<std::string> failing;
    std::set<std::string> throwing;
    int handlesOpen = 0;
    int calls = 0;

    RegResult RegOpenKeyEx(platform::RegKey key, const std::string& subKey, std::uint32_t options,
                           std::uint32_t access, platform::RegKey* result) override {
        if (auto fault = Fault("RegOpenKeyEx")) return *fault;
        RegResult rc = inner_->RegOpenKeyEx(key, subKey, options, access, result);
        if (rc.Succeeded()) ++handlesOpen;
        return rc;
    }
    RegResult RegQueryValueEx(platform::RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* byteCount) override {
        if (auto fault = Fault("RegQueryValueEx")) return *fault;
        return inner_->RegQueryValueEx(key, name, type, data, byteCount);
    }
    RegResult RegSetValueEx(platform::RegKey key, const std::string& name, std::uint32_t reserved,
                            std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t byteCount) override {
        if (auto fault = Fault("RegSetValueEx")) return *fault;
        return inner_->RegSetValueEx(key, name, reserved, type, data, byteCount);
    }
    RegResult RegCreateKeyEx(platform::RegKey parent, const std::string& subKey,
                             std::uint32_t access, platform::RegKey* result) override {
        if (auto fault = Fault("RegCreateKeyEx")) return *fault;
        RegResult rc = inner_->RegCreateKeyEx(parent, subKey, access, result);
        if (rc.Succeeded()) ++handlesOpen;
        return rc;
    }
    RegResult RegDeleteValue(platform::RegKey key, const std::string& name) override {
        if (auto fault = Fault("RegDeleteValue")) return *fault;
        return inner_->RegDeleteValue(key, name);
    }
    RegResult RegDeleteKey(platform::RegKey key, const std::string& subKey) override {
        if (auto fault = Fault("RegDeleteKey")) return *fault;
        return inner_->RegDeleteKey(key, subKey);
    }
    RegResult RegCloseKey(platform::RegKey key) override {
        if (auto fault = Fault("RegCloseKey")) return *fault;
        RegResult rc = inner_->RegCloseKey(key);
        if (rc.Succeeded()) --handlesOpen;
        return rc;
    }
    RegResult RegEnumKey(platform::RegKey key, std::uint32_t index, std::string* name) override {
        return inner_->RegEnumKey(key, index, name);
    }
    RegResult RegEnumValue(platform::RegKey key, std::uint32_t index, std::string* name,
                           std::uint32_t* type, std::vector<std::uint8_t>* data) override {
        return inner_->RegEnumValue(key, index, name, type, data);
    }
    // What the failing calls answer.
    RegResult failure{platform::kErrorAccessDenied, "Access is denied."};

  private:
    std::optional<RegResult> Fault(const std::string& call) {
        ++calls;
        if (throwing.count(call)) throw PlatformError(call + " broke");
        if (!failing.count(call)) return std::nullopt;
        return failure;
    }
    std::unique_ptr<platform::Registry> owned_;
    platform::Registry* inner_;
};

// A registry the system cannot reach: every call throws the platform's error.
class UnreachableRegistry : public platform::Registry {
  public:
    RegResult RegOpenKeyEx(RegKey, const std::string&, std::uint32_t, std::uint32_t,
                           RegKey*) override {
        Fail();
    }
    RegResult RegQueryValueEx(RegKey, const std::string&, std::uint32_t*, std::uint8_t*,
                              std::uint32_t*) override {
        Fail();
    }
    RegResult RegSetValueEx(RegKey, const std::string&, std::uint32_t, std::uint32_t,
                            const std::uint8_t*, std::uint32_t) override {
        Fail();
    }
    RegResult RegCreateKeyEx(RegKey, const std::string&, std::uint32_t, RegKey*) override {
        Fail();
    }
    RegResult RegDeleteValue(RegKey, const std::string&) override { Fail(); }
    RegResult RegDeleteKey(RegKey, const std::string&) override { Fail(); }
    RegResult RegCloseKey(RegKey) override { Fail(); }
    RegResult RegEnumKey(RegKey, std::uint32_t, std::string*) override { Fail(); }
    RegResult RegEnumValue(RegKey, std::uint32_t, std::string*, std::uint32_t*,
                           std::vector<std::uint8_t>*) override {
        Fail();
    }

  private:
    [[noreturn]] static void Fail() { throw PlatformError("the registry is not available"); }
};

struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// The value as stored, below HKEY_CURRENT_USER; nullopt when missing.
inline std::optional<RawValue> ReadRaw(platform::Registry& registry, const std::string& path,
                                       const std::string& name) {
    platform::RegKey key = 0;
    if (registry.RegOpenKeyEx(platform::kHkeyCurrentUser, path, 0, platform::kKeyQueryValue,
                              &key) != 0) {
        return std::nullopt;
    }
    RawValue value;
    std::uint32_t size = 0;
    long rc = registry.RegQueryValueEx(key, name, &value.type, nullptr, &size);
    if (rc == 0) {
        value.data.resize(size);
        rc = registry.RegQueryValueEx(key, name, nullptr, value.data.data(), &size);
    }
    registry.RegCloseKey(key);
    if (rc != 0) return std::nullopt;
    return value;
}

// Stores exactly these bytes (the store adds a NUL to string types that lack one).
inline void WriteRaw(platform::Registry& registry, const std::string& path, const std::string& name,
                     std::uint32_t type, const std::vector<std::uint8_t>& data) {
    platform::RegKey key = 0;
    if (registry.RegCreateKeyEx(platform::kHkeyCurrentUser, path, platform::kKeyAllUsual, &key) !=
        0) {
        throw std::runtime_error("cannot create " + path);
    }
    long rc = registry.RegSetValueEx(key, name, 0, type, data.data(),
                                     static_cast<std::uint32_t>(data.size()));
    registry.RegCloseKey(key);
    if (rc != 0) throw std::runtime_error("cannot write " + name);
}

inline std::vector<std::uint8_t> Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

inline std::vector<std::uint8_t> Text(const std::string& s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace platform::testing

// A complete platform for tests that replace only the members they use:
// every other member fails the way an unreachable facility does, with the
// platform's error.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/testing/test_registry.h"

namespace platform::testing {

class UnusedFacility : public FileQueries,
                       public ShellExecutor,
                       public HtmlHelpApi,
                       public InstanceCheck {
  public:
    std::string Dir(const std::string&, int) override { Fail(); }
    int GetAttr(const std::string&) override { Fail(); }
    int GetDriveType(const std::string&) override { Fail(); }
    std::intptr_t ShellExecute(std::uintptr_t, const char*, const std::string&, const char*,
                               const std::string&, int) override {
        Fail();
    }
    std::uintptr_t HtmlHelp(std::uintptr_t, const std::string&, unsigned,
                            const std::string&) override {
        Fail();
    }
    bool PreviousInstanceRunning(const std::string&) override { Fail(); }

    [[noreturn]] static void Fail() { throw PlatformError("not part of this test"); }
};

inline Platform StubPlatform() {
    return Platform(
        std::make_unique<UnreachableRegistry>(),
        std::make_unique<forms::UserInterface>(
            []() -> std::unique_ptr<forms::FormsBackend> { UnusedFacility::Fail(); }),
        []() -> std::unique_ptr<WshShell> { UnusedFacility::Fail(); },
        []() -> std::unique_ptr<FileSystemObject> { UnusedFacility::Fail(); },
        std::make_unique<UnusedFacility>(), std::make_unique<UnusedFacility>(),
        std::make_unique<UnusedFacility>(), std::make_unique<UnusedFacility>(),
        []() -> std::string { UnusedFacility::Fail(); },
        [](const std::string&, const std::string&) -> bool { UnusedFacility::Fail(); });
}

}  // namespace platform::testing

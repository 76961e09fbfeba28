#include "posix/forms/backend_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "posix/forms/console_backend.h"
#include "testing/scoped_env.h"

namespace platform::posix {
namespace {

// A test's environment: no display, no chosen backend, until it sets them.
struct Environment {
    testing::ScopedEnv display{"DISPLAY", nullptr};
    testing::ScopedEnv wayland{"WAYLAND_DISPLAY", nullptr};
    testing::ScopedEnv qtPlatform{"QT_QPA_PLATFORM", nullptr};
    testing::ScopedEnv ui{"KESTROW_UI", nullptr};
};

// The programs' folder of the build tree; tests live in its sibling tests/.
std::string ProgramFolder() {
    const char* bin = std::getenv("KESTROW_BIN_DIR");
    if (bin && *bin) return bin;
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : (self.parent_path().parent_path() / "bin").string();
}

bool IsConsole(const forms::FormsBackend* backend) {
    return dynamic_cast<const ConsoleBackend*>(backend) != nullptr;
}

TEST(LoadBestBackend, UsesTheTerminalWithoutADisplay) {
    Environment environment;
    EXPECT_TRUE(IsConsole(LoadBestBackend(ProgramFolder()).get()));
}

TEST(LoadBestBackend, UsesTheTerminalWhenAskedTo) {
    Environment environment;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("KESTROW_UI", "console", 1);
    EXPECT_TRUE(IsConsole(LoadBestBackend(ProgramFolder()).get()));
}

TEST(LoadBestBackend, FallsBackToTheTerminalWhenTheWindowLibraryIsMissing) {
    Environment environment;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_TRUE(IsConsole(LoadBestBackend("/nonexistent").get()));
}

TEST(LoadBestBackend, FallsBackToTheTerminalWhenTheXDisplayDoesNotAnswer) {
    Environment environment;
    ::setenv("DISPLAY", ":97", 1);  // no server there: Qt itself would end the process
    EXPECT_TRUE(IsConsole(LoadBestBackend(ProgramFolder()).get()));
}

TEST(LoadBestBackend, LoadsTheQtBackendFromTheProgramFolderWhenADisplayIsThere) {
    Environment environment;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ASSERT_FALSE(ProgramFolder().empty());
    auto backend = LoadBestBackend(ProgramFolder());
    ASSERT_NE(backend, nullptr);
    EXPECT_FALSE(IsConsole(backend.get()));
}

}  // namespace
}  // namespace platform::posix

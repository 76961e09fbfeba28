#include "platform/posix/forms/backend_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/help_windows.h"
#include "platform/posix/forms/console_backend.h"
#include "platform/testing/scoped_env.h"

namespace platform::posix {
namespace {

using testing::ScopedEnv;

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

// Each test starts with no display and no chosen backend, and sets its own.
class LoadBestBackendTest : public ::testing::Test {
  private:
    ScopedEnv display_{"DISPLAY", nullptr};
    ScopedEnv wayland_{"WAYLAND_DISPLAY", nullptr};
    ScopedEnv qtPlatform_{"QT_QPA_PLATFORM", nullptr};
    ScopedEnv ui_{"KESTROW_UI", nullptr};
};

TEST_F(LoadBestBackendTest, UsesTheTerminalWithoutADisplay) {
    EXPECT_TRUE(IsConsole(LoadBestBackend(ProgramFolder()).get()));
}

TEST_F(LoadBestBackendTest, UsesTheTerminalWhenAskedTo) {
    ScopedEnv offscreen("QT_QPA_PLATFORM", "offscreen");
    ScopedEnv console("KESTROW_UI", "console");
    EXPECT_TRUE(IsConsole(LoadBestBackend(ProgramFolder()).get()));
}

TEST_F(LoadBestBackendTest, FallsBackToTheTerminalWhenTheWindowLibraryIsMissing) {
    ScopedEnv offscreen("QT_QPA_PLATFORM", "offscreen");
    EXPECT_TRUE(IsConsole(LoadBestBackend("/nonexistent").get()));
}

TEST_F(LoadBestBackendTest, FallsBackToTheTerminalWhenTheXDisplayDoesNotAnswer) {
    ScopedEnv display("DISPLAY", ":97");  // no server there: Qt itself would end the process
    EXPECT_TRUE(IsConsole(LoadBestBackend(ProgramFolder()).get()));
}

TEST_F(LoadBestBackendTest, LoadsTheQtBackendFromTheProgramFolderWhenADisplayIsThere) {
    ScopedEnv offscreen("QT_QPA_PLATFORM", "offscreen");
    ASSERT_FALSE(ProgramFolder().empty());
    auto backend = LoadBestBackend(ProgramFolder());
    ASSERT_NE(backend, nullptr);
    EXPECT_FALSE(IsConsole(backend.get()));
    // The help viewer finds the help windows across the library's boundary.
    EXPECT_NE(dynamic_cast<forms::HelpWindows*>(backend.get()), nullptr);
}

}  // namespace
}  // namespace platform::posix

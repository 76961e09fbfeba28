// The program as a process: its exit status and what it tells the user when
// no window can be shown.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/child_process.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "settings/shortcut_settings.h"

namespace defaults_editor {
namespace {

std::string ProgramPath() {
    const char* bin = std::getenv("KESTROW_BIN_DIR");
    return bin ? std::string(bin) + "/KestrowDefaults2005" : KESTROW_DEFAULTS_PROGRAM;
}

using platform::testing::ChildProcess;

// Starts the program with a private configuration and runtime folder; its
// standard error goes to errPath. qtOffscreen: windows can be shown.
ChildProcess Start(const platform::testing::TestFolder& home, bool qtOffscreen,
                   const std::string& errPath,
                   std::optional<std::uint64_t> fileSizeLimit = std::nullopt) {
    platform::testing::ChildLaunch launch;
    launch.arguments = {ProgramPath()};
    launch.environment = {
        {"DISPLAY", std::nullopt},
        {"WAYLAND_DISPLAY", std::nullopt},
        {"QT_QPA_PLATFORM", qtOffscreen ? std::optional<std::string>("offscreen") : std::nullopt},
        {"XDG_CONFIG_HOME", home.Path()},
        {"XDG_RUNTIME_DIR", home.Path()}};
    launch.output = "";
    launch.error = errPath;
    launch.fileSizeLimit = fileSizeLimit;
    return ChildProcess::Start(launch);
}

int Finish(const ChildProcess& child) {
    const auto exit = child.Wait();
    return exit ? exit->Status() : -1;
}

std::string ReadFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return {};
    std::string text;
    char buffer[512];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, n);
    std::fclose(file);
    return text;
}

TEST(DefaultsEditorProcessTest, WithNoWayToShowTheDialogItReportsTheErrorAndFails) {
    platform::testing::TestFolder home;
    const std::string err = home.Path() + "/err.txt";
    EXPECT_EQ(Finish(Start(home, false, err)), 1);
    EXPECT_NE(ReadFile(err).find("Unexpected Error"), std::string::npos) << ReadFile(err);
}

// The new store cannot grow past the limit: the program says so, naming
// the store, and fails, instead of being killed by the limit's signal.
TEST(DefaultsEditorProcessTest, AFileSizeLimitIsAClearErrorNotADeathBySignal) {
    platform::testing::TestFolder home;
    const std::string err = home.Path() + "/err.txt";
    EXPECT_EQ(Finish(Start(home, false, err, 400)), 1);
    const std::string told = ReadFile(err);
    EXPECT_NE(told.find("The settings store \"" + home.Path() +
                        "/kestrow/registry.db\" cannot be "
                        "read or written: File too large."),
              std::string::npos)
        << told;
}

TEST(DefaultsEditorProcessTest, ASecondInstanceIsToldAndEndsSuccessfully) {
    platform::testing::TestFolder home;
    const std::string dbPath = home.Path() + "/kestrow/registry.db";
    const ChildProcess first = Start(home, true, home.Path() + "/first.txt");
    ASSERT_TRUE(first.Started());
    // The first instance has its dialog up once its load has written the values.
    bool up = false;
    for (int i = 0; i < 200 && !up; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        auto registry = platform::posix::OpenSqliteRegistry(dbPath);
        up = platform::testing::ReadRaw(*registry, settings::kSettingsKey, "Maximized").has_value();
    }
    EXPECT_TRUE(up) << ReadFile(home.Path() + "/first.txt");

    const std::string err = home.Path() + "/second.txt";
    EXPECT_EQ(Finish(Start(home, false, err)), 0);
    EXPECT_NE(ReadFile(err).find("Kestrow 2005 Default Settings is already running on your "
                                 "system."),
              std::string::npos)
        << ReadFile(err);

    first.Terminate();
    Finish(first);
}

}  // namespace
}  // namespace defaults_editor

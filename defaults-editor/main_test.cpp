// The program as a process: its exit status and what it tells the user when
// no window can be shown.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "settings/shortcut_settings.h"

namespace defaults_editor {
namespace {

std::string ProgramPath() {
    const char* bin = std::getenv("KESTROW_BIN_DIR");
    return bin ? std::string(bin) + "/KestrowDefaults2005" : KESTROW_DEFAULTS_PROGRAM;
}

// Starts the program with a private configuration and runtime folder; its
// standard error goes to errPath. qtOffscreen: windows can be shown.
pid_t Start(const platform::testing::TestFolder& home, bool qtOffscreen, const std::string& errPath,
            rlim_t fileSizeLimit = RLIM_INFINITY) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    if (fileSizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    if (qtOffscreen) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
        unsetenv("QT_QPA_PLATFORM");
    }
    setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", home.Path().c_str(), 1);
    if (!freopen("/dev/null", "r", stdin) || !freopen(errPath.c_str(), "w", stderr)) _exit(126);
    const std::string program = ProgramPath();
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

int Finish(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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
    pid_t first = Start(home, true, home.Path() + "/first.txt");
    ASSERT_GT(first, 0);
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

    kill(first, SIGTERM);
    Finish(first);
}

}  // namespace
}  // namespace defaults_editor

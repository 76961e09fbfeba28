#include "platform/posix/xdg_shell_executor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/platform_error.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

class XdgShellExecutorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(tmp_.Native() / "bin");
        const fs::path script = tmp_.Native() / "bin" / "xdg-open";
        // Records its argument and working folder; the sleep shows that the
        // caller does not wait for it.
        std::ofstream(script) << "#!/bin/sh\nsleep 1\nprintf '%s\\n%s' \"$1\" \"$PWD\" > '"
                              << (tmp_.Native() / "opened.tmp").string() << "'\nmv '"
                              << (tmp_.Native() / "opened.tmp").string() << "' '"
                              << (tmp_.Native() / "opened").string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
    }

    // What the fake xdg-open recorded, waiting for it at most 10 seconds.
    std::string Recorded() {
        const fs::path record = tmp_.Native() / "opened";
        for (int i = 0; i < 200 && !fs::exists(record); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::ifstream in(record);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    testing::TestFolder tmp_;
    testing::ScopedEnv path_{"PATH", ((tmp_.Native() / "bin").string() + ":/usr/bin:/bin").c_str()};
    XdgShellExecutor executor_;
};

TEST_F(XdgShellExecutorTest, StartsXdgOpenWithoutWaitingForIt) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(executor_.ShellExecute(0, nullptr, "mailto:ann@example.org", nullptr, "C:\\",
                                     kSwShowNormal),
              42);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    EXPECT_FALSE(fs::exists(tmp_.Native() / "opened"));
    EXPECT_EQ(Recorded(), "mailto:ann@example.org\n" + fs::current_path().string());
}

TEST_F(XdgShellExecutorTest, HandsZPathsOverAsPosixPathsInTheirWorkingFolder) {
    fs::create_directory(tmp_.Native() / "work");
    EXPECT_GT(executor_.ShellExecute(0, "open", tmp_.Windows("help page.html"), nullptr,
                                     tmp_.Windows("work"), kSwShowNormal),
              32);
    EXPECT_EQ(Recorded(), (tmp_.Native() / "help page.html").string() + "\n" +
                              (tmp_.Native() / "work").string());
}

// The descriptors above 2 leading to /dev/null that a program started now
// would inherit from this process.
std::string InheritedNullDescriptors() {
    std::set<int> numbers;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        std::error_code error;
        if (fd > 2 && fs::read_symlink(entry.path(), error) == "/dev/null" &&
            (::fcntl(fd, F_GETFD) & FD_CLOEXEC) == 0) {
            numbers.insert(fd);
        }
    }
    std::string list;
    for (int fd : numbers) list += std::to_string(fd) + "\n";
    return list;
}

TEST_F(XdgShellExecutorTest, XdgOpenInheritsNoDescriptorOfItsStart) {
    const fs::path script = tmp_.Native() / "bin" / "xdg-open";
    const std::string record = (tmp_.Native() / "opened").string();
    std::ofstream(script) << "#!/bin/sh\nfind /proc/self/fd/ -mindepth 1 -lname /dev/null "
                             "-printf '%f\\n' | sort -n | sed 1d > '"
                          << record << ".tmp'\nmv '" << record << ".tmp' '" << record << "'\n";
    const std::string before = InheritedNullDescriptors();
    EXPECT_GT(executor_.ShellExecute(0, nullptr, "http://example.org", nullptr, "C:\\", 1), 32);
    // Its standard input, then only what this process hands every child.
    EXPECT_EQ(Recorded(), before);
    EXPECT_TRUE(fs::exists(record));
}

TEST_F(XdgShellExecutorTest, FailsWhenXdgOpenIsMissingOrTheVerbIsUnknown) {
    EXPECT_LE(executor_.ShellExecute(0, "print", "http://example.org", nullptr, "C:\\", 1), 32);
    testing::ScopedEnv noPath("PATH", (tmp_.Native() / "nothing-here").c_str());
    EXPECT_THROW(executor_.ShellExecute(0, nullptr, "http://example.org", nullptr, "C:\\", 1),
                 PlatformError);
}

}  // namespace
}  // namespace platform::posix

// Several programs at once on one store and one Start Menu, some killed at a
// random moment: afterwards every acknowledged write is there, no shortcut
// is half-written, the store is sound, and nothing left over stops the next
// run. Short here; KESTROW_SOAK_RUNS=2000 runs a longer soak.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform_error.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/testing/child_process.h"
#include "platform/testing/store_holder.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "shortcut-maker/testing/private_user.h"

namespace shortcut_maker {
namespace {

namespace fs = std::filesystem;

std::string BinDir() {
    const char* bin = std::getenv("KESTROW_BIN_DIR");
    return bin ? bin : KESTROW_BIN_DIR_DEFAULT;
}

class SoakTest : public ::testing::Test {
  protected:
    SoakTest() {
        fs::create_directories(Root() + "/config/kestrow");
        fs::create_directories(Root() + "/home");
    }
    std::string Root() const { return dir.Path(); }
    std::string Store() const { return Root() + "/config/kestrow/registry.db"; }
    fs::path StartMenu() const { return Root() + "/data/kestrow/Start Menu"; }

    // Starts a program with the test's private folders and no display.
    platform::testing::ChildProcess Start(const std::vector<std::string>& arguments) {
        platform::testing::ChildLaunch launch;
        launch.arguments = arguments;
        launch.environment = shortcut_maker::testing::PrivateUserEnvironment(Root());
        launch.newSession = true;
        return platform::testing::ChildProcess::Start(launch);
    }

    platform::testing::TestFolder dir;
};

struct SoakRun {
    enum Kind { kShortcut, kSetting, kValue } kind;
    int number;
    bool killed = false;
    int status = -1;
};

TEST_F(SoakTest, KilledAndConcurrentRunsLoseNothingAndLeaveNothingInTheWay) {
    const char* asked = std::getenv("KESTROW_SOAK_RUNS");
    const int kRuns = asked && std::atoi(asked) > 0 ? std::atoi(asked) : 120;
    constexpr int kAtOnce = 4;
    const std::string maker = BinDir() + "/Kestrow2005";
    const std::string reg = BinDir() + "/kestrow-reg";
    {
        auto registry = platform::posix::OpenSqliteRegistry(Store());
        platform::testing::WriteRaw(*registry, "Control Panel\\Desktop", "MenuShowDelay",
                                    platform::kRegSz, platform::testing::Text("100"));
    }
    std::mt19937 random(20261207);
    std::map<platform::testing::ChildProcess::Id, SoakRun> running;
    std::vector<SoakRun> finished;
    int started = 0;
    while (started < kRuns || !running.empty()) {
        while (started < kRuns && static_cast<int>(running.size()) < kAtOnce) {
            SoakRun run{static_cast<SoakRun::Kind>(started % 3), started};
            std::vector<std::string> arguments;
            if (run.kind == SoakRun::kShortcut) {
                const std::string folder = Root() + "/folders/f" + std::to_string(started);
                fs::create_directories(folder);
                arguments = {maker, folder};
            } else if (run.kind == SoakRun::kSetting) {
                const char* names[] = {"AllFolders", "SideMenu", "TwoPane", "Maximized"};
                arguments = {reg,
                             "add",
                             "HKCU\\Software\\Tamsholt\\Kestrow 2005",
                             "/v",
                             names[started % 4],
                             "/t",
                             "REG_DWORD",
                             "/d",
                             std::to_string(random() % 2),
                             "/f"};
            } else {
                arguments = {reg,
                             "add",
                             "HKCU\\Software\\Soak",
                             "/v",
                             "w" + std::to_string(started),
                             "/t",
                             "REG_DWORD",
                             "/d",
                             std::to_string(started),
                             "/f"};
            }
            const platform::testing::ChildProcess child = Start(arguments);
            ASSERT_TRUE(child.Started());
            // One run in four is killed, at a random moment of its life.
            if (random() % 4 == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
                run.killed = child.Kill();
            }
            running[child.ProcessId()] = run;
            ++started;
        }
        const auto done = platform::testing::ChildProcess::WaitAny();
        ASSERT_TRUE(done);
        SoakRun run = running.at(done->first);
        running.erase(done->first);
        run.killed = done->second.WasKilled();
        run.status = done->second.Status();
        finished.push_back(run);
    }

    int killed = 0;
    int failedUnkilled = 0;
    int lost = 0;
    auto registry = platform::posix::OpenSqliteRegistry(Store());
    for (const SoakRun& run : finished) {
        killed += run.killed;
        if (run.killed) continue;
        failedUnkilled += run.status != 0;
        if (run.status != 0) {
            ADD_FAILURE() << "run " << run.number << " (kind " << run.kind << ") exited "
                          << run.status;
            continue;
        }
        if (run.kind == SoakRun::kValue) {
            const auto value = platform::testing::ReadRaw(*registry, "Software\\Soak",
                                                          "w" + std::to_string(run.number));
            lost += !value || value->data != platform::testing::Dword(run.number);
        } else if (run.kind == SoakRun::kShortcut) {
            const std::string name = "f" + std::to_string(run.number) + ".lnk";
            lost += !fs::exists(StartMenu() / name) && !fs::exists(StartMenu() / "Kestrow" / name);
        }
    }
    EXPECT_EQ(failedUnkilled, 0);
    EXPECT_EQ(lost, 0);
    EXPECT_GT(killed, 0) << "the soak killed nothing";

    // The settings hold what our programs write, and only that.
    for (const char* name : {"AllFolders", "SideMenu", "TwoPane", "Maximized"}) {
        const auto value =
            platform::testing::ReadRaw(*registry, "Software\\Tamsholt\\Kestrow 2005", name);
        ASSERT_TRUE(value) << name;
        EXPECT_TRUE(value->data == platform::testing::Dword(0) ||
                    value->data == platform::testing::Dword(1))
            << name;
    }
    registry.reset();

    // Every shortcut there is whole; temporary files are the only leftovers.
    int shortcuts = 0;
    std::vector<fs::path> leftovers;
    for (const auto& entry : fs::recursive_directory_iterator(StartMenu())) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        if (name.rfind(".kestrow-tmp-", 0) == 0) {
            leftovers.push_back(entry.path());
            continue;
        }
        ++shortcuts;
        try {
            const auto contents = platform::posix::ReadShellLinkFile(entry.path().string());
            // The side menu's own shortcut opens the side menu.
            const std::string opened = name == "Kestrow.lnk"
                                           ? "\\Kestrow\\\""
                                           : "\\folders\\" + name.substr(0, name.size() - 4) + "\"";
            EXPECT_NE(contents.link.arguments.find(opened), std::string::npos)
                << name << ": " << contents.link.arguments;
        } catch (const platform::PlatformError& e) {
            ADD_FAILURE() << name << " is not a whole shortcut: " << e.what();
        }
    }
    EXPECT_GT(shortcuts, 0);
    EXPECT_EQ(platform::testing::StoreIntegrity(Store()), "ok");

    // Once they are old, the next run clears the leftovers and works as ever.
    for (const auto& leftover : leftovers) {
        fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    std::printf("%d runs, %d killed, %d temporary files left by killed runs\n", kRuns, killed,
                static_cast<int>(leftovers.size()));
    for (const char* menu : {"", "/Kestrow"}) {
        // One run into each folder that may hold leftovers.
        auto registry2 = platform::posix::OpenSqliteRegistry(Store());
        platform::testing::WriteRaw(*registry2, "Software\\Tamsholt\\Kestrow 2005", "SideMenu",
                                    platform::kRegDword, platform::testing::Dword(*menu ? 1 : 0));
        registry2.reset();
        const std::string folder = Root() + "/folders/last" + std::string(*menu ? "1" : "0");
        fs::create_directories(folder);
        const auto exit = Start({maker, folder}).Wait();
        ASSERT_TRUE(exit);
        EXPECT_TRUE(exit->Succeeded()) << exit->Status();
    }
    for (const auto& leftover : leftovers) EXPECT_FALSE(fs::exists(leftover)) << leftover;
}

}  // namespace
}  // namespace shortcut_maker

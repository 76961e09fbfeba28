// The program as a process: how it takes its arguments, what it prints and
// how it exits, with no display and no terminal.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/child_process.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "shortcut-maker/testing/private_user.h"

namespace shortcut_maker {
namespace {

namespace fs = std::filesystem;

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() {
        fs::create_directories(Root() + "/config/kestrow");
        fs::create_directories(Root() + "/home");
        // No window is due: the delay already meets the advice.
        auto registry = platform::posix::OpenSqliteRegistry(Root() + "/config/kestrow/registry.db");
        platform::testing::WriteRaw(*registry, "Control Panel\\Desktop", "MenuShowDelay",
                                    platform::kRegSz, platform::testing::Text("100"));
    }
    std::string Root() const { return dir.Path(); }
    fs::path SideMenu() const { return Root() + "/data/kestrow/Start Menu/Kestrow"; }

    // Runs the program without display or terminal; its exit code.
    int Run(const std::vector<std::string>& arguments,
            std::optional<std::uint64_t> fileSizeLimit = std::nullopt) {
        const char* binDir = std::getenv("KESTROW_BIN_DIR");
        platform::testing::ChildLaunch launch;
        launch.arguments = {std::string(binDir ? binDir : KESTROW_BIN_DIR_DEFAULT) +
                            "/Kestrow2005"};
        launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
        launch.environment = shortcut_maker::testing::PrivateUserEnvironment(Root());
        launch.directory = Root();
        launch.output = Root() + "/out.txt";
        launch.error = Root() + "/err.txt";
        launch.fileSizeLimit = fileSizeLimit;
        launch.newSession = true;
        const auto exit = platform::testing::ChildProcess::Start(launch).Wait();
        out = Slurp(Root() + "/out.txt");
        err = Slurp(Root() + "/err.txt");
        return exit && exit->signal == 0 ? exit->code : -1;
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    platform::testing::TestFolder dir;
    std::string out;
    std::string err;
};

TEST_F(ProgramTest, DirectModeJoinsTheArgumentsAndSucceedsSilently) {
    fs::create_directories(Root() + "/Trips 2026");
    EXPECT_EQ(Run({Root() + "/Trips", "2026"}), 0) << err;
    EXPECT_TRUE(fs::exists(SideMenu() / "Trips 2026.lnk"));
    EXPECT_TRUE(fs::exists(SideMenu() / "Kestrow.lnk"));
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
}

TEST_F(ProgramTest, RefusedShortcutExitsNonZeroWithTheReasonOnStandardError) {
    // Nothing but separators leaves no name to write under.
    EXPECT_EQ(Run({"\\\\\\\\"}), 1);
    EXPECT_NE(err.find("inside the Start Menu"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(SideMenu()));
}

TEST_F(ProgramTest, AFolderNameThatIsNoTextIsRefusedAndNothingIsWritten) {
    fs::create_directories(Root() + "/bad\xFF");
    EXPECT_EQ(Run({Root() + "/bad\xFF"}), 1);
    EXPECT_NE(err.find("has a name that is not valid text"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(SideMenu()));
}

TEST_F(ProgramTest, AFolderWithABackslashInANameIsRefusedAsABoxWouldShowIt) {
    fs::create_directories(Root() + "/a\\b");
    EXPECT_EQ(Run({Root() + "/a\\b"}), 1);
    // Through the message box, which with no display is written out.
    EXPECT_NE(err.find("Kestrow: Warning: The folder \""), std::string::npos) << err;
    EXPECT_NE(err.find("has a backslash in a name"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(SideMenu()));
}

// A limit on file sizes stops the write, which is told; the program is not
// killed by the signal the limit would send.
TEST_F(ProgramTest, AFileSizeLimitIsAClearErrorNotADeathBySignal) {
    fs::create_directories(Root() + "/Photos");
    ASSERT_EQ(Run({Root() + "/Photos"}), 0) << err;  // the store is made and filled
    fs::create_directories(Root() + "/Trips");
    const auto written = fs::file_size(SideMenu() / "Photos.lnk");
    ASSERT_GT(written, 400u);
    // Room for the message, not for a shortcut.
    EXPECT_EQ(Run({Root() + "/Trips"}, 400), 1) << err;
    // Whichever write meets the limit first (the store's or the shortcut's)
    // is told with its cause.
    EXPECT_NE(err.find("File too large"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(SideMenu() / "Trips.lnk"));
}

TEST_F(ProgramTest, AdviceThatCannotBeShownIsNoFailure) {
    {
        auto registry = platform::posix::OpenSqliteRegistry(Root() + "/config/kestrow/registry.db");
        platform::testing::WriteRaw(*registry, "Control Panel\\Desktop", "MenuShowDelay",
                                    platform::kRegSz, platform::testing::Text("400"));
    }
    fs::create_directories(Root() + "/Photos");
    EXPECT_EQ(Run({Root() + "/Photos"}), 0) << err;
    EXPECT_TRUE(fs::exists(SideMenu() / "Photos.lnk"));
    EXPECT_EQ(err, "");
}

TEST_F(ProgramTest, WithNobodyToAskAnExistingShortcutIsKept) {
    fs::create_directories(Root() + "/Photos");
    ASSERT_EQ(Run({Root() + "/Photos"}), 0) << err;
    const fs::path shortcut = SideMenu() / "Photos.lnk";
    ASSERT_TRUE(fs::exists(shortcut));
    fs::resize_file(shortcut, 10);  // a mark that a rewrite would remove

    EXPECT_EQ(Run({Root() + "/Photos"}), 0) << err;
    EXPECT_NE(err.find("A shortcut called Photos already exists. Do you want to replace it?"),
              std::string::npos)
        << err;
    EXPECT_EQ(fs::file_size(shortcut), 10u);
}

}  // namespace
}  // namespace shortcut_maker

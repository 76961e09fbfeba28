// A settings store that is damaged: the shortcut maker still works with the
// default options and never touches the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "frm_options.h"
#include "testing/maker_harness.h"

namespace {

using namespace maker_testing;

class DamagedStoreTest : public testing::Test {
protected:
    void SetUp() override {
        // Start over on a damaged file, as a fresh start would find it.
        h.platform.registry.reset();
        storePath = h.Root() + "/registry.db";
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(storePath + suffix);
        std::ofstream out(storePath, std::ios::binary);
        for (int i = 0; i < 100; ++i) out << "not a settings store \x01\x02\x03\n";
        out.close();
        before = ReadBytes(storePath);
        h.platform.registry = platform::OpenSqliteRegistry(storePath);
        h.platform.createScriptShell = [registry = h.platform.registry.get()] {
            return std::make_unique<platform::PosixWshShell>(*registry);
        };
    }
    std::string storePath;
    std::vector<std::uint8_t> before;
    MakerHarness h;
};

TEST_F(DamagedStoreTest, DirectModeWritesWithTheDefaultsAndLeavesTheFileAlone) {
    const std::string folder = h.Folder("Projects");
    h.program->Main(folder);
    EXPECT_EQ(h.program->ExitCode(), 0);
    // All four options at 1: side menu, all folders, two panes, maximized.
    ExpectFolderShortcut(h.SideMenu() / "Projects.lnk", "/e,\"" + folder + "\"", folder, 3);
    for (const auto& message : h.script.messages) {
        EXPECT_EQ(message.text.find("Unexpected error"), std::string::npos) << message.text;
    }
    EXPECT_EQ(ReadBytes(storePath), before);
}

TEST_F(DamagedStoreTest, DialogShowsEveryDefaultOptionOn) {
    h.script.browsedFolder = h.Folder("Photos");
    h.program->Main("");
    frmOptions& form = h.program->OptionsForm();
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.optAllFolders.Value());
    EXPECT_TRUE(form.optSideMenu.Value());
    EXPECT_TRUE(form.optTwoPane.Value());
    EXPECT_TRUE(form.optMaximized.Value());
    EXPECT_TRUE(h.script.messages.empty());
    form.cmdDefault.Click();  // a save the store refuses passes quietly
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(ReadBytes(storePath), before);
}

}  // namespace

// A settings store the shortcut maker cannot use (damaged, a folder in its
// place, held by another program): the user is told which file and why, no
// shortcut is made with options the user did not choose, the run fails, and
// the file is never touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/posix_wsh_shell.h"
#include "platform/testing/store_holder.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using namespace testing;

class UnusableStoreTest : public ::testing::Test {
  protected:
    // Start over on the store at storePath, as a fresh start would find it.
    void Reopen() {
        h.platform.registry = platform::posix::OpenSqliteRegistry(storePath);
        h.platform.createScriptShell = [registry = h.platform.registry.get()] {
            return std::make_unique<platform::posix::PosixWshShell>(*registry);
        };
    }
    void Damage() {
        h.platform.registry.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(storePath + suffix);
        std::ofstream out(storePath, std::ios::binary);
        for (int i = 0; i < 100; ++i) out << "not a settings store \x01\x02\x03\n";
        out.close();
        before = ReadBytes(storePath);
        Reopen();
    }
    // The one message shown, which must name the store.
    std::string OnlyMessage() {
        EXPECT_EQ(h.script.messages.size(), 1u);
        if (h.script.messages.empty()) return {};
        const auto& message = h.script.messages.front();
        EXPECT_EQ(message.title, "Kestrow");
        EXPECT_NE(message.text.find("\"" + storePath + "\""), std::string::npos) << message.text;
        EXPECT_EQ(message.text.find("Unexpected error"), std::string::npos) << message.text;
        return message.text;
    }
    std::vector<std::string> ShortcutsMade() {
        std::vector<std::string> made;
        if (!fs::exists(h.StartMenu())) return made;
        for (const auto& entry : fs::recursive_directory_iterator(h.StartMenu())) {
            if (entry.is_regular_file()) made.push_back(entry.path().filename().string());
        }
        return made;
    }

    MakerHarness h;
    std::string storePath = h.StorePath();
    std::vector<std::uint8_t> before;
};

TEST_F(UnusableStoreTest, DirectModeSaysTheStoreIsDamagedWritesNothingAndFails) {
    Damage();
    h.program->Main(h.Folder("Projects"));
    EXPECT_NE(OnlyMessage().find("is damaged or is not a settings store"), std::string::npos);
    EXPECT_EQ(h.program->ExitCode(), 1);
    EXPECT_EQ(ShortcutsMade(), std::vector<std::string>{});
    EXPECT_EQ(ReadBytes(storePath), before);
}

TEST_F(UnusableStoreTest, DialogModeSaysSoBeforeShowingOptionsItCouldNotRead) {
    Damage();
    h.AnswerBrowser(h.Folder("Photos"));
    h.program->Main("");
    EXPECT_NE(OnlyMessage().find("is damaged"), std::string::npos);
    EXPECT_FALSE(h.program->OptionsForm().IsLoaded());
    EXPECT_EQ(h.program->ExitCode(), 1);
    EXPECT_EQ(ReadBytes(storePath), before);
}

TEST_F(UnusableStoreTest, AFolderInPlaceOfTheStoreIsNamedAsTheCause) {
    h.platform.registry.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(storePath + suffix);
    fs::create_directories(storePath);
    Reopen();
    h.program->Main(h.Folder("Projects"));
    EXPECT_NE(OnlyMessage().find("cannot be opened: Is a directory"), std::string::npos);
    EXPECT_EQ(h.program->ExitCode(), 1);
    EXPECT_EQ(ShortcutsMade(), std::vector<std::string>{});
    EXPECT_TRUE(fs::is_directory(storePath));
}

// Another program holds the store's write lock for longer than we wait.
class HeldStoreTest : public UnusableStoreTest {
  protected:
    void Hold() { ASSERT_TRUE(holder_.Hold()); }
    platform::testing::StoreWriteLockHolder holder_{storePath};
};

TEST_F(HeldStoreTest, StoredSettingsThatNeedNoChangeAreUsedWithoutTheWriteLock) {
    h.StoreDefaults(1, 0, 1, 0);
    h.SetDword(MakerHarness::kSettingsKey, "CheckStartMenuDelay", 1);
    h.SetMenuDelay("100");
    Hold();
    // A write that was asked for would have met the held lock and failed
    // as busy, with a message and a failing run.
    const std::string folder = h.Folder("Projects");
    h.program->Main(folder);
    EXPECT_EQ(h.program->ExitCode(), 0);
    EXPECT_TRUE(h.script.messages.empty());
    ExpectFolderShortcut(h.StartMenu() / "Projects.lnk", "/e,\"" + folder + "\"", folder, 1);
}

TEST_F(HeldStoreTest, ADueChangeWaitsThenSaysTheStoreIsBusyAndMakesNothing) {
    h.SetMenuDelay("100");  // the settings key itself is still to be written
    Hold();
    h.program->Main(h.Folder("Projects"));
    EXPECT_NE(OnlyMessage().find("is busy: another program has been using it"), std::string::npos);
    EXPECT_EQ(h.program->ExitCode(), 1);
    EXPECT_EQ(ShortcutsMade(), std::vector<std::string>{});
}

}  // namespace
}  // namespace shortcut_maker

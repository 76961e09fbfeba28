// What the shortcut maker refuses, and that it names the real cause: folder
// names a shortcut cannot hold, places outside the Start Menu, a side menu
// another run made first, a write the system stops.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/forms/message_box.h"
#ifndef _WIN32
#include "platform/testing/file_size_limit.h"
#endif
#include "platform/text/text.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using namespace testing;

class RefusalsTest : public ::testing::Test {
  protected:
    void SetUp() override { h.SetMenuDelay("100"); }

    // The one message shown, with the shortcut maker's title.
    std::string OnlyMessage() {
        EXPECT_EQ(h.script.messages.size(), 1u);
        if (h.script.messages.empty()) return {};
        EXPECT_EQ(h.script.messages.front().title, "Kestrow");
        return h.script.messages.front().text;
    }
    int FilesIn(const fs::path& folder) {
        if (!fs::exists(folder)) return 0;
        int count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            count += entry.is_regular_file() || entry.is_symlink();
        }
        return count;
    }

    static void MakeFile(const fs::path& file) { std::ofstream(file) << "x"; }

    MakerHarness h;
};

// Bytes that are no text (here a stray byte, and the UTF-8 form of a lone
// surrogate) would reach the shortcut as other characters: another folder.
// POSIX only: Windows names are UTF-16 text.
#ifndef _WIN32
TEST_F(RefusalsTest, AFolderNameThatIsNoTextIsRefusedAndNothingIsWritten) {
    for (const std::string bad : {"bad\xFF", "bad\xED\xA0\x80"}) {
        MakerHarness run;
        run.SetMenuDelay("100");
        fs::create_directories(run.Root() + "/folders/" + bad);
        run.program->Main("Z:" + run.Root() + "/folders/" + bad);
        ASSERT_EQ(run.script.messages.size(), 1u);
        EXPECT_NE(run.script.messages[0].text.find("has a name that is not valid text"),
                  std::string::npos);
        EXPECT_TRUE(platform::text::IsValidUtf8(run.script.messages[0].text))
            << "shown as it can be";
        EXPECT_EQ(run.program->ExitCode(), 1);
        EXPECT_FALSE(fs::exists(run.StartMenu() / "Kestrow"));
    }
}
#endif

TEST_F(RefusalsTest, AFolderRefusedFromTheCommandLineIsShownInAMessageBox) {
    h.program->RefuseFolder("The folder \"/a\\b\" has a backslash in a name.");
    EXPECT_EQ(OnlyMessage(), "The folder \"/a\\b\" has a backslash in a name.");
    EXPECT_EQ(h.script.messages.front().style,
              platform::forms::kMbOk | platform::forms::kMbIconExclamation);
    EXPECT_EQ(h.program->ExitCode(), 1);
}

TEST_F(RefusalsTest, AChosenFolderTooLongForAShortcutIsToldNotDropped) {
    h.AnswerBrowser("Z:\\" + std::string(300, 'd'));
    h.program->Main("");
    EXPECT_NE(OnlyMessage().find("longer than 259 characters"), std::string::npos);
    EXPECT_FALSE(h.program->OptionsForm().IsLoaded());
    EXPECT_EQ(h.program->ExitCode(), 1);
}

// POSIX only: there a Start Menu may name a drive the system does not have.
#ifndef _WIN32
TEST_F(RefusalsTest, AStartMenuThisSystemCannotReachIsNamedAsTheCause) {
    h.SetString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                "Start Menu", "C:\\Users\\ann\\Start Menu");
    h.program->Main(h.Folder("Projects"));
    EXPECT_NE(OnlyMessage().find("The Start Menu folder \"C:\\Users\\ann\\Start Menu\\\" cannot be "
                                 "reached on this system"),
              std::string::npos);
    EXPECT_EQ(h.program->ExitCode(), 1);
}
#endif

// Two first runs at once: the other one made the side menu between this
// run's look and its own attempt to make it.
TEST_F(RefusalsTest, ASideMenuAnotherRunMadeMeanwhileIsUsed) {
    class LateLook : public NativeFileSystem {
      public:
        explicit LateLook(fs::path sideMenu) : sideMenu_(std::move(sideMenu)) {}
        bool FolderExists(const std::string& path) override {
            if (!looked_) {
                looked_ = true;
                fs::create_directories(sideMenu_);  // the other run, just now
                return false;
            }
            return NativeFileSystem::FolderExists(path);
        }

      private:
        fs::path sideMenu_;
        bool looked_ = false;
    };
    h.platform.createFileSystem = [&] { return std::make_unique<LateLook>(h.SideMenu()); };
    const std::string folder = h.Folder("Projects");
    h.program->Main(folder);
    EXPECT_TRUE(h.script.messages.empty()) << h.script.messages[0].text;
    EXPECT_EQ(h.program->ExitCode(), 0);
    ExpectFolderShortcut(h.SideMenu() / "Projects.lnk", "/e,\"" + folder + "\"", folder, 3);
}

// A device's name opens the device, and a colon makes a hidden stream on
// NTFS: refused at once, before a question about a file that is not there.
// POSIX only: there such files exist to be asked about.
#ifndef _WIN32
TEST_F(RefusalsTest, ANameWindowsCannotHoldIsRefusedBeforeAnyQuestion) {
    for (const std::string name :
         {"CON", "nul.txt", "Com1 ", "LPT\xC2\xB9", "CONOUT$", "x:y", "a|b"}) {
        MakerHarness run;
        run.SetMenuDelay("100");
        fs::create_directories(run.SideMenu());
        MakeFile(run.SideMenu() / (name + ".lnk"));
        run.script.answers.push_back(platform::forms::kIdYes);
        run.program->Main("C:\\Data\\" + name);
        ASSERT_EQ(run.script.messages.size(), 1u) << name;
        EXPECT_EQ(run.script.messages[0].text.rfind(
                      "A shortcut called \"" + name +
                          "\" cannot be made: Windows cannot keep that name for a file.",
                      0),
                  0u)
            << run.script.messages[0].text;
        EXPECT_EQ(run.program->ExitCode(), 1) << name;
        EXPECT_EQ(FilesIn(run.StartMenu()), 1) << name;
    }
    for (const std::string name : {"CONSOLE", "NUL2", "COM0", "Auxiliary.txt", "x.CON"}) {
        MakerHarness run;
        run.SetMenuDelay("100");
        run.program->Main("C:\\Data\\" + name);
        EXPECT_TRUE(run.script.messages.empty()) << name;
        EXPECT_TRUE(fs::exists(run.SideMenu() / (name + ".lnk"))) << name;
    }
}
#endif

// The new file takes the old one's place in one step, so nothing is deleted
// first; a read-only one is still refused as deleting it would be.
TEST_F(RefusalsTest, AReadOnlyShortcutIsRefusedAndKept) {
    h.StoreDefaults(1, 1, 1, 1);
    fs::create_directories(h.SideMenu());
    const fs::path old = h.SideMenu() / "Projects.lnk";
    MakeFile(old);
    fs::permissions(old, fs::perms::owner_read | fs::perms::group_read);
    h.script.answers.push_back(platform::forms::kIdYes);
    h.program->Main("C:\\Data\\Projects");
    ASSERT_EQ(h.script.messages.size(), 2u);
    EXPECT_NE(h.script.messages[1].text.find("Permission denied: \"" + h.program->ShortcutPath +
                                             "\" is read-only."),
              std::string::npos)
        << h.script.messages[1].text;
    EXPECT_EQ(ReadBytes(old).size(), 1u) << "the old shortcut is kept";
    EXPECT_EQ(h.program->ExitCode(), 1);
}

// With the shortcut in the Start Menu itself, a side menu that links to
// another folder must not get its own shortcut written through the link.
// POSIX only: the C++ library makes no symbolic links on Windows.
#ifndef _WIN32
TEST_F(RefusalsTest, ASideMenuThatIsALinkGetsNoOwnShortcut) {
    h.StoreDefaults(1, 0, 1, 1);
    const fs::path outside = fs::path(h.Root()) / "outside";
    fs::create_directories(outside);
    fs::create_directories(h.StartMenu());
    fs::create_directory_symlink(outside, h.SideMenu());
    h.program->Main("C:\\Data\\Projects");
    EXPECT_TRUE(h.script.messages.empty()) << h.script.messages[0].text;
    EXPECT_TRUE(fs::exists(h.StartMenu() / "Projects.lnk"));
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(h.program->ExitCode(), 0);
}
#endif

// POSIX only: a file-size limit is a POSIX resource limit.
#ifndef _WIN32
TEST_F(RefusalsTest, AWriteTheSystemStopsNamesItsCauseInTheErrorMessage) {
    h.StoreDefaults(1, 1, 1, 1);
    const std::string folder = h.Folder("Projects");
    fs::create_directories(h.SideMenu());
    // A limit on file sizes, as ulimit -f sets it.
    {
        platform::testing::ScopedFileSizeLimit limit(64);
        ASSERT_TRUE(limit.Ok());
        h.program->Main(folder);
    }

    const std::string message = OnlyMessage();
    EXPECT_EQ(message.rfind("Unexpected error.\r\n\r\nCannot write the file \"", 0), 0u) << message;
    EXPECT_NE(message.find("File too large\r\n\r\nTry installing the latest version of Windows "
                           "Script.\r\n\r\nIt can be downloaded for free from Microsoft."),
              std::string::npos)
        << message;
    EXPECT_EQ(h.program->ExitCode(), 1);
    EXPECT_EQ(FilesIn(h.SideMenu()), 0) << "no half-written shortcut or temporary file";
}
#endif

}  // namespace
}  // namespace shortcut_maker

#include "posix/chm_help.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "testing/scripted_backend.h"
#include "platform_error.h"
#include "testing/test_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The scripted backend, also keeping each help window's resource loader.
class RecordingBackend : public forms::ScriptedBackend {
  public:
    RecordingBackend(Script& script,
                     std::vector<std::function<std::string(const std::string&)>>& loaders)
        : ScriptedBackend(script), loaders_(loaders) {}
    std::uintptr_t OpenHelpWindow(
        const std::string& title, const std::string& html,
        std::function<std::string(const std::string&)> resource) override {
        loaders_.push_back(resource);
        return ScriptedBackend::OpenHelpWindow(title, html, resource);
    }

  private:
    std::vector<std::function<std::string(const std::string&)>>& loaders_;
};

class ChmHelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path src = tmp_.Native();
        std::ofstream(src / "kestrow.htm")
            << "<html><head><title> Kestrow Help </title></head><body>"
               "<p>Shortcuts to folders</p><img src=\"pics/dot.gif\"></body></html>";
        std::ofstream(src / "other.htm") << "<html><body>Other topic</body></html>";
        fs::create_directory(src / "pics");
        std::ofstream(src / "pics" / "dot.gif") << "GIF89a-dot";
        std::ofstream(src / "kestrow.hhp") << "[OPTIONS]\nCompiled file=kestrow.chm\n"
                                              "Default topic=kestrow.htm\nTitle=Kestrow\n\n"
                                              "[FILES]\nkestrow.htm\nother.htm\npics/dot.gif\n";
        const std::string command =
            "cd '" + src.string() + "' && chmcmd kestrow.hhp >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 || !fs::exists(src / "kestrow.chm") ||
            fs::file_size(src / "kestrow.chm") == 0) {
            GTEST_SKIP() << "chmcmd could not build a help file";
        }
    }

    testing::TestFolder tmp_;
    forms::ScriptedBackend::Script script_;
    std::vector<std::function<std::string(const std::string&)>> loaders_;
    int backendsMade_ = 0;
    forms::UserInterface ui_{[this] {
        ++backendsMade_;
        return std::make_unique<RecordingBackend>(script_, loaders_);
    }};
    ChmHelp help_{ui_};
};

TEST_F(ChmHelpTest, ShowsTheTopicInAHelpWindowWithItsPictures) {
    const std::string chm = tmp_.Windows("kestrow.chm");
    EXPECT_NE(help_.HtmlHelp(0, chm, kHhDisplayTopic, "kestrow.htm"), 0u);
    ASSERT_EQ(script_.helpWindows.size(), 1u);
    EXPECT_EQ(script_.helpWindows[0].title, "Kestrow Help");
    EXPECT_NE(script_.helpWindows[0].html.find("Shortcuts to folders"), std::string::npos);
    ASSERT_EQ(loaders_.size(), 1u);
    EXPECT_EQ(loaders_[0]("pics/dot.gif"), "GIF89a-dot");
    EXPECT_EQ(loaders_[0]("other.htm#top"), "<html><body>Other topic</body></html>");
    EXPECT_EQ(loaders_[0]("missing.gif"), "");

    // A second request shows the topic again.
    EXPECT_NE(help_.HtmlHelp(0, chm, kHhDisplayTopic, "/kestrow.htm#start"), 0u);
    EXPECT_EQ(script_.helpWindows.size(), 2u);
    EXPECT_EQ(script_.messages.size(), 0u);
}

TEST_F(ChmHelpTest, AMissingFileOrTopicIsOnlyAZero) {
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("absent.chm"), kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("kestrow.htm"), kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "absent.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, "C:\\kestrow.chm", kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_TRUE(script_.helpWindows.empty());
    EXPECT_TRUE(script_.messages.empty());
}

TEST_F(ChmHelpTest, CloseAllClosesOpenWindowsAndNeverLoadsAGuiForNothing) {
    EXPECT_EQ(help_.HtmlHelp(0, "", kHhCloseAll, ""), 0u);
    EXPECT_EQ(backendsMade_, 0);

    help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "kestrow.htm");
    help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "other.htm");
    ASSERT_EQ(script_.helpWindows.size(), 2u);
    help_.HtmlHelp(0, "", kHhCloseAll, "");
    EXPECT_FALSE(script_.helpWindows[0].open);
    EXPECT_FALSE(script_.helpWindows[1].open);
    EXPECT_EQ(backendsMade_, 1);
}

TEST(ChmHelpLibraryTest, AMissingLibraryFailsTheCallThatNeedsIt) {
    forms::ScriptedBackend::Script script;
    forms::UserInterface ui([&] { return std::make_unique<forms::ScriptedBackend>(script); });
    ChmHelp help(ui, "libkestrow-no-such-help-library.so.1");
    EXPECT_EQ(help.HtmlHelp(0, "", kHhCloseAll, ""), 0u);
    EXPECT_THROW(help.HtmlHelp(0, "Z:\\x\\kestrow.chm", kHhDisplayTopic, "kestrow.htm"),
                 PlatformError);
    EXPECT_TRUE(script.helpWindows.empty());
}

TEST(HtmlTitleTest, FindsTheTitleWhateverItsCase) {
    EXPECT_EQ(HtmlTitle("<HTML><TITLE>\n Help \n</TITLE>"), "Help");
    EXPECT_EQ(HtmlTitle("<html><body>none</body></html>"), "");
}

}  // namespace
}  // namespace platform

#include "platform/posix/chm_help.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

struct ShownHelp {
    forms::HelpDocument document;
    bool open = true;
};

// The scripted backend with help windows that keep what they were shown.
class RecordingBackend : public testing::ScriptedBackend, public forms::HelpWindows {
  public:
    RecordingBackend(Script& script, std::vector<ShownHelp>& shown)
        : ScriptedBackend(script), shown_(shown) {}
    std::uintptr_t OpenHelp(const forms::HelpDocument& document) override {
        shown_.push_back({document, true});
        return shown_.size();
    }
    void CloseHelpWindows() override {
        for (auto& window : shown_) window.open = false;
    }

  private:
    std::vector<ShownHelp>& shown_;
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
        std::ofstream(src / "toc.hhc")
            << "<HTML><BODY><UL><LI><OBJECT type=\"text/sitemap\">"
               "<param name=\"Name\" value=\"Welcome\"><param name=\"Local\" value=\"kestrow.htm\">"
               "</OBJECT><UL><LI><OBJECT type=\"text/sitemap\">"
               "<param name=\"Name\" value=\"Other &amp; more\">"
               "<param name=\"Local\" value=\"other.htm\"></OBJECT></UL></UL></BODY></HTML>";
        std::ofstream(src / "words.hhk")
            << "<HTML><BODY><UL><LI><OBJECT type=\"text/sitemap\">"
               "<param name=\"Name\" value=\"dot\"><param name=\"Local\" value=\"other.htm\">"
               "</OBJECT></UL></BODY></HTML>";
        std::ofstream(src / "kestrow.hhp")
            << "[OPTIONS]\nCompiled file=kestrow.chm\nContents file=toc.hhc\n"
               "Index file=words.hhk\nDefault topic=kestrow.htm\nTitle=Kestrow Help File\n\n"
               "[FILES]\nkestrow.htm\nother.htm\npics/dot.gif\n";
        const std::string command =
            "cd '" + src.string() + "' && chmcmd kestrow.hhp >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 || !fs::exists(src / "kestrow.chm") ||
            fs::file_size(src / "kestrow.chm") == 0) {
            GTEST_SKIP() << "chmcmd could not build a help file";
        }
    }

    testing::TestFolder tmp_;
    testing::ScriptedBackend::Script script_;
    std::vector<ShownHelp> shown_;
    int backendsMade_ = 0;
    forms::UserInterface ui_{[this] {
        ++backendsMade_;
        return std::make_unique<RecordingBackend>(script_, shown_);
    }};
    ChmHelp help_{ui_};
};

TEST_F(ChmHelpTest, ShowsTheTopicInAHelpWindowWithItsPictures) {
    const std::string chm = tmp_.Windows("kestrow.chm");
    EXPECT_NE(help_.HtmlHelp(0, chm, kHhDisplayTopic, "kestrow.htm"), 0u);
    ASSERT_EQ(shown_.size(), 1u);
    const forms::HelpDocument& first = shown_[0].document;
    EXPECT_EQ(first.title, "Kestrow Help File") << "the file's own title";
    EXPECT_NE(first.html.find("Shortcuts to folders"), std::string::npos);
    EXPECT_EQ(first.resource("pics/dot.gif"), "GIF89a-dot");
    EXPECT_EQ(first.resource("other.htm#top"), "<html><body>Other topic</body></html>");
    EXPECT_EQ(first.resource("missing.gif"), "");

    // A second request shows the topic again.
    EXPECT_NE(help_.HtmlHelp(0, chm, kHhDisplayTopic, "/kestrow.htm#start"), 0u);
    EXPECT_EQ(shown_.size(), 2u);
    EXPECT_EQ(script_.messages.size(), 0u);
}

TEST_F(ChmHelpTest, TheWindowGetsTheFilesContentsAndIndexWithTheOpeningTopic) {
    EXPECT_NE(help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "/kestrow.htm"), 0u);
    ASSERT_EQ(shown_.size(), 1u);
    const forms::HelpDocument& document = shown_[0].document;
    EXPECT_EQ(document.topic, "kestrow.htm");
    ASSERT_EQ(document.contents.size(), 2u);
    EXPECT_EQ(document.contents[0].name, "Welcome");
    EXPECT_EQ(document.contents[1].name, "Other & more");
    EXPECT_EQ(document.contents[1].topic, "other.htm");
    EXPECT_EQ(document.contents[1].depth, 1);
    ASSERT_EQ(document.index.size(), 1u);
    EXPECT_EQ(document.index[0].name, "dot");
    // Pages opened by their path name their neighbours from the root.
    EXPECT_EQ(document.resource("/pics/dot.gif"), "GIF89a-dot");

    // No topic asked for: the file's default topic.
    EXPECT_NE(help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, ""), 0u);
    EXPECT_EQ(shown_.back().document.topic, "kestrow.htm");
}

TEST_F(ChmHelpTest, AFileOrTopicThatCannotBeShownIsToldAndGivesZero) {
    const fs::path damaged = tmp_.Native() / "damaged.chm";
    {
        // A help file cut short after its first kilobyte.
        std::ifstream whole(tmp_.Native() / "kestrow.chm", std::ios::binary);
        std::string bytes(1024, '\0');
        whole.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::ofstream(damaged, std::ios::binary) << bytes;
    }
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("absent.chm"), kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("kestrow.htm"), kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("damaged.chm"), kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, "C:\\kestrow.chm", kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "absent.htm"), 0u);
    EXPECT_TRUE(shown_.empty());
    ASSERT_EQ(script_.messages.size(), 5u);
    EXPECT_EQ(script_.messages[0].text, "Cannot open the file absent.chm.");
    EXPECT_EQ(script_.messages[1].text, "Cannot open the file kestrow.htm.");
    EXPECT_EQ(script_.messages[2].text, "Cannot open the file damaged.chm.");
    EXPECT_EQ(script_.messages[3].text, "Cannot open the file kestrow.chm.");
    EXPECT_EQ(script_.messages[4].text,
              "The topic absent.htm cannot be found in the file kestrow.chm.");
    for (const auto& message : script_.messages) {
        EXPECT_EQ(message.style, platform::forms::kMbIconExclamation);
        EXPECT_EQ(message.title, "HTML Help");
    }
}

TEST_F(ChmHelpTest, CloseAllClosesOpenWindowsAndNeverLoadsAGuiForNothing) {
    EXPECT_EQ(help_.HtmlHelp(0, "", kHhCloseAll, ""), 0u);
    EXPECT_EQ(backendsMade_, 0);

    help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "kestrow.htm");
    help_.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "other.htm");
    ASSERT_EQ(shown_.size(), 2u);
    help_.HtmlHelp(0, "", kHhCloseAll, "");
    EXPECT_FALSE(shown_[0].open);
    EXPECT_FALSE(shown_[1].open);
    EXPECT_EQ(backendsMade_, 1);
}

TEST_F(ChmHelpTest, ABackendWithoutHelpWindowsFailsTheTopicAndHasNothingToClose) {
    forms::UserInterface terminal(
        [this] { return std::make_unique<testing::ScriptedBackend>(script_); });
    ChmHelp help(terminal);
    EXPECT_THROW(help.HtmlHelp(0, tmp_.Windows("kestrow.chm"), kHhDisplayTopic, "kestrow.htm"),
                 PlatformError);
    EXPECT_NO_THROW(help.HtmlHelp(0, "", kHhCloseAll, ""));
    // A file it cannot read is still told, as with windows.
    EXPECT_EQ(help.HtmlHelp(0, tmp_.Windows("absent.chm"), kHhDisplayTopic, "kestrow.htm"), 0u);
    EXPECT_EQ(script_.messages.size(), 1u);
}

TEST(ChmHelpLibraryTest, AMissingLibraryFailsTheCallThatNeedsIt) {
    testing::ScriptedBackend::Script script;
    forms::UserInterface ui([&] { return std::make_unique<testing::ScriptedBackend>(script); });
    ChmHelp help(ui, "libkestrow-no-such-help-library.so.1");
    EXPECT_EQ(help.HtmlHelp(0, "", kHhCloseAll, ""), 0u);
    EXPECT_THROW(help.HtmlHelp(0, "Z:\\x\\kestrow.chm", kHhDisplayTopic, "kestrow.htm"),
                 PlatformError);
    EXPECT_TRUE(script.messages.empty());
}

TEST(SitemapTest, ReadsNamesTopicsAndDepthsAsTheContentsAndIndexWriteThem) {
    const auto entries = ParseSitemap(
        "<!-- <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"hidden\"></OBJECT> -->"
        "<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"not one\"></OBJECT>"
        "<ul><li><object TYPE='text/sitemap'><PARAM NAME=Name VALUE=\"Book &lt;1&gt;\"></object>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Caf&#233;\">"
        "<param name=\"Local\" value=\"help.chm::/Sub\\page.htm#part\">"
        "<param name=\"Name\" value=\"second name\"><param name=\"Local\" value=\"x.htm\">"
        "</OBJECT></UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"n.htm\">"
        "</OBJECT><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Last\">"
        "<param name=\"Local\" value=\"/last.htm\"></OBJECT></ul>");
    ASSERT_EQ(entries.size(), 3u) << "a nameless entry is left out";
    EXPECT_EQ(entries[0].name, "Book <1>");
    EXPECT_EQ(entries[0].topic, "");
    EXPECT_EQ(entries[0].depth, 0);
    EXPECT_EQ(entries[1].name, "Caf\xC3\xA9");
    EXPECT_EQ(entries[1].topic, "Sub/page.htm#part");
    EXPECT_EQ(entries[1].depth, 1);
    EXPECT_EQ(entries[2].topic, "last.htm");
    EXPECT_EQ(entries[2].depth, 0);
    EXPECT_TRUE(ParseSitemap("<ul><li><object type=\"text/sitemap\"><param name=").empty());
}

TEST(HtmlTitleTest, FindsTheTitleWhateverItsCase) {
    EXPECT_EQ(HtmlTitle("<HTML><TITLE>\n Help \n</TITLE>"), "Help");
    EXPECT_EQ(HtmlTitle("<html><body>none</body></html>"), "");
}

}  // namespace
}  // namespace platform::posix

// Reads the compiled help file back through libchm, the way a viewer on this
// platform does, and checks that every page is there, that the pages link only
// to each other, and that they explain the captions the programs show.
#include <chm_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string EnvironmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

fs::path HelpFilePath() {
    return fs::path(EnvironmentOr("KESTROW_BIN_DIR", KESTROW_TEST_BUILD_DIR "/bin")) /
           "kestrow.chm";
}

// The pages as the project lists them, so that a page dropped from the
// compilation is noticed.
std::vector<std::string> ProjectPages() {
    const fs::path help = fs::path(EnvironmentOr("KESTROW_SOURCE_DIR", KESTROW_TEST_SOURCE_DIR)) /
                          "resources" / "help";
    std::vector<std::string> pages;
    for (const auto& entry : fs::directory_iterator(help)) {
        if (entry.path().extension() == ".htm") pages.push_back(entry.path().filename().string());
    }
    std::sort(pages.begin(), pages.end());
    return pages;
}

// Markup removed, the few entities the pages use decoded, white space
// collapsed: the text a reader sees.
std::string VisibleText(const std::string& html) {
    std::string text = std::regex_replace(html, std::regex("<[^>]*>"), " ");
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities) {
        for (size_t at; (at = text.find(entity)) != std::string::npos;) {
            text.replace(at, std::string(entity).size(), character);
        }
    }
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

fs::path SourceFolder() { return EnvironmentOr("KESTROW_SOURCE_DIR", KESTROW_TEST_SOURCE_DIR); }

// The C++ string literal starting at text[at] (a double quote), unescaped;
// at moves past it.
std::string ReadLiteral(const std::string& text, size_t& at) {
    std::string value;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] != '\\' || at + 1 >= text.size()) {
            value += text[at];
            continue;
        }
        const char escaped = text[++at];
        value += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped;
    }
    ++at;
    return value;
}

// The texts of the message boxes the programs' code shows: the string
// literals inside each MsgBox(...) and Warn(...) call, adjacent ones joined,
// cut at line breaks and around the parts the program fills in.
std::set<std::string> MessageTextsInCode() {
    std::set<std::string> texts;
    for (const char* folder : {"shortcut-maker", "defaults-editor", "settings", "platform/posix"}) {
        for (const auto& entry : fs::directory_iterator(SourceFolder() / folder)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".cpp" || name.find("_test") != std::string::npos) {
                continue;
            }
            std::ifstream in(entry.path());
            const std::string code{std::istreambuf_iterator<char>(in), {}};
            for (const std::string call : {"MsgBox(", "Warn("}) {
                for (size_t at = code.find(call); at != std::string::npos;
                     at = code.find(call, at)) {
                    at += call.size();
                    std::string piece;
                    for (int depth = 1; at < code.size() && depth > 0;) {
                        const char c = code[at];
                        if (c == '"') {
                            piece += ReadLiteral(code, at);
                            continue;
                        }
                        if (!std::isspace(static_cast<unsigned char>(c)) && !piece.empty()) {
                            piece += '\n';  // a part filled in at run time
                        }
                        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
                        ++at;
                    }
                    std::stringstream lines(piece);
                    for (std::string line; std::getline(lines, line);) {
                        line = std::regex_replace(line, std::regex("^[\\s\"]+|[\\s\"]+$|\r"), "");
                        if (line.size() >= 8) texts.insert(line);
                    }
                }
            }
        }
    }
    return texts;
}

class HelpFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path path = HelpFilePath();
        ASSERT_TRUE(fs::exists(path)) << path << " was not built";
        file_ = chm_open(path.c_str());
        ASSERT_NE(file_, nullptr) << path << " is not a readable compiled help file";
    }
    void TearDown() override {
        if (file_) chm_close(file_);
    }

    bool Contains(const std::string& object) {
        chmUnitInfo info{};
        return chm_resolve_object(file_, object.c_str(), &info) == CHM_RESOLVE_SUCCESS;
    }

    // The object's bytes; a failure of the test when it is missing or empty.
    std::string Read(const std::string& object) {
        chmUnitInfo info{};
        if (chm_resolve_object(file_, object.c_str(), &info) != CHM_RESOLVE_SUCCESS) {
            ADD_FAILURE() << object << " is not in the help file";
            return {};
        }
        std::string bytes(static_cast<size_t>(info.length), '\0');
        const LONGINT64 got = chm_retrieve_object(
            file_, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0, info.length);
        EXPECT_EQ(got, static_cast<LONGINT64>(info.length)) << object << " reads short";
        EXPECT_FALSE(bytes.empty()) << object << " is empty";
        return bytes;
    }

    std::string AllPagesText() {
        std::string all;
        for (const std::string& page : ProjectPages()) all += VisibleText(Read("/" + page)) + " ";
        return all;
    }

    chmFile* file_ = nullptr;
};

TEST_F(HelpFile, HoldsTheStartTopicAndEveryPageOfTheProject) {
    const std::vector<std::string> pages = ProjectPages();
    ASSERT_GE(pages.size(), 5u);
    ASSERT_NE(std::find(pages.begin(), pages.end(), "kestrow.htm"), pages.end());
    for (const std::string& page : pages) {
        const std::string html = Read("/" + page);
        EXPECT_NE(html.find("</html>"), std::string::npos) << page << " is cut short";
    }
    EXPECT_TRUE(Contains("/kestrow.css"));
    EXPECT_FALSE(Contains("/no-such-page.htm"));
}

TEST_F(HelpFile, PagesLinkOnlyToEachOtherAndRunNoScripts) {
    const std::regex reference("(?:href|src)\\s*=\\s*\"([^\"#]*)[^\"]*\"", std::regex::icase);
    for (const std::string& page : ProjectPages()) {
        const std::string html = Read("/" + page);
        EXPECT_EQ(html.find("<script"), std::string::npos) << page;
        for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (target.empty()) continue;  // a link within the page
            EXPECT_EQ(target.find(':'), std::string::npos) << page << " links outside: " << target;
            EXPECT_TRUE(Contains("/" + target)) << page << " links to missing " << target;
        }
    }
}

TEST_F(HelpFile, StartTopicIntroducesBothWaysAndEveryOption) {
    const std::string text = VisibleText(Read("/kestrow.htm"));
    for (const char* caption :
         {"Let Kestrow create a shortcut", "Kestrow 2005", "OK", "Folder tree", "Show all folders",
          "Show subfolders only", "Shortcut location", "Put shortcut on side menu",
          "Put shortcut on Start Menu", "Window style", "Show two-pane window",
          "Show folder window only", "Window size", "Maximized", "Normal",
          "Kestrow 2005 Default Settings"}) {
        EXPECT_NE(text.find(std::string("\"") + caption + "\""), std::string::npos)
            << "start topic does not name \"" << caption << "\"";
    }
}

TEST_F(HelpFile, ExplainsEveryButtonWindowAndMessage) {
    const std::string text = AllPagesText();
    for (const char* caption :
         {"OK",
          "Cancel",
          "Reset",
          "Default",
          "Help",
          "About...",
          "About Kestrow 2005",
          "Select a folder you need a shortcut to",
          "Please enter a name for the shortcut. You can use the default name or one of your own "
          "choice.",
          "You did not enter a name",
          "You cannot use the characters \\/:*?\"<>|",
          "Start Menu setting",
          "Yes, please",
          "No, thank you",
          "No, and don't ask again",
          "Your Start Menu has a delay of more than 100 milliseconds.",
          "Kestrow 2005 Default Settings is already running on your system.",
          "Unexpected error.",
          "Unexpected Error",
          "Problem with HTML Help.",
          "Problem with browser.",
          "Problem with mail client."}) {
        EXPECT_NE(text.find(std::string("\"") + caption + "\""), std::string::npos)
            << "no page quotes \"" << caption << "\"";
    }
    for (const char* fact : {"50 characters", "already exists. Do you want to replace it?",
                             "~/.local/share/kestrow/Start Menu", "Z:\\home\\", "kestrow-reg query",
                             "~/.config/kestrow/registry.db", "Kestrow.lnk"}) {
        EXPECT_NE(text.find(fact), std::string::npos) << "no page explains " << fact;
    }
}

TEST_F(HelpFile, QuotesEveryMessageTheCodeShows) {
    const std::set<std::string> messages = MessageTextsInCode();
    ASSERT_GE(messages.size(), 10u) << "the code's messages were not found";
    EXPECT_EQ(messages.count("Cannot open the file"), 1u);
    const std::string text = AllPagesText();
    for (const std::string& message : messages) {
        EXPECT_NE(text.find(message), std::string::npos) << "no page quotes \"" << message << "\"";
    }
    for (const char* fact : {"no effect on Linux", "cannot open the display; using the terminal",
                             "no window library"}) {
        EXPECT_NE(text.find(fact), std::string::npos) << "no page explains " << fact;
    }
}

TEST_F(HelpFile, ContentsListEveryPage) {
    const std::string contents = Read("/kestrow.hhc");
    for (const std::string& page : ProjectPages()) {
        EXPECT_NE(contents.find("\"" + page + "\""), std::string::npos)
            << page << " is missing from the contents";
    }
}

}  // namespace

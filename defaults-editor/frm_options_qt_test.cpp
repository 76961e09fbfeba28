#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "defaults-editor/frm_options.h"
#include "defaults-editor/mod_main.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/qt/qt_window_driver.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"

namespace defaults_editor {
namespace {

namespace qtt = platform::qt::testing;

struct Row {
    const char* name;
    const char* parent;  // the frame, or null for the form
    const char* caption;
    platform::forms::TwipsRect rect;
    int tab;
    const char* toolTip;
};

// The dialog's layout as the user is meant to see it.
const Row kLayout[] = {
    {"fraFolderTree", nullptr, "Folder tree", {240, 960, 3225, 1470}, 3, ""},
    {"optAllFolders", "fraFolderTree", "Show all folders", {240, 405, 2475, 270}, 4, ""},
    {"optSubfoldersOnly", "fraFolderTree", "Show subfolders only", {240, 930, 2475, 270}, 5, ""},
    {"fraShortcutLocation", nullptr, "Shortcut location", {3720, 960, 3225, 1470}, 6, ""},
    {"optSideMenu",
     "fraShortcutLocation",
     "Put shortcut on side menu",
     {240, 405, 2460, 270},
     7,
     ""},
    {"optStartMenu",
     "fraShortcutLocation",
     "Put shortcut on Start Menu",
     {240, 930, 2460, 270},
     8,
     ""},
    {"fraWindowStyle", nullptr, "Window style", {240, 2610, 3225, 1470}, 9, ""},
    {"optTwoPane", "fraWindowStyle", "Show two-pane window", {240, 405, 2460, 270}, 10, ""},
    {"optFolderWindow", "fraWindowStyle", "Show folder window only", {240, 930, 2460, 270}, 11, ""},
    {"fraWindowSize", nullptr, "Window size", {3720, 2610, 3225, 1470}, 12, ""},
    {"optMaximized", "fraWindowSize", "Maximized", {240, 405, 2460, 270}, 13, ""},
    {"optNormal", "fraWindowSize", "Normal", {240, 930, 2460, 270}, 14, ""},
    {"cmdOK",
     nullptr,
     "OK",
     {7230, 2655, 1140, 345},
     0,
     "Click here to make the current settings default and exit"},
    {"cmdCancel",
     nullptr,
     "Cancel",
     {7230, 3195, 1140, 345},
     1,
     "Click here to exit without changing the default settings"},
    {"cmdReset",
     nullptr,
     "Reset",
     {7230, 3735, 1140, 345},
     2,
     "Click here to return to the current default settings"},
};

// Clicks an option where a user aims: on its round indicator.
void ClickOption(qtt::WindowWidget option) { ASSERT_TRUE(option.ClickIndicator()) << "no option"; }

class FixedInstanceCheck : public platform::InstanceCheck {
  public:
    bool PreviousInstanceRunning(const std::string&) override { return false; }
};

class DefaultsDialogQtTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtt::EnsureApplication(); }

    DefaultsDialogQtTest() {
        bundle.registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
        bundle.ui = std::make_unique<platform::forms::UserInterface>(qtt::QtBackendFactory());
        bundle.instances = std::make_unique<FixedInstanceCheck>();
        program = std::make_unique<modMain>(bundle);
    }
    ~DefaultsDialogQtTest() override {
        program.reset();
        qtt::ProcessEvents();
    }

    qtt::WindowWidget Window() { return qtt::WindowOf("frmOptions"); }
    qtt::WindowWidget Widget(const std::string& name) { return qtt::ControlOf("frmOptions", name); }
    int Px(int twips) const { return qtt::LayoutPixels(twips); }
    std::uint32_t Stored(const char* name) {
        auto raw = platform::testing::ReadRaw(*bundle.registry, settings::kSettingsKey, name);
        if (!raw || raw->type != platform::kRegDword || raw->data.size() != 4) return 99;
        return raw->data[0];
    }

    platform::testing::TestFolder dir;
    platform::Platform bundle = platform::testing::StubPlatform();
    std::unique_ptr<modMain> program;
};

TEST_F(DefaultsDialogQtTest, TheWindowShowsTheLayoutOfTheTable) {
    program->Main();
    const auto window = Window();
    ASSERT_TRUE(window.Exists());
    EXPECT_EQ(window.Text(), "Kestrow 2005 Default Settings");
    EXPECT_EQ(window.Geometry().width, Px(8580));
    EXPECT_EQ(window.Geometry().height, Px(4320));
    EXPECT_TRUE(window.FixedSize()) << "a fixed border";
    EXPECT_TRUE(window.HasMinimizeButton());
    EXPECT_FALSE(window.HasMaximizeButton());

    const auto info = Widget("lblOptionInfo");
    ASSERT_TRUE(info.Exists());
    EXPECT_EQ(info.Text(),
              "You can right click on a folder in Windows Explorer and click on \"Let Kestrow "
              "create a shortcut\" on the context menu. That is the fastest way to work with "
              "Kestrow. The default name and settings will be applied.");
    EXPECT_EQ(info.Geometry(), (qtt::PixelRect{Px(225), Px(255), Px(8160), Px(405)}));

    for (const Row& row : kLayout) {
        SCOPED_TRACE(row.name);
        const auto widget = Widget(row.name);
        ASSERT_TRUE(widget.Exists());
        EXPECT_TRUE(widget.Parent() == (row.parent ? Widget(row.parent) : window));
        EXPECT_EQ(widget.Geometry(), (qtt::PixelRect{Px(row.rect.left), Px(row.rect.top),
                                                     Px(row.rect.width), Px(row.rect.height)}));
        EXPECT_EQ(widget.ToolTip(), row.toolTip);
        if (widget.IsFrame() || widget.IsButton()) {
            EXPECT_EQ(widget.Text(), row.caption);
        } else {
            ADD_FAILURE() << "not a frame or button";
        }
    }
}

TEST_F(DefaultsDialogQtTest, TabGoesThroughButtonsThenOptionsInTableOrder) {
    program->Main();
    std::vector<std::string> expected;
    for (int tab = 0; tab <= 15; ++tab) {
        for (const Row& row : kLayout) {
            if (row.tab == tab && row.parent == nullptr &&
                std::string(row.name).rfind("cmd", 0) == 0)
                expected.push_back(row.name);
            if (row.tab == tab && row.parent != nullptr) expected.push_back(row.name);
        }
    }
    const auto start = Widget("cmdOK");
    ASSERT_TRUE(start.Exists());
    EXPECT_EQ(start.TabOrder(), expected);
}

TEST_F(DefaultsDialogQtTest, ClickingOptionsAndOkStoresThemAndEndsTheProgram) {
    program->Main();
    const auto subfolders = Widget("optSubfoldersOnly");
    const auto normal = Widget("optNormal");
    ASSERT_TRUE(subfolders.Exists() && normal.Exists());
    EXPECT_TRUE(Widget("optAllFolders").Checked());
    ClickOption(subfolders);
    ClickOption(normal);
    EXPECT_TRUE(program->Options().optSubfoldersOnly.Value());
    EXPECT_FALSE(Widget("optAllFolders").Checked());
    Widget("cmdOK").Click();
    EXPECT_FALSE(program->Options().IsLoaded());
    EXPECT_TRUE(bundle.ui->LoadedForms().empty());
    EXPECT_EQ(Stored("AllFolders"), 0u);
    EXPECT_EQ(Stored("SideMenu"), 1u);
    EXPECT_EQ(Stored("TwoPane"), 1u);
    EXPECT_EQ(Stored("Maximized"), 0u);
    EXPECT_FALSE(program->ErrorReported());
}

TEST_F(DefaultsDialogQtTest, ResetShowsTheStoredChoicesAgain) {
    platform::testing::WriteRaw(*bundle.registry, settings::kSettingsKey, "TwoPane",
                                platform::kRegDword, platform::testing::Dword(0));
    program->Main();
    EXPECT_TRUE(Widget("optFolderWindow").Checked());
    ClickOption(Widget("optTwoPane"));
    ClickOption(Widget("optStartMenu"));
    Widget("cmdReset").Click();
    EXPECT_TRUE(Widget("optFolderWindow").Checked());
    EXPECT_FALSE(Widget("optTwoPane").Checked());
    EXPECT_TRUE(Widget("optSideMenu").Checked());
    EXPECT_TRUE(program->Options().IsLoaded());
    Widget("cmdCancel").Click();
    EXPECT_TRUE(bundle.ui->LoadedForms().empty());
    EXPECT_EQ(Stored("TwoPane"), 0u);
}

}  // namespace
}  // namespace defaults_editor

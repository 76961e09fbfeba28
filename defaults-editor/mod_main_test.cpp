#include "defaults-editor/mod_main.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "defaults-editor/frm_options.h"
#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/store_holder.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"

namespace defaults_editor {
namespace {

using settings::kSettingsKey;
using namespace platform::testing;

class FixedInstanceCheck : public platform::InstanceCheck {
  public:
    explicit FixedInstanceCheck(bool running) : running_(running) {}
    bool PreviousInstanceRunning(const std::string& programName) override {
        asked = programName;
        return running_;
    }
    std::string asked;

  private:
    bool running_;
};

// An instance check the system cannot give.
class UnreachableInstanceCheck : public platform::InstanceCheck {
  public:
    bool PreviousInstanceRunning(const std::string&) override {
        throw platform::PlatformError("no instance check is available");
    }
};

// One run of the editor on the store at dbPath, with a scripted user interface.
struct EditorRun {
    EditorRun(const std::string& dbPath, bool otherInstance = false) {
        auto decorated = std::make_unique<platform::testing::TestRegistry>(
            platform::posix::OpenSqliteRegistry(dbPath));
        registry = decorated.get();
        bundle.registry = std::move(decorated);
        bundle.ui = std::make_unique<platform::forms::UserInterface>([this] {
            return std::make_unique<platform::testing::ScriptedBackend>(script, bundle.ui.get());
        });
        auto check = std::make_unique<FixedInstanceCheck>(otherInstance);
        instances = check.get();
        bundle.instances = std::move(check);
        program = std::make_unique<modMain>(bundle);
    }

    frmOptions& Form() { return program->Options(); }
    bool Running() const { return !bundle.ui->LoadedForms().empty(); }
    std::vector<bool> FirstButtons() {
        return {Form().optAllFolders.Value(), Form().optSideMenu.Value(), Form().optTwoPane.Value(),
                Form().optMaximized.Value()};
    }

    platform::testing::TestRegistry* registry = nullptr;
    FixedInstanceCheck* instances = nullptr;
    platform::testing::ScriptedBackend::Script script;
    platform::Platform bundle = platform::testing::StubPlatform();
    std::unique_ptr<modMain> program;
};

class DefaultsEditorTest : public ::testing::Test {
  protected:
    std::vector<std::uint32_t> Stored() {
        auto registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
        std::vector<std::uint32_t> values;
        for (const char* name : {"AllFolders", "SideMenu", "TwoPane", "Maximized"}) {
            auto raw = ReadRaw(*registry, kSettingsKey, name);
            if (!raw || raw->type != platform::kRegDword || raw->data.size() != 4) {
                ADD_FAILURE() << name << " is not a DWORD";
                values.push_back(99);
            } else {
                values.push_back(raw->data[0] | raw->data[1] << 8 | raw->data[2] << 16 |
                                 raw->data[3] << 24);
            }
        }
        return values;
    }
    void Store(const char* name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
        auto registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
        WriteRaw(*registry, kSettingsKey, name, type, data);
    }

    platform::testing::TestFolder dir;
};

TEST_F(DefaultsEditorTest, StartShowsTheStoredDefaultsAndCancelLeavesThemAsDwords) {
    Store("AllFolders", platform::kRegSz, Text("0"));
    Store("TwoPane", platform::kRegDword, Dword(7));
    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    EXPECT_EQ(run.instances->asked, "KestrowDefaults2005");
    ASSERT_TRUE(run.Form().IsLoaded());
    EXPECT_EQ(run.script.shownForms, std::vector<std::string>{"frmOptions"});
    EXPECT_EQ(run.FirstButtons(), (std::vector<bool>{false, true, true, true}));
    EXPECT_TRUE(run.Form().optSubfoldersOnly.Value());

    run.Form().cmdCancel.Click();
    EXPECT_FALSE(run.Running()) << "the program ends with its dialog";
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{0, 1, 1, 1}));
    EXPECT_TRUE(run.script.messages.empty());
    EXPECT_FALSE(run.program->ErrorReported());
    EXPECT_EQ(run.registry->handlesOpen, 0);
}

TEST_F(DefaultsEditorTest, ASecondInstanceIsRefusedAndTheFirstKeepsItsChoices) {
    EditorRun first(dir.Path("registry.db"));
    first.program->Main();
    first.Form().optStartMenu.SetValue(true);

    EditorRun second(dir.Path("registry.db"), true);
    second.program->Main();
    ASSERT_EQ(second.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = second.script.messages[0];
    EXPECT_EQ(message.text, "Kestrow 2005 Default Settings is already running on your system.");
    EXPECT_EQ(message.style, 0x40u);
    EXPECT_EQ(message.title, "Kestrow Default Settings");
    EXPECT_TRUE(message.loadedForms.empty());
    EXPECT_FALSE(second.Running());
    EXPECT_TRUE(second.script.shownForms.empty());
    EXPECT_FALSE(second.program->ErrorReported());

    EXPECT_TRUE(first.Form().optStartMenu.Value());
    first.Form().cmdOK.Click();
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 0, 1, 1}));
}

TEST_F(DefaultsEditorTest, ResetBringsBackTheStoredValuesNotTheDesignTimeOnes) {
    Store("SideMenu", platform::kRegDword, Dword(0));
    Store("Maximized", platform::kRegDword, Dword(0));
    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    run.Form().optSideMenu.SetValue(true);
    run.Form().optSubfoldersOnly.SetValue(true);
    run.Form().optFolderWindow.SetValue(true);
    run.Form().cmdReset.Click();
    EXPECT_EQ(run.FirstButtons(), (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(run.Form().optStartMenu.Value());
    EXPECT_TRUE(run.Form().optNormal.Value());
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 0, 1, 0})) << "reset saves nothing new";
}

TEST_F(DefaultsEditorTest, TheCloseBoxStoresNothing) {
    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    run.Form().optSubfoldersOnly.SetValue(true);
    run.Form().optNormal.SetValue(true);
    run.bundle.ui->Unload(run.Form());
    EXPECT_FALSE(run.Running());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
}

TEST_F(DefaultsEditorTest, OkStoresExactlyTheShownChoicesAndTheNextStartSeesThem) {
    {
        EditorRun run(dir.Path("registry.db"));
        run.program->Main();
        run.Form().optSubfoldersOnly.SetValue(true);
        run.Form().optFolderWindow.SetValue(true);
        run.Form().cmdOK.Click();
        EXPECT_FALSE(run.Running());
        EXPECT_EQ(run.program->Settings.lngAllFolders, 0);
        EXPECT_EQ(run.program->Settings.lngSideMenu, 1) << "held as 1, never -1";
        EXPECT_TRUE(run.script.messages.empty());
    }
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{0, 1, 0, 1}));
    EditorRun next(dir.Path("registry.db"));
    next.program->Main();
    EXPECT_EQ(next.FirstButtons(), (std::vector<bool>{false, true, false, true}));
}

TEST_F(DefaultsEditorTest, AFailureWhileSavingClosesTheDialogBeforeTheMessage) {
    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    run.Form().optStartMenu.SetValue(true);
    run.bundle.registry = std::make_unique<platform::testing::UnreachableRegistry>();
    run.Form().cmdOK.Click();
    ASSERT_EQ(run.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = run.script.messages[0];
    EXPECT_EQ(message.text, "Unexpected Error\r\n\r\nthe registry is not available");
    EXPECT_EQ(message.style, 0x10u);
    EXPECT_EQ(message.title, "Kestrow Default Settings");
    EXPECT_TRUE(message.loadedForms.empty()) << "the dialog must be gone first";
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
}

// A store that may be read but not written (a read-only file or file
// system, opened as SQLite opens it): the dialog shows what is stored, and a
// refused OK says which key and why and keeps the user's choices open.
TEST_F(DefaultsEditorTest, AReadOnlyStoreShowsItsValuesAndARefusedOkKeepsTheDialog) {
    {
        EditorRun first(dir.Path("registry.db"));
        first.program->Main();
        first.Form().optFolderWindow.SetValue(true);
        first.Form().cmdOK.Click();
    }
    EditorRun run(dir.Path("registry.db"));
    run.bundle.registry = platform::posix::OpenSqliteRegistry(
        dir.Path("registry.db"), platform::posix::StoreAccess::ReadOnly);
    run.program->Main();
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(run.FirstButtons(), (std::vector<bool>{true, true, false, true}));
    EXPECT_TRUE(run.script.messages.empty());

    run.Form().optNormal.SetValue(true);
    run.Form().cmdOK.Click();
    ASSERT_EQ(run.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = run.script.messages[0];
    EXPECT_EQ(message.text,
              "The settings could not be stored in the registry key "
              "HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005.\r\n\r\nThe settings store \"" +
                  dir.Path("registry.db") + "\" cannot be changed: access is denied.");
    EXPECT_EQ(message.style, platform::forms::kMbOk | platform::forms::kMbIconExclamation);
    EXPECT_EQ(message.title, "Kestrow Default Settings");
    EXPECT_TRUE(run.Running()) << "the user may try again or cancel";
    EXPECT_TRUE(run.Form().optNormal.Value());
    EXPECT_TRUE(run.program->ErrorReported()) << "leaving now ends the run as a failure";
    run.Form().cmdCancel.Click();
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 1, 0, 1}));
}

TEST_F(DefaultsEditorTest, ASaveThatSucceedsAfterARefusedOneEndsTheRunWell) {
    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    run.registry->failing = {"RegSetValueEx"};
    run.Form().optStartMenu.SetValue(true);
    run.Form().cmdOK.Click();
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported());
    run.registry->failing.clear();
    run.Form().cmdOK.Click();
    EXPECT_FALSE(run.Running());
    EXPECT_FALSE(run.program->ErrorReported());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 0, 1, 1}));
}

TEST_F(DefaultsEditorTest, AStartThatCannotAskForOtherInstancesReportsTheError) {
    EditorRun run(dir.Path("registry.db"));
    run.bundle.instances = std::make_unique<UnreachableInstanceCheck>();
    run.program->Main();
    ASSERT_EQ(run.script.messages.size(), 1u);
    EXPECT_EQ(run.script.messages[0].text,
              "Unexpected Error\r\n\r\nno instance check is available");
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported());
}

// A store it cannot use is told at start, naming the file, before the user
// makes choices that could not be kept; the file stays as it was.
TEST_F(DefaultsEditorTest, ADamagedStoreIsToldAtStartAndLeftUntouched) {
    const std::string garbage = "this is not a database\x01\x02\x03 and never was";
    {
        std::ofstream out(dir.Path("registry.db"), std::ios::binary);
        for (int i = 0; i < 200; ++i) out << garbage;
    }
    auto contents = [&] {
        std::ifstream in(dir.Path("registry.db"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = contents();

    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    EXPECT_FALSE(run.Running());
    ASSERT_EQ(run.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = run.script.messages[0];
    EXPECT_EQ(message.text, "The settings store \"" + dir.Path("registry.db") +
                                "\" is damaged or is not a settings store. It was left as it is.");
    EXPECT_EQ(message.style, 0x10u);
    EXPECT_EQ(message.title, "Kestrow Default Settings");
    EXPECT_TRUE(run.program->ErrorReported());
    EXPECT_EQ(contents(), before);
}

// Another program holds the store's write lock.
class HeldStoreEditorTest : public DefaultsEditorTest {
  protected:
    void Hold() { ASSERT_TRUE(holder_.Hold()); }
    void Release() { holder_.Release(); }
    platform::testing::StoreWriteLockHolder holder_{dir.Path("registry.db")};
};

TEST_F(HeldStoreEditorTest, TheDialogComesAtOnceAndASaveThatCannotHappenSaysBusy) {
    Store("AllFolders", platform::kRegDword, Dword(1));
    Store("SideMenu", platform::kRegDword, Dword(0));
    Store("TwoPane", platform::kRegDword, Dword(1));
    Store("Maximized", platform::kRegDword, Dword(1));
    Hold();
    EditorRun run(dir.Path("registry.db"));
    run.program->Main();
    // Loading what is stored as it is stored writes nothing, so meets no lock.
    ASSERT_TRUE(run.Running());
    EXPECT_TRUE(run.script.messages.empty());
    EXPECT_EQ(run.FirstButtons(), (std::vector<bool>{true, false, true, true}));

    run.Form().optNormal.SetValue(true);
    run.Form().cmdOK.Click();
    ASSERT_EQ(run.script.messages.size(), 1u);
    EXPECT_EQ(run.script.messages[0].text.rfind(
                  "The settings store \"" + dir.Path("registry.db") + "\" is busy", 0),
              0u)
        << run.script.messages[0].text;
    EXPECT_TRUE(run.script.messages[0].loadedForms.empty()) << "the dialog is gone first";
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported()) << "the run ends as a failure";
    Release();
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 0, 1, 1}));
}

}  // namespace
}  // namespace defaults_editor

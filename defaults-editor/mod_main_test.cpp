#include "defaults-editor/mod_main.h"

#include <gtest/gtest.h>

#include <memory>

#include "defaults-editor/frm_options.h"
#include "defaults-editor/testing/editor_run.h"
#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/testing/memory_registry.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_registry.h"

namespace defaults_editor {
namespace {

using settings::kSettingsKey;
using namespace platform::testing;
using testing::EditorRun;

// An instance check the system cannot give.
class UnreachableInstanceCheck : public platform::InstanceCheck {
  public:
    bool PreviousInstanceRunning(const std::string&) override {
        throw platform::PlatformError("no instance check is available");
    }
};

class DefaultsEditorTest : public ::testing::Test {
  protected:
    std::vector<std::uint32_t> Stored() {
        platform::Registry* registry = &store;
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
        WriteRaw(store, kSettingsKey, name, type, data);
    }

    platform::testing::MemoryRegistry store;
};

TEST_F(DefaultsEditorTest, StartShowsTheStoredDefaultsAndCancelLeavesThemAsDwords) {
    Store("AllFolders", platform::kRegSz, Text("0"));
    Store("TwoPane", platform::kRegDword, Dword(7));
    EditorRun run(store);
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
    EditorRun first(store);
    first.program->Main();
    first.Form().optStartMenu.SetValue(true);

    EditorRun second(store, true);
    second.program->Main();
    ASSERT_EQ(second.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = second.script.messages[0];
    EXPECT_EQ(message.text, "Kestrow 2005 Default Settings is already running on your system.");
    EXPECT_EQ(message.style, platform::forms::kMbIconInformation);
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
    EditorRun run(store);
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
    EditorRun run(store);
    run.program->Main();
    run.Form().optSubfoldersOnly.SetValue(true);
    run.Form().optNormal.SetValue(true);
    run.bundle.ui->Unload(run.Form());
    EXPECT_FALSE(run.Running());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
}

TEST_F(DefaultsEditorTest, OkStoresExactlyTheShownChoicesAndTheNextStartSeesThem) {
    {
        EditorRun run(store);
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
    EditorRun next(store);
    next.program->Main();
    EXPECT_EQ(next.FirstButtons(), (std::vector<bool>{false, true, false, true}));
}

TEST_F(DefaultsEditorTest, AFailureWhileSavingClosesTheDialogBeforeTheMessage) {
    EditorRun run(store);
    run.program->Main();
    run.Form().optStartMenu.SetValue(true);
    run.bundle.registry = std::make_unique<platform::testing::UnreachableRegistry>();
    run.Form().cmdOK.Click();
    ASSERT_EQ(run.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = run.script.messages[0];
    EXPECT_EQ(message.text, "Unexpected Error\r\n\r\nthe registry is not available");
    EXPECT_EQ(message.style, platform::forms::kMbIconHand);
    EXPECT_EQ(message.title, "Kestrow Default Settings");
    EXPECT_TRUE(message.loadedForms.empty()) << "the dialog must be gone first";
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported());
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 1, 1, 1}));
}

TEST_F(DefaultsEditorTest, ASaveThatSucceedsAfterARefusedOneEndsTheRunWell) {
    EditorRun run(store);
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
    EditorRun run(store);
    run.bundle.instances = std::make_unique<UnreachableInstanceCheck>();
    run.program->Main();
    ASSERT_EQ(run.script.messages.size(), 1u);
    EXPECT_EQ(run.script.messages[0].text,
              "Unexpected Error\r\n\r\nno instance check is available");
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.program->ErrorReported());
}

}  // namespace
}  // namespace defaults_editor

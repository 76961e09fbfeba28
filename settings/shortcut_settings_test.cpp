#include "settings/shortcut_settings.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/form.h"
#include "platform/platform_error.h"
#include "platform/testing/memory_registry.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_registry.h"
#include "settings/easy_reg.h"
#include "settings/testing/options_form.h"

namespace settings {
namespace {

using namespace platform::testing;

using settings::testing::kOptionNames;
using settings::testing::OptionsForm;

class ShortcutSettingsTest : public ::testing::Test {
  protected:
    ShortcutSettingsTest() {
        auto decorated =
            std::make_unique<platform::testing::TestRegistry>(std::make_unique<MemoryRegistry>());
        registry = decorated.get();
        bundle.registry = std::move(decorated);
        bundle.ui = std::make_unique<platform::forms::UserInterface>(
            [this] { return std::make_unique<platform::testing::ScriptedBackend>(script); });
        form = std::make_unique<OptionsForm>(*bundle.ui);
    }

    std::vector<std::int32_t> Flags() const {
        return {settings.lngAllFolders, settings.lngSideMenu, settings.lngTwoPane,
                settings.lngMaximized};
    }
    std::vector<bool> FirstButtons() const {
        return {form->optAllFolders.Value(), form->optSideMenu.Value(), form->optTwoPane.Value(),
                form->optMaximized.Value()};
    }
    // Loads, then checks the four flags and that each went back to the store
    // as the same number, a DWORD.
    void LoadAndExpect(const std::vector<std::int32_t>& flags) {
        settings.LoadDefaultSettings();
        EXPECT_EQ(Flags(), flags);
        EXPECT_EQ(Stored(), std::vector<std::uint32_t>(flags.begin(), flags.end()));
    }
    // The four stored values; each must be a DWORD.
    std::vector<std::uint32_t> Stored() {
        std::vector<std::uint32_t> values;
        for (const char* name : kOptionNames) {
            auto raw = ReadRaw(*registry, kSettingsKey, name);
            if (!raw) {
                ADD_FAILURE() << name << " is missing";
                values.push_back(99);
                continue;
            }
            EXPECT_EQ(raw->type, platform::kRegDword) << name;
            EXPECT_EQ(raw->data.size(), 4u) << name;
            values.push_back(raw->data.size() == 4 ? raw->data[0] | raw->data[1] << 8 |
                                                         raw->data[2] << 16 | raw->data[3] << 24
                                                   : 98);
        }
        return values;
    }

    platform::testing::TestRegistry* registry = nullptr;
    platform::testing::ScriptedBackend::Script script;
    platform::Platform bundle = platform::testing::StubPlatform();
    std::unique_ptr<OptionsForm> form;
    int errors = 0;
    std::vector<platform::Failure> failures;
    std::vector<std::string> warnings;
    bool reachable = true;
    ShortcutSettings settings{bundle,
                              [this]() -> OptionFrames& {
                                  if (!reachable) throw platform::PlatformError("no dialog");
                                  return *form;
                              },
                              [this](const platform::Failure& failure) {
                                  ++errors;
                                  failures.push_back(failure);
                              },
                              [this](const std::string& text) { warnings.push_back(text); }};
};

constexpr const char* kNotStored =
    "The settings could not be stored in the registry key "
    "HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005.";

TEST_F(ShortcutSettingsTest, FirstLoadCreatesTheKeyWithFourDwordOnes) {
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{0, 0, 0, 0})) << "zero until loaded";
    LoadAndExpect({1, 1, 1, 1});
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(registry->handlesOpen, 0);
}

TEST_F(ShortcutSettingsTest, OnlyTheTextZeroLoadsAsZeroAndEveryValueIsRewrittenAsDword) {
    WriteRaw(*registry, kSettingsKey, "AllFolders", platform::kRegSz, Text("0"));
    WriteRaw(*registry, kSettingsKey, "SideMenu", platform::kRegSz, Text("yes"));
    WriteRaw(*registry, kSettingsKey, "TwoPane", platform::kRegSz, Text(" 0"));
    WriteRaw(*registry, kSettingsKey, "Maximized", platform::kRegSz, Text(""));
    WriteRaw(*registry, kSettingsKey, "CheckStartMenuDelay", platform::kRegDword, Dword(0));
    LoadAndExpect({0, 1, 1, 1});
    EXPECT_EQ(ReadRaw(*registry, kSettingsKey, "CheckStartMenuDelay")->data, Dword(0))
        << "other values of the key are not touched";

    WriteRaw(*registry, kSettingsKey, "AllFolders", platform::kRegSz, Text("1"));
    WriteRaw(*registry, kSettingsKey, "SideMenu", platform::kRegSz, Text("00"));
    WriteRaw(*registry, kSettingsKey, "TwoPane", platform::kRegBinary, {0x30});
    WriteRaw(*registry, kSettingsKey, "Maximized", platform::kRegDword, Dword(0));
    LoadAndExpect({1, 1, 1, 0});
}

TEST_F(ShortcutSettingsTest, OtherNumbersLoadAsOne) {
    WriteRaw(*registry, kSettingsKey, "AllFolders", platform::kRegDword, Dword(5));
    WriteRaw(*registry, kSettingsKey, "SideMenu", platform::kRegDword, Dword(0xFFFFFFFFu));
    WriteRaw(*registry, kSettingsKey, "TwoPane", platform::kRegDword, Dword(2));
    LoadAndExpect({1, 1, 1, 1});
}

TEST_F(ShortcutSettingsTest, ShowSelectsTheButtonMatchingEachFlag) {
    WriteRaw(*registry, kSettingsKey, "TwoPane", platform::kRegDword, Dword(0));
    bundle.ui->Backend();  // a loaded backend, so that pending events can be seen processed
    settings.ShowDefaultSettings();
    EXPECT_EQ(FirstButtons(), (std::vector<bool>{true, true, false, true}));
    EXPECT_TRUE(form->optFolderWindow.Value());
    EXPECT_FALSE(form->optSubfoldersOnly.Value());
    EXPECT_FALSE(form->optStartMenu.Value());
    EXPECT_FALSE(form->optNormal.Value());
    EXPECT_GE(script.doEventsCalls, 1);

    WriteRaw(*registry, kSettingsKey, "AllFolders", platform::kRegDword, Dword(0));
    WriteRaw(*registry, kSettingsKey, "TwoPane", platform::kRegDword, Dword(1));
    WriteRaw(*registry, kSettingsKey, "Maximized", platform::kRegDword, Dword(0));
    settings.ShowDefaultSettings();
    EXPECT_EQ(FirstButtons(), (std::vector<bool>{false, true, true, false}));
    EXPECT_TRUE(form->optSubfoldersOnly.Value());
    EXPECT_TRUE(form->optNormal.Value());
    EXPECT_EQ(errors, 0);
}

TEST_F(ShortcutSettingsTest, SaveStoresTheShownChoicesAsDwordOnesAndZeros) {
    form->optStartMenu.SetValue(true);
    form->optNormal.SetValue(true);
    settings.SaveDefaultSettings();
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{1, 0, 1, 0})) << "true is held as 1, not -1";
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 0, 1, 0}));

    settings.LoadDefaultSettings();
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{1, 0, 1, 0})) << "what was saved loads back";
    EXPECT_EQ(errors, 0);
}

TEST_F(ShortcutSettingsTest, ARefusedSaveNamesTheKeyAndWhyAndHoldsUntilASaveSucceeds) {
    settings.LoadDefaultSettings();
    registry->failing = {"RegSetValueEx"};
    form->optSubfoldersOnly.SetValue(true);
    EXPECT_EQ(settings.SaveDefaultSettings(), Outcome::Reported);
    EXPECT_EQ(warnings,
              std::vector<std::string>{std::string(kNotStored) + "\r\n\r\nAccess is denied."});
    EXPECT_EQ(errors, 0) << "the dialog stays open for another try";
    EXPECT_TRUE(settings.SaveRefused());
    EXPECT_EQ(settings.lngAllFolders, 0);
    registry->failing.clear();
    EXPECT_EQ(settings.LoadDefaultSettings(), Outcome::Done);
    EXPECT_EQ(settings.lngAllFolders, 1) << "the next load reads what is stored";
    EXPECT_TRUE(settings.SaveRefused()) << "a load is no save";
    EXPECT_EQ(settings.SaveDefaultSettings(), Outcome::Done);
    EXPECT_FALSE(settings.SaveRefused());
}

// A key the user may read but not write: the values read are used, and the
// rewrite every load makes is passed over.
TEST_F(ShortcutSettingsTest, ARefusedRewriteAfterALoadIsPassedOver) {
    WriteRaw(*registry, kSettingsKey, "TwoPane", platform::kRegSz, Text("0"));
    registry->failing = {"RegSetValueEx"};
    EXPECT_EQ(settings.ShowDefaultSettings(), Outcome::Done);
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{1, 1, 0, 1}));
    EXPECT_TRUE(form->optFolderWindow.Value());
    EXPECT_EQ(errors, 0);
    EXPECT_TRUE(warnings.empty());
    EXPECT_FALSE(settings.SaveRefused());
}

// A key that cannot even be read counts as missing values, and the
// defaults that stand in for them are not written over them.
TEST_F(ShortcutSettingsTest, AnUnreadableKeyLoadsAsOnesAndIsNotWrittenOver) {
    WriteRaw(*registry, kSettingsKey, "Maximized", platform::kRegDword, Dword(0));
    registry->failing = {"RegOpenKeyEx"};
    EXPECT_EQ(settings.LoadDefaultSettings(), Outcome::Done);
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{1, 1, 1, 1}));
    EXPECT_EQ(errors, 0);
    registry->failing.clear();
    EXPECT_EQ(ReadRaw(*registry, kSettingsKey, "Maximized")->data, Dword(0));
    EXPECT_FALSE(ReadRaw(*registry, kSettingsKey, "AllFolders"));
}

// A registry that breaks on every call cannot say why; that the values
// could not be kept is still told once, and the dialog is left alone.
TEST_F(ShortcutSettingsTest, ARegistryThatFailsEveryCallIsReportedOnce) {
    registry->throwing = {"RegOpenKeyEx", "RegCreateKeyEx"};
    form->optNormal.SetValue(true);
    settings.ShowDefaultSettings();
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{1, 1, 1, 1}));
    EXPECT_TRUE(form->optNormal.Value());
    EXPECT_EQ(errors, 1);
}

// Values that could not be read must not be replaced by the defaults that
// stood in for them; the user hears why, naming the store.
TEST_F(ShortcutSettingsTest, AStoreThatFailsTheReadsIsReportedAndKeepsItsValues) {
    WriteRaw(*registry, kSettingsKey, "SideMenu", platform::kRegDword, Dword(0));
    registry->failing = {"RegQueryValueEx"};
    registry->failure = {platform::kErrorBusy, "The settings store \"x.db\" is busy."};
    EXPECT_EQ(settings.LoadDefaultSettings(), Outcome::Reported);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].text, "The settings store \"x.db\" is busy.");
    EXPECT_TRUE(failures[0].ofStore);
    registry->failing.clear();
    EXPECT_EQ(ReadRaw(*registry, kSettingsKey, "SideMenu")->data, Dword(0)) << "not written back";
    EXPECT_FALSE(ReadRaw(*registry, kSettingsKey, "AllFolders")) << "nothing written at all";

    // Shown: the dialog is left alone once the load has failed.
    registry->failing = {"RegQueryValueEx"};
    form->optStartMenu.SetValue(true);
    EXPECT_EQ(settings.ShowDefaultSettings(), Outcome::Reported);
    EXPECT_EQ(errors, 2);
    EXPECT_TRUE(form->optStartMenu.Value());

    // Saved: a store that cannot say why still never passes a lost save over.
    registry->failing = {"RegSetValueEx"};
    registry->failure = platform::kErrorBusy;
    EXPECT_EQ(settings.SaveDefaultSettings(), Outcome::Reported);
    EXPECT_EQ(warnings, std::vector<std::string>{kNotStored});
    EXPECT_EQ(errors, 2);
}

TEST_F(ShortcutSettingsTest, FailuresOutsideTheRegistryGoToTheErrorRoutineOnce) {
    reachable = false;
    settings.ShowDefaultSettings();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 1, 1, 1})) << "the load ran first";

    WriteRaw(*registry, kSettingsKey, "SideMenu", platform::kRegDword, Dword(0));
    settings.SaveDefaultSettings();
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(Stored(), (std::vector<std::uint32_t>{1, 0, 1, 1})) << "a failed save writes nothing";
    EXPECT_EQ(registry->handlesOpen, 0);
}

TEST_F(ShortcutSettingsTest, AFailedLoadLeavesTheDialogAlone) {
    form->optStartMenu.SetValue(true);
    registry->throwing = {"RegOpenKeyEx", "RegCreateKeyEx"};
    settings.ShowDefaultSettings();
    EXPECT_EQ(errors, 1) << "the failure is reported by the load, and only there";
    EXPECT_TRUE(form->optStartMenu.Value());
    settings.SaveDefaultSettings();
    EXPECT_EQ(errors, 2);
}

}  // namespace
}  // namespace settings

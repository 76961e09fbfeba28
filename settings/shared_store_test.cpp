// The settings routines of two programs on one real store at once.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/child_process.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "settings/shortcut_settings.h"
#include "settings/testing/options_form.h"

namespace settings {
namespace {

using namespace platform::testing;

using settings::testing::kOptionNames;
using settings::testing::OptionsForm;

// Two processes loading and saving the same store at once, without locks.
TEST(ShortcutSettingsProcessesTest, ConcurrentLoadsAndSavesLeaveAConsistentStore) {
    platform::testing::TestFolder dir;
    const int kCycles = 40;
    std::vector<ChildProcess> children;
    for (int child = 0; child < 2; ++child) {
        children.push_back(ChildProcess::Fork([&]() -> int {
            platform::Platform bundle = platform::testing::StubPlatform();
            bundle.registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
            platform::testing::ScriptedBackend::Script script;
            bundle.ui = std::make_unique<platform::forms::UserInterface>(
                [&] { return std::make_unique<platform::testing::ScriptedBackend>(script); });
            OptionsForm form(*bundle.ui);
            int errors = 0;
            ShortcutSettings settings(
                bundle, [&]() -> OptionFrames& { return form; },
                [&](const platform::Failure&) { ++errors; }, [&](const std::string&) { ++errors; });
            int bad = 0;
            for (int i = 0; i < kCycles; ++i) {
                settings.ShowDefaultSettings();
                for (std::int32_t flag : {settings.lngAllFolders, settings.lngSideMenu,
                                          settings.lngTwoPane, settings.lngMaximized}) {
                    if (flag != 0 && flag != 1) ++bad;
                }
                ((i + child) % 2 ? form.optSubfoldersOnly : form.optAllFolders).SetValue(true);
                (i % 3 ? form.optNormal : form.optMaximized).SetValue(true);
                settings.SaveDefaultSettings();
            }
            return errors == 0 && bad == 0 ? 0 : 1;
        }));
        ASSERT_TRUE(children.back().Started());
    }
    for (const ChildProcess& child : children) {
        const auto exit = child.Wait();
        ASSERT_TRUE(exit);
        EXPECT_TRUE(exit->Succeeded()) << "status " << exit->Status();
    }
    auto registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
    for (const char* name : kOptionNames) {
        auto raw = ReadRaw(*registry, kSettingsKey, name);
        ASSERT_TRUE(raw) << name;
        EXPECT_EQ(raw->type, platform::kRegDword) << name;
        ASSERT_EQ(raw->data.size(), 4u) << name;
        EXPECT_TRUE(raw->data == Dword(0) || raw->data == Dword(1)) << name;
    }
}

// A store file that may be read but not written, as on a read-only file
// system: opened for reading only, as SQLite opens such a file. The load
// goes on with what it read; a save the user asked for is refused with the
// store's reason.
TEST(ReadOnlyStoreTest, LoadsAndRefusesASaveWithItsReason) {
    platform::testing::TestFolder dir;
    {
        auto writable = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
        WriteRaw(*writable, kSettingsKey, "SideMenu", platform::kRegSz, Text("0"));
        WriteRaw(*writable, kSettingsKey, "Maximized", platform::kRegDword, Dword(0));
    }
    platform::Platform bundle = platform::testing::StubPlatform();
    bundle.registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"),
                                                          platform::posix::StoreAccess::ReadOnly);
    platform::testing::ScriptedBackend::Script script;
    bundle.ui = std::make_unique<platform::forms::UserInterface>(
        [&] { return std::make_unique<platform::testing::ScriptedBackend>(script); });
    OptionsForm form(*bundle.ui);
    int errors = 0;
    std::vector<std::string> warnings;
    ShortcutSettings settings(
        bundle, [&]() -> OptionFrames& { return form; },
        [&](const platform::Failure&) { ++errors; },
        [&](const std::string& text) { warnings.push_back(text); });

    EXPECT_EQ(settings.ShowDefaultSettings(), Outcome::Done);
    EXPECT_EQ((std::vector<std::int32_t>{settings.lngAllFolders, settings.lngSideMenu,
                                         settings.lngTwoPane, settings.lngMaximized}),
              (std::vector<std::int32_t>{1, 0, 1, 0}));
    EXPECT_TRUE(form.optStartMenu.Value());
    EXPECT_EQ(errors, 0);

    form.optSubfoldersOnly.SetValue(true);
    EXPECT_EQ(settings.SaveDefaultSettings(), Outcome::Reported);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "The settings could not be stored in the registry key "
              "HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005.\r\n\r\nThe settings store \"" +
                  dir.Path("registry.db") + "\" cannot be changed: access is denied.");
    EXPECT_TRUE(settings.SaveRefused());
    EXPECT_EQ(errors, 0);
}

}  // namespace
}  // namespace settings

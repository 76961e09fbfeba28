// The settings routines of two programs on one real store at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "settings/shortcut_settings.h"

namespace settings {
namespace {

using platform::forms::Form;
using namespace platform::testing;

const char* const kNames[4] = {"AllFolders", "SideMenu", "TwoPane", "Maximized"};

class OptionsForm : public Form, public OptionFrames {
  public:
    explicit OptionsForm(platform::forms::UserInterface& ui)
        : Form(ui, "frmOptions", {}), OptionFrames(*this, 0, 0) {}
};

// Two processes loading and saving the same store at once, without locks.
TEST(ShortcutSettingsProcessesTest, ConcurrentLoadsAndSavesLeaveAConsistentStore) {
    platform::testing::TestFolder dir;
    const int kCycles = 40;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_NE(children[child], -1);
        if (children[child] == 0) {
            platform::Platform bundle;
            bundle.registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
            platform::testing::ScriptedBackend::Script script;
            bundle.ui = std::make_unique<platform::forms::UserInterface>(
                [&] { return std::make_unique<platform::testing::ScriptedBackend>(script); });
            OptionsForm form(*bundle.ui);
            int errors = 0;
            ShortcutSettings settings(
                bundle, [&]() -> OptionFrames& { return form; }, [&] { ++errors; });
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
            _exit(errors == 0 && bad == 0 ? 0 : 1);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    auto registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
    for (const char* name : kNames) {
        auto raw = ReadRaw(*registry, kSettingsKey, name);
        ASSERT_TRUE(raw) << name;
        EXPECT_EQ(raw->type, platform::kRegDword) << name;
        ASSERT_EQ(raw->data.size(), 4u) << name;
        EXPECT_TRUE(raw->data == Dword(0) || raw->data == Dword(1)) << name;
    }
}

}  // namespace
}  // namespace settings

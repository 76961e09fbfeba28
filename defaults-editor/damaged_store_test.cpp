// The editor on a real store that is damaged or held by another program.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "defaults-editor/testing/editor_run.h"
#include "platform/forms/message_box.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/store_holder.h"
#include "platform/testing/test_folder.h"

namespace defaults_editor {
namespace {

using settings::kSettingsKey;
using namespace platform::testing;
using testing::EditorRun;

class DefaultsEditorTest : public ::testing::Test {
  protected:
    std::vector<std::uint32_t> Stored() {
        auto registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
        std::vector<std::uint32_t> values;
        for (const char* name : {"AllFolders", "SideMenu", "TwoPane", "Maximized"}) {
            auto raw = ReadRaw(*registry, kSettingsKey, name);
            values.push_back(raw && raw->type == platform::kRegDword && raw->data.size() == 4
                                 ? raw->data[0] | raw->data[1] << 8 | raw->data[2] << 16 |
                                       raw->data[3] << 24
                                 : 99);
        }
        return values;
    }
    void Store(const char* name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
        auto registry = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
        WriteRaw(*registry, kSettingsKey, name, type, data);
    }

    platform::testing::TestFolder dir;
};

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

    auto store = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
    EditorRun run(*store);
    run.program->Main();
    EXPECT_FALSE(run.Running());
    ASSERT_EQ(run.script.messages.size(), 1u);
    const platform::testing::ShownMessage& message = run.script.messages[0];
    EXPECT_EQ(message.text, "The settings store \"" + dir.Path("registry.db") +
                                "\" is damaged or is not a settings store. It was left as it is.");
    EXPECT_EQ(message.style, platform::forms::kMbIconHand);
    EXPECT_EQ(message.title, "Kestrow Default Settings");
    EXPECT_TRUE(run.program->ErrorReported());
    EXPECT_EQ(contents(), before);
}

// A store that may be read but not written (a read-only file or file
// system, opened as SQLite opens it): the dialog shows what is stored, and a
// refused OK says which key and why and keeps the user's choices open.
TEST_F(DefaultsEditorTest, AReadOnlyStoreShowsItsValuesAndARefusedOkKeepsTheDialog) {
    Store("AllFolders", platform::kRegDword, Dword(1));
    Store("SideMenu", platform::kRegDword, Dword(1));
    Store("TwoPane", platform::kRegDword, Dword(0));
    Store("Maximized", platform::kRegDword, Dword(1));
    auto store = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"),
                                                     platform::posix::StoreAccess::ReadOnly);
    EditorRun run(*store);
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
    auto store = platform::posix::OpenSqliteRegistry(dir.Path("registry.db"));
    EditorRun run(*store);
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

// A fresh shortcut maker on the default platform for each test: the SQLite
// registry, the POSIX file system and shortcut writer in a temporary
// directory (HOME and the XDG folders point there), with the scripted forms
// backend and recording doubles for the shell and the help viewer, which
// would start other programs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/default_platform.h"
#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/posix_wsh_shell.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/testing/lnkinfo.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker::testing {

namespace fs = std::filesystem;

struct ShellCall {
    bool operationIsNull = false;
    std::string file;
    bool parametersAreNull = false;
    std::string directory;
    int showCommand = 0;
};

class RecordingShellExecutor : public platform::ShellExecutor {
  public:
    std::intptr_t ShellExecute(std::uintptr_t, const char* operation, const std::string& file,
                               const char* parameters, const std::string& directory,
                               int showCommand) override {
        if (unreachable) throw platform::PlatformError("shell32 cannot be loaded");
        calls.push_back(
            {operation == nullptr, file, parameters == nullptr, directory, showCommand});
        return answer;
    }
    std::vector<ShellCall> calls;
    bool unreachable = false;
    std::intptr_t answer = 42;
};

struct HelpCall {
    std::string file;
    unsigned command = 0;
    std::string data;
};

class RecordingHtmlHelp : public platform::HtmlHelpApi {
  public:
    std::uintptr_t HtmlHelp(std::uintptr_t, const std::string& file, unsigned command,
                            const std::string& data) override {
        if (unreachable) throw platform::PlatformError("hhctrl.ocx cannot be loaded");
        calls.push_back({file, command, data});
        if (command == platform::kHhDisplayTopic) {
            if (!fs::exists(platform::posix::PosixPathOf(file))) return 0;
            ++openWindows;
            return 7;
        }
        if (command == platform::kHhCloseAll) openWindows = 0;
        return 0;
    }
    std::vector<HelpCall> calls;
    bool unreachable = false;
    int openWindows = 0;
};

class MakerHarness {
  public:
    // The default platform with the scripted forms, the recording shell and
    // help viewer, and the program's folder in the test's own.
    MakerHarness() {
        fs::create_directories(dir_.Path() + "/home");
        fs::create_directories(dir_.Path() + "/bin");
        fs::create_directories(dir_.Path() + "/folders");
        platform = platform::MakeDefaultPlatform(nullptr, [this] {
            if (backend) return backend();
            return std::unique_ptr<platform::forms::FormsBackend>(
                std::make_unique<platform::testing::ScriptedBackend>(script, platform.ui.get()));
        });
        auto shell = std::make_unique<RecordingShellExecutor>();
        shellExecutor = shell.get();
        platform.shellExecutor = std::move(shell);
        auto help = std::make_unique<RecordingHtmlHelp>();
        htmlHelp = help.get();
        platform.htmlHelp = std::move(help);
        platform.programFolder = [this] {
            return platform::posix::WindowsPathOf(dir_.Path() + "/bin");
        };
        program = std::make_unique<modMain>(platform);
    }
    ~MakerHarness() { program.reset(); }

    std::string Root() const { return dir_.Path(); }
    // Where the default platform keeps the store: below XDG_CONFIG_HOME.
    std::string StorePath() const { return dir_.Path() + "/config/kestrow/registry.db"; }
    fs::path StartMenu() const { return dir_.Path() + "/data/kestrow/Start Menu"; }
    fs::path SideMenu() const { return StartMenu() / "Kestrow"; }
    // The folder browser answers with this folder (a Windows path) as the
    // system's browser gives it, so that the platform maps it back.
    void AnswerBrowser(const std::string& folder) { script.browsedFolder = NativePath(folder); }
    static std::string NativePath(const std::string& windowsPath) {
        return platform::posix::PosixPathOf(windowsPath);
    }
    // A folder to make shortcuts to, created on disk; its Windows path.
    std::string Folder(const std::string& name) {
        fs::create_directories(dir_.Path() + "/folders/" + name);
        return platform::posix::WindowsPathOf(dir_.Path() + "/folders/" + name);
    }

    // Registry helpers below HKEY_CURRENT_USER.
    void SetDword(const std::string& key, const std::string& name, std::uint32_t value) {
        platform::testing::WriteRaw(*platform.registry, key, name, platform::kRegDword,
                                    platform::testing::Dword(value));
    }
    void SetString(const std::string& key, const std::string& name, const std::string& value) {
        platform::testing::WriteRaw(*platform.registry, key, name, platform::kRegSz,
                                    platform::testing::Text(value));
    }
    std::optional<platform::testing::RawValue> Raw(const std::string& key,
                                                   const std::string& name) {
        return platform::testing::ReadRaw(*platform.registry, key, name);
    }
    // Stores the four default settings.
    void StoreDefaults(int allFolders, int sideMenu, int twoPane, int maximized) {
        SetDword(kSettingsKey, "AllFolders", allFolders);
        SetDword(kSettingsKey, "SideMenu", sideMenu);
        SetDword(kSettingsKey, "TwoPane", twoPane);
        SetDword(kSettingsKey, "Maximized", maximized);
    }
    void SetMenuDelay(const std::string& text) {
        SetString("Control Panel\\Desktop", "MenuShowDelay", text);
    }

    // Checks that exactly one message box was shown: this text and style,
    // under the program's title.
    void ExpectOneMessage(const std::string& text, unsigned style) const {
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_EQ(script.messages[0].text, text);
        EXPECT_EQ(script.messages[0].style, style);
        EXPECT_EQ(script.messages[0].title, "Kestrow");
    }

    std::vector<std::string> LoadedForms() const {
        std::vector<std::string> names;
        for (auto* form : platform.ui->LoadedForms()) names.push_back(form->Name());
        return names;
    }

    static inline const std::string kSettingsKey = "Software\\Tamsholt\\Kestrow 2005";

    platform::testing::ScriptedBackend::Script script;
    // Makes the forms backend on first use in place of the scripted one.
    platform::forms::UserInterface::BackendFactory backend;
    platform::Platform platform = platform::testing::StubPlatform();
    RecordingShellExecutor* shellExecutor = nullptr;
    RecordingHtmlHelp* htmlHelp = nullptr;
    std::unique_ptr<modMain> program;

  private:
    platform::testing::TestFolder dir_;
    platform::testing::ScopedEnv home_{"HOME", dir_.Path() + "/home"};
    platform::testing::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.Path() + "/config"};
    platform::testing::ScopedEnv data_{"XDG_DATA_HOME", dir_.Path() + "/data"};
};

inline std::vector<std::uint8_t> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The show command the header carries at offset 0x3C.
inline std::uint32_t ShowCommandOf(const fs::path& file) {
    const auto bytes = ReadBytes(file);
    if (bytes.size() < 0x40) return 0xFFFFFFFF;
    return bytes[0x3C] | (bytes[0x3D] << 8) | (bytes[0x3E] << 16) |
           (static_cast<std::uint32_t>(bytes[0x3F]) << 24);
}

// Checks a folder shortcut as the program writes it, through lnkinfo and the header.
inline void ExpectFolderShortcut(const fs::path& file, const std::string& arguments,
                                 const std::string& folder, std::uint32_t showCommand) {
    SCOPED_TRACE(file.string());
    ASSERT_TRUE(fs::is_regular_file(file));
    const platform::testing::LnkinfoReport report = platform::testing::RunLnkinfo(file);
    ASSERT_NE(report.output.find("Windows Shortcut information"), std::string::npos)
        << "lnkinfo could not read the file:\n"
        << report.output;
    EXPECT_EQ(report.output.find("Error"), std::string::npos) << report.output;
    EXPECT_EQ(report.Field("Command line arguments"), arguments) << report.output;
    EXPECT_EQ(report.Field("Icon location"), "explorer.exe") << report.output;
    EXPECT_EQ(report.Field("Icon index"), "1") << report.output;
    EXPECT_TRUE(report.Field("Local path").ends_with("\\explorer.exe")) << report.output;
    EXPECT_NE(report.output.find("Shortcut to the folder\r\n" + folder + "\n"), std::string::npos)
        << report.output;
    EXPECT_EQ(ShowCommandOf(file), showCommand);
    // An id of its own, or today's Start menu would show one entry for all of them.
    EXPECT_EQ(platform::posix::ReadShellLinkFile(file).link.appUserModelId,
              platform::posix::AppUserModelIdOfShortcut(platform::posix::WindowsPathOf(file)));
}

}  // namespace shortcut_maker::testing

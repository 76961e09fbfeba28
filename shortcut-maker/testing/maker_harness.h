// A fresh shortcut maker for each test on this target's real file system and
// shortcut writer, in a temporary folder, with the scripted forms backend and
// recording doubles for the shell and the help viewer, which would start
// other programs. On POSIX the default platform keeps its SQLite store there
// too (HOME and the XDG folders point there); on Windows the registry is
// held in memory and the Start Menu is a folder there.
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

#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "platform/platform.h"
#include "platform/platform_error.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"
#include "shortcut-maker/mod_main.h"

#ifdef _WIN32
#include "platform/testing/memory_registry.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_wsh_shell.h"
#else
#include "platform/default_platform.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_wsh_shell.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/lnkinfo.h"
#include "platform/testing/scoped_env.h"
#endif

namespace shortcut_maker::testing {

namespace fs = std::filesystem;

// A UTF-8 name or path as the file system takes it (a narrow one is read in
// the ANSI code page on Windows).
inline fs::path Utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}
inline std::string Utf8Of(const fs::path& file) {
    const std::u8string text = file.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32
using NativeFileSystem = platform::win32::Win32FileSystemObject;
inline fs::path NativeFile(const std::string& windowsPath) { return Utf8Path(windowsPath); }
inline std::string WindowsPathOf(const fs::path& file) {
    return Utf8Of(fs::path(file).make_preferred());
}
#else
using NativeFileSystem = platform::posix::PosixFileSystemObject;
inline fs::path NativeFile(const std::string& windowsPath) {
    return platform::posix::PosixPathOf(windowsPath);
}
inline std::string WindowsPathOf(const fs::path& file) {
    return platform::posix::WindowsPathOf(file.string());
}
#endif

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
            if (!fs::exists(NativeFile(file))) return 0;
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
    // This target's platform with the scripted forms, the recording shell and
    // help viewer, and the program's folder in the test's own.
    MakerHarness() {
        fs::create_directories(dir_.Native() / "bin");
        fs::create_directories(dir_.Native() / "folders");
        auto makeBackend = [this] {
            if (backend) return backend();
            return std::unique_ptr<platform::forms::FormsBackend>(
                std::make_unique<platform::testing::ScriptedBackend>(script, platform.ui.get()));
        };
#ifdef _WIN32
        platform = platform::win32::MakeWin32Platform(makeBackend);
        platform.registry = std::make_unique<platform::testing::MemoryRegistry>();
        fs::create_directories(StartMenu());
        startMenu_ = dir_.Windows("Start Menu");
        platform.createScriptShell = [this] {
            return std::make_unique<platform::win32::Win32WshShell>(
                platform::win32::CreateShellLinkObject, startMenu_);
        };
#else
        fs::create_directories(dir_.Native() / "home");
        platform = platform::MakeDefaultPlatform(nullptr, makeBackend);
#endif
        auto shell = std::make_unique<RecordingShellExecutor>();
        shellExecutor = shell.get();
        platform.shellExecutor = std::move(shell);
        auto help = std::make_unique<RecordingHtmlHelp>();
        htmlHelp = help.get();
        platform.htmlHelp = std::move(help);
        platform.programFolder = [this] { return WindowsPathOf(dir_.Native() / "bin"); };
        program = std::make_unique<modMain>(platform);
    }
    ~MakerHarness() { program.reset(); }

    std::string Root() const { return dir_.Path(); }
#ifdef _WIN32
    fs::path StartMenu() const { return dir_.Native() / "Start Menu"; }
#else
    // Where the default platform keeps the store: below XDG_CONFIG_HOME.
    std::string StorePath() const { return dir_.Path() + "/config/kestrow/registry.db"; }
    fs::path StartMenu() const { return dir_.Native() / "data/kestrow/Start Menu"; }
#endif
    fs::path SideMenu() const { return StartMenu() / "Kestrow"; }
    // Moves the Start Menu to this folder (a Windows path), the way this
    // target lets a user move it.
    void MoveStartMenu(const std::string& folder) {
#ifdef _WIN32
        startMenu_ = folder;
#else
        SetString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                  "Start Menu", folder);
#endif
    }
    // The folder browser answers with this folder (a Windows path) as the
    // system's browser gives it, so that the platform maps it back.
    void AnswerBrowser(const std::string& folder) { script.browsedFolder = NativePath(folder); }
    static std::string NativePath(const std::string& windowsPath) {
        return Utf8Of(NativeFile(windowsPath));
    }
    // A folder to make shortcuts to, created on disk; its Windows path.
    std::string Folder(const std::string& name) {
        fs::create_directories(dir_.Native() / "folders" / Utf8Path(name));
        return WindowsPathOf(dir_.Native() / "folders" / Utf8Path(name));
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
#ifdef _WIN32
    std::string startMenu_;
#else
    platform::testing::ScopedEnv home_{"HOME", dir_.Path() + "/home"};
    platform::testing::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.Path() + "/config"};
    platform::testing::ScopedEnv data_{"XDG_DATA_HOME", dir_.Path() + "/data"};
#endif
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

// Checks a folder shortcut as the program writes it, through a reader
// written apart from the writer, and the header.
inline void ExpectFolderShortcut(const fs::path& file, const std::string& arguments,
                                 const std::string& folder, std::uint32_t showCommand) {
    SCOPED_TRACE(Utf8Of(file));
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(ShowCommandOf(file), showCommand);
#ifdef _WIN32
    // The shell wrote it; the project's own reader checks it. Wine's link
    // object saves no application id (win32_wsh_shell_test checks the one
    // it is given) and counts each string's terminating NUL as part of it.
    const platform::posix::ShellLink link = platform::posix::DecodeShellLink(ReadBytes(file)).link;
    const auto text = [](std::string read) {
        if (read.ends_with('\0')) read.pop_back();
        return read;
    };
    EXPECT_EQ(text(link.arguments), arguments);
    EXPECT_EQ(text(link.iconLocation), "explorer.exe");
    EXPECT_EQ(link.iconIndex, 1);
    EXPECT_TRUE(link.targetPath.ends_with("\\explorer.exe")) << link.targetPath;
    EXPECT_EQ(text(link.description), "Shortcut to the folder\r\n" + folder);
#else
    // The project wrote it; lnkinfo, written by others, checks it.
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
    // An id of its own, or today's Start menu would show one entry for all of them.
    EXPECT_EQ(platform::posix::ReadShellLinkFile(file).link.appUserModelId,
              platform::posix::AppUserModelIdOfShortcut(WindowsPathOf(file)));
#endif
}

}  // namespace shortcut_maker::testing

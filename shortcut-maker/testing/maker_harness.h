// A fresh shortcut maker on real parts for each test: the SQLite registry,
// the POSIX file system and shortcut writer in a temporary directory (HOME
// and the XDG folders point there), the scripted forms backend, and
// recording doubles for the shell and the help viewer, which would start
// other programs.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

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

#include "forms/form.h"
#include "testing/scripted_backend.h"
#include "forms/user_interface.h"
#include "mod_main.h"
#include "platform.h"
#include "platform_error.h"
#include "posix/path_mapping.h"
#include "posix/posix_file_queries.h"
#include "posix/posix_file_system.h"
#include "posix/posix_wsh_shell.h"
#include "posix/registry/sqlite_registry.h"
#include "settings/registry_test_support.h"

namespace maker_testing {

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
            if (!fs::exists(platform::PosixPathOf(file))) return 0;
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

// Points an environment variable elsewhere for the life of the object.
class EnvScope {
  public:
    EnvScope(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvScope() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class MakerHarness {
  public:
    MakerHarness()
        : home_("HOME", dir_.Path() + "/home"),
          config_("XDG_CONFIG_HOME", dir_.Path() + "/config"),
          data_("XDG_DATA_HOME", dir_.Path() + "/data") {
        fs::create_directories(dir_.Path() + "/home");
        fs::create_directories(dir_.Path() + "/bin");
        fs::create_directories(dir_.Path() + "/folders");
        platform.registry = platform::OpenSqliteRegistry(dir_.RegistryPath());
        platform.ui = std::make_unique<platform::forms::UserInterface>([this] {
            return std::make_unique<platform::forms::ScriptedBackend>(script, platform.ui.get());
        });
        // The shell keeps the store even when a test takes it from the settings.
        platform.createScriptShell = [registry = platform.registry.get()] {
            return std::make_unique<platform::PosixWshShell>(*registry);
        };
        platform.createFileSystem = [] {
            return std::make_unique<platform::PosixFileSystemObject>();
        };
        platform.files = std::make_unique<platform::PosixFileQueries>();
        auto shell = std::make_unique<RecordingShellExecutor>();
        shellExecutor = shell.get();
        platform.shellExecutor = std::move(shell);
        auto help = std::make_unique<RecordingHtmlHelp>();
        htmlHelp = help.get();
        platform.htmlHelp = std::move(help);
        platform.programFolder = [this] { return platform::WindowsPathOf(dir_.Path() + "/bin"); };
        platform.browseForFolder = [this](const std::string& instruction) {
            return platform.ui->Backend().BrowseForFolder(instruction);
        };
        platform.isInsideFolder = platform::IsInsideFolder;
        program = std::make_unique<modMain>(platform);
    }
    ~MakerHarness() { program.reset(); }

    const std::string& Root() const { return dir_.Path(); }
    fs::path StartMenu() const { return dir_.Path() + "/data/kestrow/Start Menu"; }
    fs::path SideMenu() const { return StartMenu() / "Kestrow"; }
    // A folder to make shortcuts to, created on disk; its Windows path.
    std::string Folder(const std::string& name) {
        fs::create_directories(dir_.Path() + "/folders/" + name);
        return platform::WindowsPathOf(dir_.Path() + "/folders/" + name);
    }

    // Registry helpers below HKEY_CURRENT_USER.
    void SetDword(const std::string& key, const std::string& name, std::uint32_t value) {
        settings::testing::WriteRaw(*platform.registry, key, name, platform::kRegDword,
                                    settings::testing::Dword(value));
    }
    void SetString(const std::string& key, const std::string& name, const std::string& value) {
        settings::testing::WriteRaw(*platform.registry, key, name, platform::kRegSz,
                                    settings::testing::Text(value));
    }
    std::optional<settings::testing::RawValue> Raw(const std::string& key,
                                                   const std::string& name) {
        return settings::testing::ReadRaw(*platform.registry, key, name);
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

    std::vector<std::string> LoadedForms() const {
        std::vector<std::string> names;
        for (auto* form : platform.ui->LoadedForms()) names.push_back(form->Name());
        return names;
    }

    static inline const std::string kSettingsKey = "Software\\Tamsholt\\Kestrow 2005";

    platform::forms::ScriptedBackend::Script script;
    platform::Platform platform;
    RecordingShellExecutor* shellExecutor = nullptr;
    RecordingHtmlHelp* htmlHelp = nullptr;
    std::unique_ptr<modMain> program;

  private:
    settings::testing::TempDir dir_;
    EnvScope home_;
    EnvScope config_;
    EnvScope data_;
};

// What lnkinfo, an independent reader, finds in a shortcut file.
struct LnkinfoReport {
    std::string output;
    std::string Field(const std::string& label) const {
        const auto at = output.find("\t" + label);
        if (at == std::string::npos) return "<missing " + label + ">";
        auto start = output.find(':', at);
        start = output.find_first_not_of(' ', start + 1);
        const auto end = output.find('\n', start);
        return output.substr(start, end - start);
    }
};

inline LnkinfoReport RunLnkinfo(const fs::path& file) {
    const std::string command = "lnkinfo '" + file.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    LnkinfoReport report;
    if (!pipe) return report;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        report.output.append(buffer, n);
    return report;
}

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
    const LnkinfoReport report = RunLnkinfo(file);
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
}

}  // namespace maker_testing

#include "platform/win32/win32_wsh_shell.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/platform_error.h"
#include "platform/testing/shell_link_contract.h"
#include "platform/testing/test_folder.h"
#include "platform/text/text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

using testing::TestFolder;

struct LoadedLink {
    std::string path;
    std::string arguments;
    std::string description;
    std::string iconFile;
    int iconIndex = -1;
};

// Reads a shortcut back through the shell's own link object.
LoadedLink LoadLink(const std::string& file) {
    LoadedLink loaded;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(Wide(file).c_str(), STGM_READ))) {
        wchar_t buffer[1024];
        link->GetPath(buffer, 1024, nullptr, 0);
        loaded.path = Utf8(buffer);
        link->GetArguments(buffer, 1024);
        loaded.arguments = Utf8(buffer);
        link->GetDescription(buffer, 1024);
        loaded.description = Utf8(buffer);
        link->GetIconLocation(buffer, 1024, &loaded.iconIndex);
        loaded.iconFile = Utf8(buffer);
    }
    if (persist) persist->Release();
    if (link) link->Release();
    ::CoUninitialize();
    return loaded;
}

std::vector<unsigned char> Bytes(const std::string& file) {
    std::ifstream in(Wide(file).c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int FilesIn(const TestFolder& folder) {
    int count = 0;
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW(Wide(folder.Path("*")).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return count;
}

// The shell writing into a folder of its own; what it wrote is read back
// through the shell's own link object, the show command from the header.
class Win32Shortcuts {
  public:
    WshShell& shell() { return shell_; }
    std::string Path(const std::string& name) const { return folder_.Path(name); }
    void WriteFile(const std::string& name, const std::string& bytes) {
        folder_.WriteFile(name, bytes);
    }
    testing::SavedShortcut ReadBack(const std::string& name) const {
        const LoadedLink loaded = LoadLink(folder_.Path(name));
        const auto bytes = Bytes(folder_.Path(name));
        // The shell's link object answers 1 for any show command it loads.
        const std::uint32_t show = bytes.size() > 64 ? bytes[60] : 0;
        return {loaded.path,     loaded.arguments, loaded.description,
                loaded.iconFile, loaded.iconIndex, show};
    }
    int FileCount() const { return FilesIn(folder_); }

  private:
    TestFolder folder_;
    Win32WshShell shell_;
};

TEST(Win32WshShell, StartMenuIsTheShellsFolder) {
    Win32WshShell shell;
    const std::string startMenu = shell.SpecialFolder("StartMenu");
    EXPECT_TRUE(text::EndsWith(startMenu, "\\Start Menu")) << startMenu;
    EXPECT_EQ(startMenu.substr(1, 2), ":\\");
    EXPECT_TRUE(Win32FileSystemObject().FolderExists(startMenu));
}

TEST(Win32WshShell, AnIconLocationMayHaveASpaceBeforeItsIndex) {
    TestFolder folder;
    const std::string path = folder.Path("A.lnk");
    auto shortcut = Win32WshShell().CreateShortcut(path);
    shortcut->TargetPath = "explorer.exe";
    shortcut->IconLocation = "C:\\windows\\explorer.exe, 1";
    shortcut->Save();
    const LoadedLink loaded = LoadLink(path);
    EXPECT_EQ(loaded.iconFile, "C:\\windows\\explorer.exe");
    EXPECT_EQ(loaded.iconIndex, 1);
    const auto bytes = Bytes(path);
    ASSERT_GT(bytes.size(), 64u);
    EXPECT_EQ(bytes[0], 0x4C);
}

// A thread without COM saves in the multithreaded apartment and is left
// without COM; the dialogs' thread, a single-threaded apartment, keeps it.
TEST(Win32WshShell, SaveLeavesTheThreadsApartmentAsItWas) {
    TestFolder folder;
    Win32WshShell shell;
    // Saves <name>.lnk, a shortcut that opens C:\<name> in Explorer.
    auto saveFolderShortcut = [&](const std::string& name) {
        auto shortcut = shell.CreateShortcut(folder.Path(name + ".lnk"));
        shortcut->TargetPath = "explorer.exe";
        shortcut->Arguments = "/n,\"C:\\" + name + "\"";
        shortcut->Save();
    };
    saveFolderShortcut("Free");
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    ::CoUninitialize();

    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    saveFolderShortcut("Apartment");
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    ::CoUninitialize();
    ::OleUninitialize();

    EXPECT_EQ(LoadLink(folder.Path("Free.lnk")).arguments, "/n,\"C:\\Free\"");
    EXPECT_EQ(LoadLink(folder.Path("Apartment.lnk")).arguments, "/n,\"C:\\Apartment\"");
    EXPECT_EQ(FilesIn(folder), 2);
}

}  // namespace
}  // namespace platform::win32

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ShellLinkContract, win32::Win32Shortcuts);
}  // namespace platform::testing

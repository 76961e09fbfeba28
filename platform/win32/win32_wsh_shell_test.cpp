#include "platform/win32/win32_wsh_shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/platform_error.h"
#include "platform/testing/shell_link_contract.h"
#include "platform/testing/test_folder.h"
#include "platform/text/text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
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
    ComScope com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    if (SUCCEEDED(CreateShellLinkObject(link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.OutVoid())) &&
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

// Today's Start menu lists only the Programs folders; Windows 7 showed the
// Start Menu folder's own entries.
TEST(Win32WshShell, StartMenuIsTheProgramsFolderFromWindows8On) {
    Win32WshShell shell;
    const std::string startMenu = shell.SpecialFolder("StartMenu");
    EXPECT_TRUE(
        text::EndsWith(startMenu, IsWindows8OrLater() ? "\\Start Menu\\Programs" : "\\Start Menu"))
        << startMenu;
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

// The shell's link object with a property store that records what it is
// handed: Wine's own accepts the id and drops it, so only this shows what
// the backend asks of a real Windows. Every call is logged in order.
class RecordingLink : public IShellLinkW, public IPersistStream, public IPropertyStore {
  public:
    RecordingLink() {
        ComScope com;
        if (FAILED(CreateShellLinkObject(link_)) ||
            FAILED(link_->QueryInterface(IID_IPersistStream, persist_.OutVoid()))) {
            throw std::runtime_error("no shell link object");
        }
    }
    ShellLinkFactory Factory() {
        return [this](ComPtr<IShellLinkW>& link) {
            AddRef();
            link = ComPtr<IShellLinkW>(this);
            return S_OK;
        };
    }

    std::vector<std::string> calls;
    PROPERTYKEY key{};
    VARTYPE type = VT_EMPTY;
    std::wstring value;
    HRESULT setValueAnswer = S_OK;
    HRESULT commitAnswer = S_OK;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IShellLinkW) {
            *out = static_cast<IShellLinkW*>(this);
        } else if (iid == IID_IPersistStream || iid == IID_IPersist) {
            *out = static_cast<IPersistStream*>(this);
        } else if (iid == IID_IPropertyStore) {
            *out = static_cast<IPropertyStore*>(this);
        } else {
            *out = nullptr;  // no IPersistFile: the shell's own file save is not trusted
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // Lives on the test's stack; the count only shows the backend lets go.
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override { return --references_; }
    ULONG References() const { return references_; }

    // IPropertyStore
    STDMETHODIMP GetCount(DWORD* count) override { return *count = 0, S_OK; }
    STDMETHODIMP GetAt(DWORD, PROPERTYKEY*) override { return E_INVALIDARG; }
    STDMETHODIMP GetValue(REFPROPERTYKEY, PROPVARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP SetValue(REFPROPERTYKEY given, REFPROPVARIANT variant) override {
        calls.push_back("SetValue");
        key = given;
        type = variant.vt;
        if (variant.vt == VT_LPWSTR && variant.pwszVal) value = variant.pwszVal;
        return setValueAnswer;
    }
    STDMETHODIMP Commit() override {
        calls.push_back("Commit");
        return commitAnswer;
    }

    // IPersistStream, to the shell's own
    STDMETHODIMP GetClassID(CLSID* id) override { return persist_->GetClassID(id); }
    STDMETHODIMP IsDirty() override { return persist_->IsDirty(); }
    STDMETHODIMP Load(IStream* stream) override { return persist_->Load(stream); }
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override {
        calls.push_back("Save");
        return persist_->Save(stream, clearDirty);
    }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override { return persist_->GetSizeMax(size); }

    // IShellLinkW, to the shell's own
    STDMETHODIMP GetPath(LPWSTR file, int size, WIN32_FIND_DATAW* data, DWORD flags) override {
        return link_->GetPath(file, size, data, flags);
    }
    STDMETHODIMP GetIDList(PIDLIST_ABSOLUTE* list) override { return link_->GetIDList(list); }
    STDMETHODIMP SetIDList(PCIDLIST_ABSOLUTE list) override { return link_->SetIDList(list); }
    STDMETHODIMP GetDescription(LPWSTR text, int size) override {
        return link_->GetDescription(text, size);
    }
    STDMETHODIMP SetDescription(LPCWSTR text) override {
        calls.push_back("SetDescription");
        return link_->SetDescription(text);
    }
    STDMETHODIMP GetWorkingDirectory(LPWSTR folder, int size) override {
        return link_->GetWorkingDirectory(folder, size);
    }
    STDMETHODIMP SetWorkingDirectory(LPCWSTR folder) override {
        calls.push_back("SetWorkingDirectory");
        return link_->SetWorkingDirectory(folder);
    }
    STDMETHODIMP GetArguments(LPWSTR text, int size) override {
        return link_->GetArguments(text, size);
    }
    STDMETHODIMP SetArguments(LPCWSTR text) override {
        calls.push_back("SetArguments");
        return link_->SetArguments(text);
    }
    STDMETHODIMP GetHotkey(WORD* key) override { return link_->GetHotkey(key); }
    STDMETHODIMP SetHotkey(WORD key) override {
        calls.push_back("SetHotkey");
        return link_->SetHotkey(key);
    }
    STDMETHODIMP GetShowCmd(int* show) override { return link_->GetShowCmd(show); }
    STDMETHODIMP SetShowCmd(int show) override {
        calls.push_back("SetShowCmd");
        return link_->SetShowCmd(show);
    }
    STDMETHODIMP GetIconLocation(LPWSTR file, int size, int* index) override {
        return link_->GetIconLocation(file, size, index);
    }
    STDMETHODIMP SetIconLocation(LPCWSTR file, int index) override {
        calls.push_back("SetIconLocation");
        return link_->SetIconLocation(file, index);
    }
    STDMETHODIMP SetRelativePath(LPCWSTR path, DWORD reserved) override {
        calls.push_back("SetRelativePath");
        return link_->SetRelativePath(path, reserved);
    }
    STDMETHODIMP Resolve(HWND window, DWORD flags) override {
        return link_->Resolve(window, flags);
    }
    STDMETHODIMP SetPath(LPCWSTR file) override {
        calls.push_back("SetPath");
        return link_->SetPath(file);
    }

  private:
    ComPtr<IShellLinkW> link_;
    ComPtr<IPersistStream> persist_;
    ULONG references_ = 1;
};

// Saves a folder shortcut at path through the recording link.
void SaveThrough(RecordingLink& recording, const std::string& path) {
    Win32WshShell shell(recording.Factory());
    auto shortcut = shell.CreateShortcut(path);
    shortcut->TargetPath = "explorer.exe";
    shortcut->Arguments = "/e,\"C:\\Data\"";
    shortcut->IconLocation = "explorer.exe,1";
    shortcut->Description = "Shortcut to the folder\r\nC:\\Data";
    shortcut->Save();
}

std::wstring SavedId(const std::string& path) {
    RecordingLink recording;
    SaveThrough(recording, path);
    return recording.value;
}

TEST(Win32WshShell, TheApplicationIdIsSetAndCommittedBeforeTheLinkIsSaved) {
    TestFolder folder;
    RecordingLink recording;
    SaveThrough(recording, folder.Path("Data.lnk"));

    const std::vector<std::string> expected = {
        "SetPath",         "SetArguments", "SetShowCmd", "SetDescription",
        "SetIconLocation", "SetValue",     "Commit",     "Save"};
    EXPECT_EQ(recording.calls, expected);
    // System.AppUserModel.ID: {9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}, 5.
    const GUID format = {
        0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}};
    EXPECT_TRUE(IsEqualGUID(recording.key.fmtid, format));
    EXPECT_EQ(recording.key.pid, 5u);
    EXPECT_EQ(recording.type, VT_LPWSTR);
    const std::string id = Utf8(recording.value);
    ASSERT_EQ(id.size(), 53u) << id;
    EXPECT_EQ(id.substr(0, 21), "Tamsholt.Kestrow2005.");
    EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF", 21), std::string::npos) << id;
    EXPECT_EQ(recording.References(), 1u) << "the backend keeps no reference";
    EXPECT_EQ(LoadLink(folder.Path("Data.lnk")).arguments, "/e,\"C:\\Data\"");
}

// The id follows the file as Windows names it: one file whatever the case or
// spelling of its path, a different one for any other file.
TEST(Win32WshShell, TheApplicationIdFollowsTheShortcutsFileNotItsSpelling) {
    TestFolder folder;
    const std::wstring id = SavedId(folder.Path("Data.lnk"));
    std::string upper = folder.Path("data.LNK");
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    EXPECT_EQ(SavedId(upper), id);
    EXPECT_EQ(SavedId(folder.Path(".\\Data.lnk")), id);
    EXPECT_NE(SavedId(folder.Path("Data 2.lnk")), id);
    EXPECT_NE(SavedId(folder.Path("Data.lnk.lnk")), id);
}

TEST(Win32WshShell, AnIdThatCannotBeSetOrCommittedFailsTheSaveAndWritesNothing) {
    TestFolder folder;
    folder.WriteFile("Old.lnk", "the old shortcut");
    for (bool commitFails : {false, true}) {
        RecordingLink recording;
        (commitFails ? recording.commitAnswer : recording.setValueAnswer) = E_ACCESSDENIED;
        for (const char* name : {"New.lnk", "Old.lnk"}) {
            try {
                SaveThrough(recording, folder.Path(name));
                ADD_FAILURE() << name << " was saved without its id";
            } catch (const PlatformError& error) {
                EXPECT_NE(std::string(error.what()).find("application id"), std::string::npos)
                    << error.what();
            }
        }
        EXPECT_EQ(std::count(recording.calls.begin(), recording.calls.end(), "Save"), 0);
    }
    EXPECT_EQ(FilesIn(folder), 1);
    const auto old = Bytes(folder.Path("Old.lnk"));
    EXPECT_EQ(std::string(old.begin(), old.end()), "the old shortcut");
}

TEST(Win32WshShell, AReadOnlyShortcutIsNotReplaced) {
    TestFolder folder;
    folder.WriteFile("Locked.lnk", "kept", FILE_ATTRIBUTE_READONLY);
    auto shortcut = Win32WshShell().CreateShortcut(folder.Path("Locked.lnk"));
    shortcut->TargetPath = "explorer.exe";
    try {
        shortcut->Save();
        ADD_FAILURE() << "a read-only shortcut was replaced";
    } catch (const PlatformError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Permission denied: \"" + folder.Path("Locked.lnk") + "\" is read-only.");
    }
    const auto kept = Bytes(folder.Path("Locked.lnk"));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "kept");
    EXPECT_EQ(FilesIn(folder), 1);
}

// Written an hour ago.
void MakeStale(const std::string& path) {
    FileHandle file(::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= 3600ULL * 10'000'000;
    const FILETIME old{time.LowPart, time.HighPart};
    ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &old));
}

// A killed run leaves its temporary file; the next write removes it once it
// is stale, and never a file that is not ours or still being written.
TEST(Win32WshShell, StaleTemporaryFilesOfKilledRunsAreRemovedByTheNextWrite) {
    TestFolder folder;
    const std::vector<std::string> stale = {".kestrow-tmp-a1b2c3d4", "Projects.lnk.4242.tmp"};
    const std::vector<std::string> kept = {".kestrow-tmp-fresh123", "notes.tmp", ".kestrow-tmp-abc",
                                           "Projects.lnk.tmp", "Projects.txt.77.tmp"};
    for (const auto& name : stale) folder.WriteFile(name, "x", FILE_ATTRIBUTE_HIDDEN);
    for (const auto& name : kept) folder.WriteFile(name);
    for (const auto& name : stale) MakeStale(folder.Path(name));
    for (const auto& name : kept) {
        if (name != ".kestrow-tmp-fresh123") MakeStale(folder.Path(name));
    }

    auto shortcut = Win32WshShell().CreateShortcut(folder.Path("Projects.lnk"));
    shortcut->TargetPath = "explorer.exe";
    shortcut->Save();

    for (const auto& name : stale)
        EXPECT_FALSE(Win32FileSystemObject().FileExists(folder.Path(name))) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(Win32FileSystemObject().FileExists(folder.Path(name))) << name;
    const DWORD attributes = ::GetFileAttributesW(Wide(folder.Path("Projects.lnk")).c_str());
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_HIDDEN) << "the shortcut itself shows";
    EXPECT_EQ(FilesIn(folder), 1 + static_cast<int>(kept.size()));
}

}  // namespace
}  // namespace platform::win32

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ShellLinkContract, win32::Win32Shortcuts);
}  // namespace platform::testing

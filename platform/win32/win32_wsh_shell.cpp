#include "platform/win32/win32_wsh_shell.h"

#include <vector>

#include "platform/platform_error.h"
#include "platform/shell/app_user_model_id.h"
#include "platform/shell/shortcut_fields.h"
#include "platform/text/text.h"
#include "platform/win32/bound_api.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_paths.h"
#include "platform/win32/win32_replace_file.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// System.AppUserModel.ID.
constexpr PROPERTYKEY kAppUserModelIdKey = {
    {0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}}, 5};

void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) {
        throw PlatformError(what + ": " + ErrorText(static_cast<unsigned long>(hr)));
    }
}

// A bare program name is resolved the way the shell resolves it when it
// saves a shortcut: the Windows folder's own program first ("explorer.exe"),
// else the search path.
std::wstring ResolveTarget(const std::string& target) {
    if (target.empty()) throw PlatformError("The shortcut has no target.");
    const std::wstring wide = Wide(target);
    if (target.find_first_of("\\/:") != std::string::npos) return wide;
    wchar_t windows[MAX_PATH];
    const UINT windowsLength = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (windowsLength > 0 && windowsLength < MAX_PATH) {
        const std::wstring inWindows = std::wstring(windows) + L"\\" + wide;
        const DWORD attributes = ::GetFileAttributesW(inWindows.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return inWindows;
        }
    }
    wchar_t found[MAX_PATH];
    const DWORD length = ::SearchPathW(nullptr, wide.c_str(), nullptr, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        throw PlatformError("The shortcut target \"" + target + "\" was not found.");
    }
    return found;
}

void SetAppUserModelId(IShellLinkW& link, const std::string& id, const std::string& path) {
    const std::string cannot = "Cannot give the shortcut \"" + path + "\" its application id";
    ComPtr<IPropertyStore> properties;
    Check(link.QueryInterface(IID_IPropertyStore, properties.OutVoid()), cannot);
    std::wstring value = Wide(id);
    PROPVARIANT variant;
    ::PropVariantInit(&variant);
    variant.vt = VT_LPWSTR;
    variant.pwszVal = value.data();  // the store copies it
    Check(properties->SetValue(kAppUserModelIdKey, variant), cannot);
    Check(properties->Commit(), cannot);
}

// The link's bytes as the shell serialises them, into memory: its own save
// to a file reports success for a file the disk had no room for.
std::vector<unsigned char> SerializedLink(IShellLinkW& link, const std::string& path) {
    const std::string cannot = "Cannot write the shortcut \"" + path + "\"";
    ComPtr<IPersistStream> persist;
    Check(link.QueryInterface(IID_IPersistStream, persist.OutVoid()), cannot);
    ComPtr<IStream> stream;
    Check(bound::CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), cannot);
    Check(persist->Save(stream.Get(), TRUE), cannot);
    ULARGE_INTEGER size{};
    Check(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size), cannot);
    if (size.QuadPart == 0 || size.QuadPart > 0x1000000) {
        throw PlatformError(cannot + ": the shell gave " + std::to_string(size.QuadPart) +
                            " bytes.");
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart));
    Check(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), cannot);
    ULONG read = 0;
    Check(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), cannot);
    if (read != bytes.size()) throw PlatformError(cannot + ": the shell's bytes were cut short.");
    return bytes;
}

class Win32Shortcut : public WshShortcut {
  public:
    Win32Shortcut(std::string path, ShellLinkFactory createLink)
        : path_(std::move(path)), createLink_(std::move(createLink)) {}

    void Save() override {
        CheckShortcutPath(path_);
        CheckWindowStyle(WindowStyle);
        const std::wstring path = Wide(path_);
        // Replacing never deletes first, so a read-only shortcut is refused
        // here as deleting it would be.
        const DWORD existing = ::GetFileAttributesW(path.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) {
            throw PlatformError("Permission denied: \"" + path_ + "\" is read-only.");
        }
        const std::wstring target = ResolveTarget(TargetPath);
        const IconPlace icon = IconLocation.empty() ? IconPlace{} : SplitIconLocation(IconLocation);
        const std::string id = AppUserModelIdForFoldedPath(FoldedFullPath(path_));

        ComScope com;
        ComPtr<IShellLinkW> link;
        Check(createLink_(link), "The shell's shortcut object is not available");
        Check(link->SetPath(target.c_str()), "Cannot set the shortcut's target");
        Check(link->SetArguments(Wide(Arguments).c_str()), "Cannot set the shortcut's arguments");
        Check(link->SetShowCmd(WindowStyle), "Cannot set the shortcut's window style");
        Check(link->SetDescription(Wide(Description).c_str()),
              "Cannot set the shortcut's description");
        if (!icon.file.empty()) {
            Check(link->SetIconLocation(Wide(icon.file).c_str(), icon.index),
                  "Cannot set the shortcut's icon");
        }
        SetAppUserModelId(*link.Get(), id, path_);
        const std::vector<unsigned char> bytes = SerializedLink(*link.Get(), path_);
        ReplaceFileAtomically(path_, bytes.data(), bytes.size());
    }

  private:
    std::string path_;
    ShellLinkFactory createLink_;
};

}  // namespace

HRESULT CreateShellLinkObject(ComPtr<IShellLinkW>& link) {
    return bound::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   link.OutVoid());
}

bool IsWindows8OrLater() {
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = 6;
    wanted.dwMinorVersion = 2;
    DWORDLONG condition = 0;
    condition = ::VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}

Win32WshShell::Win32WshShell(ShellLinkFactory createLink, std::string startMenu)
    : createLink_(std::move(createLink)), startMenu_(std::move(startMenu)) {}

std::string Win32WshShell::SpecialFolder(const std::string& name) {
    if (!text::EqualsIgnoreCase(name, "StartMenu")) {
        throw PlatformError("The special folder \"" + name + "\" is not known on this system.");
    }
    if (!startMenu_.empty()) return startMenu_;
    const int folderId = IsWindows8OrLater() ? CSIDL_PROGRAMS : CSIDL_STARTMENU;
    wchar_t folder[MAX_PATH];
    const HRESULT hr =
        bound::SHGetFolderPathW(nullptr, folderId | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    if (FAILED(hr)) {
        throw PlatformError("The Start Menu folder cannot be found: " +
                            ErrorText(static_cast<unsigned long>(hr)));
    }
    return Utf8(folder);
}

std::unique_ptr<WshShortcut> Win32WshShell::CreateShortcut(const std::string& path) {
    return std::make_unique<Win32Shortcut>(path, createLink_);
}

}  // namespace platform::win32

#include "platform/win32/bound_api.h"

#include <olectl.h>

#include <string>

#include "platform/platform_error.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {

void* BoundEntry(const wchar_t* library, const char* name) {
    // A library stays loaded for the whole run once bound: its entry points
    // are kept by the callers.
    HMODULE module = ::GetModuleHandleW(library);
    if (!module) module = ::LoadLibraryW(library);
    const std::string libraryName = Utf8(library);
    if (!module) {
        throw PlatformError("The system library " + libraryName +
                            " cannot be loaded: " + ErrorText(::GetLastError()));
    }
    void* entry = reinterpret_cast<void*>(::GetProcAddress(module, name));
    if (!entry) {
        throw PlatformError("The system library " + libraryName + " has no " + name + ".");
    }
    return entry;
}

namespace {

// The entry point as a pointer of the bound function's own type. Bound once
// it is found; a failed binding is tried again at the next call.
template <typename Function>
Function Entry(const wchar_t* library, const char* name) {
    return reinterpret_cast<Function>(BoundEntry(library, name));
}

template <typename Function>
Function EntryOrNull(const wchar_t* library, const char* name) noexcept {
    try {
        return Entry<Function>(library, name);
    } catch (const PlatformError&) {
        return nullptr;
    }
}

constexpr const wchar_t* kOle32 = L"ole32.dll";
constexpr const wchar_t* kOleAut32 = L"oleaut32.dll";
constexpr const wchar_t* kShell32 = L"shell32.dll";

}  // namespace

namespace bound {

HRESULT CoInitializeEx(void* reserved, DWORD model) {
    static const auto call = Entry<decltype(&::CoInitializeEx)>(kOle32, "CoInitializeEx");
    return call(reserved, model);
}

HRESULT CoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID wanted,
                         void** object) {
    static const auto call = Entry<decltype(&::CoCreateInstance)>(kOle32, "CoCreateInstance");
    return call(type, outer, context, wanted, object);
}

HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL freeOnRelease, IStream** stream) {
    static const auto call =
        Entry<decltype(&::CreateStreamOnHGlobal)>(kOle32, "CreateStreamOnHGlobal");
    return call(memory, freeOnRelease, stream);
}

HRESULT OleInitialize(void* reserved) {
    static const auto call = Entry<decltype(&::OleInitialize)>(kOle32, "OleInitialize");
    return call(reserved);
}

void CoUninitialize() noexcept {
    static const auto call = EntryOrNull<decltype(&::CoUninitialize)>(kOle32, "CoUninitialize");
    if (call) call();
}

void OleUninitialize() noexcept {
    static const auto call = EntryOrNull<decltype(&::OleUninitialize)>(kOle32, "OleUninitialize");
    if (call) call();
}

void CoTaskMemFree(void* memory) noexcept {
    static const auto call = EntryOrNull<decltype(&::CoTaskMemFree)>(kOle32, "CoTaskMemFree");
    if (call) call(memory);
}

HRESULT OleLoadPicture(IStream* stream, LONG size, BOOL keepOriginalFormat, REFIID wanted,
                       void** picture) {
    static const auto call = Entry<decltype(&::OleLoadPicture)>(kOleAut32, "OleLoadPicture");
    return call(stream, size, keepOriginalFormat, wanted, picture);
}

HINSTANCE ShellExecuteW(HWND owner, const wchar_t* operation, const wchar_t* file,
                        const wchar_t* parameters, const wchar_t* directory, int showCommand) {
    static const auto call = Entry<decltype(&::ShellExecuteW)>(kShell32, "ShellExecuteW");
    return call(owner, operation, file, parameters, directory, showCommand);
}

HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path) {
    static const auto call = Entry<decltype(&::SHGetFolderPathW)>(kShell32, "SHGetFolderPathW");
    return call(owner, folder, token, flags, path);
}

PIDLIST_ABSOLUTE SHBrowseForFolderW(BROWSEINFOW* info) {
    static const auto call = Entry<decltype(&::SHBrowseForFolderW)>(kShell32, "SHBrowseForFolderW");
    return call(info);
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, wchar_t* path) {
    static const auto call =
        Entry<decltype(&::SHGetPathFromIDListW)>(kShell32, "SHGetPathFromIDListW");
    return call(list, path);
}

BOOL SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE list, wchar_t* path, DWORD length,
                           GPFIDL_FLAGS flags) {
    static const auto call =
        Entry<decltype(&::SHGetPathFromIDListEx)>(kShell32, "SHGetPathFromIDListEx");
    return call(list, path, length, flags);
}

}  // namespace bound
}  // namespace platform::win32

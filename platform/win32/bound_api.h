// The functions of shell32, ole32 and oleaut32 the programs call, bound by
// name at their first call, as hhctrl.ocx is: a missing library or entry
// point is a PlatformError of the call that needs it, never a program that
// cannot start. Each has the signature of the function it stands for.
//
// kernel32, user32 and gdi32 stay imported: the dialogs need them from the
// start, and Windows loads them into every program with windows. So does
// advapi32, which user32 and gdi32 import themselves, and whose registry
// every run reads first.
#pragma once

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The entry point name of library, loading the library on first use; throws
// PlatformError naming both when either is missing.
void* BoundEntry(const wchar_t* library, const char* name);

namespace bound {

// ole32
HRESULT CoInitializeEx(void* reserved, DWORD model);
HRESULT CoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID wanted,
                         void** object);
HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL freeOnRelease, IStream** stream);
HRESULT OleInitialize(void* reserved);
// Cleanup: a missing entry point leaves nothing to undo, so these never throw.
void CoUninitialize() noexcept;
void OleUninitialize() noexcept;
void CoTaskMemFree(void* memory) noexcept;

// oleaut32
HRESULT OleLoadPicture(IStream* stream, LONG size, BOOL keepOriginalFormat, REFIID wanted,
                       void** picture);

// shell32
HINSTANCE ShellExecuteW(HWND owner, const wchar_t* operation, const wchar_t* file,
                        const wchar_t* parameters, const wchar_t* directory, int showCommand);
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path);
PIDLIST_ABSOLUTE SHBrowseForFolderW(BROWSEINFOW* info);
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, wchar_t* path);
BOOL SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE list, wchar_t* path, DWORD length, GPFIDL_FLAGS flags);

}  // namespace bound
}  // namespace platform::win32

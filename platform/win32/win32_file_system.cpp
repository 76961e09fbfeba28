#include "platform/win32/win32_file_system.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/platform_error.h"
#include "platform/text/text.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// The attribute bits the seam knows, from the system's.
int SeamAttributes(DWORD attributes) {
    return static_cast<int>(attributes) &
           (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
}

std::optional<DWORD> AttributesOf(const std::string& path) {
    const auto wide = TryWide(path);
    if (!wide || wide->empty()) return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw PlatformError(what + " \"" + path + "\": " + ErrorText(error));
}

bool IsGone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool Wanted(int attributes, int mask) {
    for (int bit : {kAttrDirectory, kAttrHidden, kAttrSystem, kAttrReadOnly}) {
        if ((attributes & bit) && !(mask & bit)) return false;
    }
    return true;
}

}  // namespace

bool Win32FileSystemObject::FolderExists(const std::string& path) {
    const auto attributes = AttributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32FileSystemObject::CreateFolder(const std::string& path) {
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr)) {
        Fail("Cannot create the folder", path, ::GetLastError());
    }
}

bool Win32FileSystemObject::FileExists(const std::string& path) {
    const auto attributes = AttributesOf(path);
    return attributes && !(*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Win32FileSystemObject::DeleteFile(const std::string& path, bool force) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    // A file another run removed meanwhile is as deleted as it can be.
    if (attributes == INVALID_FILE_ATTRIBUTES && IsGone(::GetLastError())) return;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw PlatformError("File not found: \"" + path + "\".");
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        if (!force) throw PlatformError("Permission denied: \"" + path + "\" is read-only.");
        ::SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!::DeleteFileW(wide.c_str())) {
        const DWORD error = ::GetLastError();
        if (IsGone(error)) return;
        // A file we could not delete keeps the attribute it had.
        if (attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(wide.c_str(), attributes);
        Fail("Cannot delete the file", path, error);
    }
}

std::string Win32FileQueries::Dir(const std::string& path, int attributeMask) {
    const auto wide = TryWide(path);
    if (!wide || wide->empty()) return {};
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW(wide->c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::vector<std::string> matches;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (Wanted(SeamAttributes(entry.dwFileAttributes), attributeMask)) {
            matches.push_back(Utf8(name));
        }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    if (matches.empty()) return {};
    // The same answer whatever order the file system lists its entries in.
    return *std::min_element(matches.begin(), matches.end());
}

int Win32FileQueries::GetAttr(const std::string& path) {
    const auto attributes = AttributesOf(path);
    if (!attributes) throw PlatformError("File not found: \"" + path + "\".");
    return SeamAttributes(*attributes);
}

int Win32FileQueries::GetDriveType(const std::string& root) {
    std::string withSlash = root;
    if (!withSlash.empty() && withSlash.back() != '\\') withSlash += '\\';
    const auto wide = TryWide(withSlash);
    if (!wide) return kDriveNoRootDir;
    return static_cast<int>(::GetDriveTypeW(wide->c_str()));
}

}  // namespace platform::win32

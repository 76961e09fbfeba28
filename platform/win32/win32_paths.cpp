#include "platform/win32/win32_paths.h"

#include <optional>

#include "platform/platform_error.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

std::optional<std::wstring> FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
    return std::nullopt;
}

// Simple upper-casing, one unit for one, as NTFS's table folds names.
std::optional<std::wstring> UpperCase(const std::wstring& text) {
    if (text.empty()) return text;
    std::wstring upper(text.size(), L'\0');
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(),
                                       static_cast<int>(text.size()), upper.data(),
                                       static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (length != static_cast<int>(text.size())) return std::nullopt;
    return upper;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

}  // namespace

std::string FoldedFullPath(const std::string& path) {
    const auto full = FullPath(Wide(path));
    const auto folded = full ? UpperCase(*full) : std::nullopt;
    if (!folded) {
        throw PlatformError("The path \"" + path +
                            "\" cannot be made full: " + ErrorText(::GetLastError()));
    }
    return Utf8(*folded);
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    const auto widePath = TryWide(path);
    const auto wideFolder = TryWide(folder);
    if (!widePath || !wideFolder || widePath->empty() || wideFolder->empty()) return false;
    auto fullPath = FullPath(*widePath);
    auto fullFolder = FullPath(*wideFolder);
    if (!fullPath || !fullFolder) return false;
    *fullPath = WithoutTrailingSeparators(*fullPath);
    *fullFolder = WithoutTrailingSeparators(*fullFolder);
    const auto foldedPath = UpperCase(*fullPath);
    auto foldedFolder = UpperCase(*fullFolder);
    if (!foldedPath || !foldedFolder) return false;
    if (foldedFolder->back() != L'\\') *foldedFolder += L'\\';
    if (foldedPath->size() <= foldedFolder->size() ||
        foldedPath->compare(0, foldedFolder->size(), *foldedFolder) != 0) {
        return false;
    }
    // Each entry below the folder, down to the path itself, while they exist.
    std::size_t end = foldedFolder->size();
    while (end <= fullPath->size()) {
        end = fullPath->find(L'\\', end);
        if (end == std::wstring::npos) end = fullPath->size();
        const DWORD attributes = ::GetFileAttributesW(fullPath->substr(0, end).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            // Nothing further exists to lead elsewhere; an entry that cannot
            // be looked at might.
            const DWORD error = ::GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        }
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
        ++end;
    }
    return true;
}

}  // namespace platform::win32

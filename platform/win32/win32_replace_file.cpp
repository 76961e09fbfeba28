#include "platform/win32/win32_replace_file.h"

#include "platform/platform_error.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// A fixed short prefix: the target's own name may already be near the
// length limit of a name.
constexpr std::wstring_view kTempPrefix = L".kestrow-tmp-";
constexpr std::size_t kTempLetters = 8;
constexpr std::wstring_view kLetters = L"abcdefghijklmnopqrstuvwxyz0123456789";
// A write takes milliseconds; a temporary file this old was left by a run
// that was killed, and nobody will ever finish or remove it.
constexpr ULONGLONG kStaleAfter100ns = 10ULL * 60 * 10'000'000;

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw PlatformError(what + " \"" + path + "\": " + ErrorText(error));
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

ULONGLONG Ticks(const FILETIME& time) {
    return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

bool IsStale(const FILETIME& written) {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(now) > Ticks(written) && Ticks(now) - Ticks(written) >= kStaleAfter100ns;
}

bool AllOf(std::wstring_view text, std::wstring_view allowed) {
    return text.find_first_not_of(allowed) == std::wstring_view::npos;
}

// Removes what killed runs left: only names of ours, only plain files
// (never a link or what it points at), only when stale.
void RemoveStaleTemporaries(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
        if ((entry.dwFileAttributes & kNotPlain) || !IsTemporaryFileName(entry.cFileName) ||
            !IsStale(entry.ftLastWriteTime)) {
            continue;
        }
        ::DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
}

// Hidden, so that the Start Menu never lists one while it exists. CREATE_NEW:
// a name someone else holds is never opened.
FileHandle CreateTemporary(const std::wstring& folder, std::wstring& temp) {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    ULONGLONG mix = static_cast<ULONGLONG>(counter.QuadPart) ^
                    (static_cast<ULONGLONG>(::GetCurrentProcessId()) << 32) ^ ::GetTickCount64();
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        temp = folder + L"\\" + std::wstring(kTempPrefix);
        for (std::size_t i = 0; i < kTempLetters; ++i) {
            mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
            temp += kLetters[(mix >> 33) % kLetters.size()];
        }
        FileHandle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (file) return file;
        error = ::GetLastError();
    }
    ::SetLastError(error);
    return {};
}

bool WriteAll(HANDLE file, const void* bytes, std::size_t size) {
    const auto* next = static_cast<const unsigned char*>(bytes);
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file, next, chunk, &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        next += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool IsTemporaryFileName(const std::wstring& name) {
    const std::wstring_view view(name);
    if (view.substr(0, kTempPrefix.size()) == kTempPrefix) {
        const std::wstring_view letters = view.substr(kTempPrefix.size());
        return letters.size() == kTempLetters && AllOf(letters, kLetters);
    }
    // Earlier versions saved beside the shortcut as "<name>.lnk.<pid>.tmp".
    constexpr std::wstring_view kOldSuffix = L".tmp";
    if (view.size() <= kOldSuffix.size() ||
        view.substr(view.size() - kOldSuffix.size()) != kOldSuffix) {
        return false;
    }
    const std::wstring_view stem = view.substr(0, view.size() - kOldSuffix.size());
    const auto dot = stem.rfind(L'.');
    if (dot == std::wstring_view::npos || dot + 1 == stem.size() ||
        !AllOf(stem.substr(dot + 1), L"0123456789")) {
        return false;
    }
    const std::wstring_view shortcut = stem.substr(0, dot);
    return shortcut.size() > 4 && ::CompareStringOrdinal(shortcut.data() + shortcut.size() - 4, 4,
                                                         L".lnk", 4, TRUE) == CSTR_EQUAL;
}

void ReplaceFileAtomically(const std::string& path, const void* bytes, std::size_t size) {
    const std::wstring target = Wide(path);
    const std::wstring folder = FolderOf(target);
    RemoveStaleTemporaries(folder);

    std::wstring temp;
    FileHandle file = CreateTemporary(folder, temp);
    if (!file) Fail("Cannot write the file", path, ::GetLastError());
    // Every write is checked: the shell's own save reports success for a
    // file the disk had no room for.
    const bool written = WriteAll(file.Get(), bytes, size) && ::FlushFileBuffers(file.Get());
    DWORD error = written ? ERROR_SUCCESS : ::GetLastError();
    if (!::CloseHandle(file.Release()) && written) error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(temp.c_str());
        Fail("Cannot write the file", path, error);
    }
    // The file keeps its attributes when it is moved: it shows from here on.
    if (!::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL) ||
        !::MoveFileExW(temp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        Fail("Cannot replace the file", path, error);
    }
}

}  // namespace platform::win32

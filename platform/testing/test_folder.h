// A temporary folder for one test, removed with everything in it, on the
// target's real file system.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"
#else
#include <stdlib.h>

#include "platform/posix/path_mapping.h"
#endif

namespace platform::testing {

class TestFolder {
  public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder itself, as the operating system names it.
    const std::filesystem::path& Native() const { return path_; }
    // The path of a name inside the folder ("" for the folder itself) as
    // this target's file calls take it, in UTF-8.
    std::string Path(const std::string& name = "") const;
    // The same as the programs name it: a Windows path (Z: on POSIX).
    std::string Windows(const std::string& name = "") const;

#ifdef _WIN32
    void WriteFile(const std::string& name, const std::string& bytes = "x",
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
#endif

  private:
    std::filesystem::path path_;
};

#ifdef _WIN32

inline TestFolder::TestFolder() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    const std::string path = win32::Utf8(temp) + "kestrow-test-" +
                             std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(++serial);
    if (!::CreateDirectoryW(win32::Wide(path).c_str(), nullptr)) {
        throw std::runtime_error("cannot make " + path);
    }
    path_ = std::filesystem::path(win32::Wide(path));
}

inline TestFolder::~TestFolder() {
    // SHFileOperation takes a list ending in two NULs; it also removes
    // read-only files.
    std::wstring from = path_.wstring();
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
}

inline std::string TestFolder::Windows(const std::string& name) const {
    const std::string folder = win32::Utf8(path_.wstring());
    return name.empty() ? folder : folder + "\\" + name;
}

inline std::string TestFolder::Path(const std::string& name) const { return Windows(name); }

inline void TestFolder::WriteFile(const std::string& name, const std::string& bytes,
                                  DWORD attributes) const {
    const std::wstring path = win32::Wide(Windows(name));
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    ::SetFileAttributesW(path.c_str(), attributes);
}

#else

inline TestFolder::TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrow-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = std::filesystem::canonical(pattern);
}

inline TestFolder::~TestFolder() {
    // Tests take rights away; give them back so that everything goes.
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

inline std::string TestFolder::Path(const std::string& name) const {
    return name.empty() ? path_.string() : (path_ / name).string();
}

inline std::string TestFolder::Windows(const std::string& name) const {
    return posix::WindowsPathOf(Path(name));
}

#endif

}  // namespace platform::testing

// A temporary folder for one test on the real Windows file system, removed
// with everything in it.
#pragma once

#include <string>

#include "win32/wide_text.h"
#include "win32/windows_api.h"

namespace platform::win32::testing {

class TestFolder {
  public:
    TestFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        path_ = Utf8(temp) + "kestrow-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(++serial);
        ::CreateDirectoryW(Wide(path_).c_str(), nullptr);
    }
    ~TestFolder() {
        // SHFileOperation takes a list ending in two NULs.
        std::wstring from = Wide(path_);
        from.push_back(L'\0');
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&operation);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The path of a name inside the folder ("" for the folder itself).
    std::string Path(const std::string& name = "") const {
        return name.empty() ? path_ : path_ + "\\" + name;
    }
    void WriteFile(const std::string& name, const std::string& bytes = "x",
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
        HANDLE file = ::CreateFileW(Wide(Path(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        ::SetFileAttributesW(Wide(Path(name)).c_str(), attributes);
    }

  private:
    std::string path_;
};

}  // namespace platform::win32::testing

// The file-system object and the directory-entry, attribute and drive-type
// queries on native Windows paths.
#pragma once

#include "platform/shell/file_system.h"

namespace platform::win32 {

class Win32FileSystemObject : public FileSystemObject {
  public:
    bool FolderExists(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    void DeleteFile(const std::string& path, bool force) override;
};

class Win32FileQueries : public FileQueries {
  public:
    std::string Dir(const std::string& path, int attributeMask) override;
    int GetAttr(const std::string& path) override;
    int GetDriveType(const std::string& root) override;
};

}  // namespace platform::win32

// The scripting runtime's file-system object on the Z: drive.
#pragma once

#include "platform/shell/file_system.h"

namespace platform::posix {

class PosixFileSystemObject : public FileSystemObject {
  public:
    bool FolderExists(const std::string& path) override;
    // The parent must exist; an existing folder or file there is an error.
    void CreateFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    // Deletes that one file (no wildcards); a symbolic link itself, never its target.
    void DeleteFile(const std::string& path, bool force) override;
};

}  // namespace platform::posix

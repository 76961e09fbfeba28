// File-system operations the programs use, on Windows paths: the scripting
// runtime's file-system object, and the directory-entry, attribute and
// drive-type queries.
#pragma once

#include <string>

#include "platform/no_windows_macros.h"

namespace platform {

// File attribute bits.
constexpr int kAttrReadOnly = 1;
constexpr int kAttrHidden = 2;
constexpr int kAttrSystem = 4;
constexpr int kAttrDirectory = 16;
constexpr int kAttrArchive = 32;
constexpr int kAttrNormal = 0;

// Drive types.
constexpr int kDriveUnknown = 0;
constexpr int kDriveNoRootDir = 1;
constexpr int kDriveRemovable = 2;
constexpr int kDriveFixed = 3;
constexpr int kDriveRemote = 4;
constexpr int kDriveCdRom = 5;
constexpr int kDriveRamDisk = 6;

class FileSystemObject {
  public:
    virtual ~FileSystemObject() = default;
    virtual bool FolderExists(const std::string& path) = 0;
    // Creates that one folder; throws PlatformError when it cannot.
    virtual void CreateFolder(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // Deletes a file; without force a read-only file is refused. Throws on failure.
    virtual void DeleteFile(const std::string& path, bool force) = 0;
};

class FileQueries {
  public:
    virtual ~FileQueries() = default;
    // The name of the first directory entry matching path (its last component
    // may hold * and ?), or empty text. Plain files always match; folders,
    // hidden, system and read-only entries only when the mask has their bit.
    virtual std::string Dir(const std::string& path, int attributeMask) = 0;
    // The attribute bits of what is at path; throws PlatformError when nothing is there.
    virtual int GetAttr(const std::string& path) = 0;
    // The type of the drive whose root is given ("C:\" or "C:").
    virtual int GetDriveType(const std::string& root) = 0;
};

}  // namespace platform

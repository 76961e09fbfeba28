#include "platform/posix/posix_file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/platform_error.h"
#include "platform/posix/file_attributes.h"
#include "platform/posix/path_mapping.h"

namespace platform::posix {
namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

bool PosixFileSystemObject::FolderExists(const std::string& path) {
    const auto posix = TryPosixPathOf(path);
    struct stat st {};
    return posix && ::stat(posix->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void PosixFileSystemObject::CreateFolder(const std::string& path) {
    const std::string posix = PosixPathOf(path);
    if (::mkdir(posix.c_str(), 0777) == 0) return;
    const int error = errno;
    if (error == EEXIST) throw PlatformError("The folder " + Quoted(path) + " already exists.");
    if (error == ENOENT) {
        throw PlatformError("Cannot create the folder " + Quoted(path) +
                            ": the folder it belongs in does not exist.");
    }
    throw PlatformError("Cannot create the folder " + Quoted(path) + ": " + std::strerror(error));
}

bool PosixFileSystemObject::FileExists(const std::string& path) {
    const auto posix = TryPosixPathOf(path);
    struct stat st {};
    return posix && ::stat(posix->c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void PosixFileSystemObject::DeleteFile(const std::string& path, bool force) {
    const std::string posix = PosixPathOf(path);
    struct stat st {};
    if (::lstat(posix.c_str(), &st) != 0) {
        // A file another run removed meanwhile is as deleted as it can be.
        if (errno == ENOENT) return;
        throw PlatformError("Cannot delete " + Quoted(path) + ": " + std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        throw PlatformError("Cannot delete " + Quoted(path) + ": it is a folder.");
    }
    const std::string name = posix.substr(posix.rfind('/') + 1);
    if (!force && !S_ISLNK(st.st_mode) && (AttributesOf(name, st) & kAttrReadOnly)) {
        throw PlatformError("Cannot delete " + Quoted(path) + ": the file is read-only.");
    }
    if (::unlink(posix.c_str()) != 0 && errno != ENOENT) {
        throw PlatformError("Cannot delete " + Quoted(path) + ": " + std::strerror(errno));
    }
}

}  // namespace platform::posix

#include "platform/posix/flock_instance_check.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/platform_error.h"

namespace platform::posix {
namespace {

std::string SafeFileName(const std::string& name) {
    std::string safe;
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        safe.push_back(plain ? c : '_');
    }
    return safe;
}

}  // namespace

std::string LockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        return runtime;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder =
        std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/kestrow-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        throw PlatformError("Cannot make the lock folder \"" + folder +
                            "\": " + std::strerror(errno));
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        throw PlatformError("The lock folder \"" + folder +
                            "\" is not a private folder of this user.");
    }
    return folder;
}

FlockInstanceCheck::~FlockInstanceCheck() {
    for (const auto& [name, fd] : held_) ::close(fd);
}

bool FlockInstanceCheck::PreviousInstanceRunning(const std::string& programName) {
    if (held_.count(programName)) return false;
    const std::string path = LockFolder() + "/" + SafeFileName(programName) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        throw PlatformError("Cannot open the lock file \"" + path + "\": " + std::strerror(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held_[programName] = fd;
        return false;
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return true;
    throw PlatformError("Cannot lock \"" + path + "\": " + std::strerror(error));
}

}  // namespace platform::posix

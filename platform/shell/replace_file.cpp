#include "shell/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform_error.h"

namespace platform {
namespace {

std::string Describe(const std::string& what, const std::string& path, int error) {
    return what + " \"" + path + "\": " + std::strerror(error);
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

// No fsync: a failed or interrupted write never shows, as the rename is the
// only step a reader can see; what a power cut may cost is a shortcut written
// in its last seconds, which the user makes again with one click. Flushing
// took most of the time of making a shortcut.
void ReplaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string folder = ParentOf(path);
    // A fixed short prefix: the target's own name may already be near the
    // length limit of a name.
    std::string temp = folder + "/.kestrow-tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw PlatformError(Describe("Cannot write the file", path, errno));

    auto fail = [&](const std::string& what) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        throw PlatformError(Describe(what, path, error));
    };
    // A file-size limit would otherwise kill the program instead of failing the write.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool written = WriteAll(fd, bytes);
    std::signal(SIGXFSZ, oldHandler);
    if (!written) fail("Cannot write the file");
    if (::fchmod(fd, 0666 & ~CurrentUmask()) != 0) fail("Cannot set the permissions of");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw PlatformError(Describe("Cannot write the file", path, error));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw PlatformError(Describe("Cannot replace the file", path, error));
    }
}

}  // namespace platform

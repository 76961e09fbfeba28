#include "reg-tool/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace reg_tool {

namespace {

constexpr int kAttempts = 100;

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Opens a temporary file of a name no one holds yet; -1 when none could be made.
int CreateTemporary(const std::string& path, std::string* temporary) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        *temporary = path + ".kestrow-reg-tmp";
        if (attempt > 0)
            *temporary += "-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd =
            open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    std::string temporary;
    const int fd = CreateTemporary(path, &temporary);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = fchmod(fd, NewFileMode()) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    if (!ok) *error = std::strerror(errno);
    if (close(fd) != 0 && ok) {
        ok = false;
        *error = std::strerror(errno);
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        *error = std::strerror(errno);
    }
    if (!ok) unlink(temporary.c_str());
    return ok;
}

}  // namespace reg_tool

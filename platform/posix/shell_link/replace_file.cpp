#include "platform/posix/shell_link/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/platform_error.h"

namespace platform::posix {
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

// A fixed short prefix: the target's own name may already be near the
// length limit of a name.
constexpr char kTempPrefix[] = ".kestrow-tmp-";
constexpr std::size_t kTempLetters = 8;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
// A write takes milliseconds; a temporary file this old was left by a run
// that was killed, and nobody will ever finish or remove it.
constexpr std::time_t kStaleAfterSeconds = 10 * 60;

bool IsTemporaryName(const char* name) {
    const std::size_t prefix = sizeof kTempPrefix - 1;
    if (std::strncmp(name, kTempPrefix, prefix) != 0) return false;
    const char* letters = name + prefix;
    if (std::strlen(letters) != kTempLetters) return false;
    return std::strspn(letters, kLetters) == kTempLetters;
}

// Removes what killed runs left: only names of ours, only plain files of
// this user (never what a link points at), only when stale.
void RemoveStaleTemporaries(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsTemporaryName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        if (now - st.st_mtime < kStaleAfterSeconds) continue;
        ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

// open() rather than mkstemp(): the kernel then applies the umask (and a
// default ACL) to the mode; reading the umask means setting it, which races
// with files that other threads make meanwhile. Close-on-exec keeps the file
// out of programs started meanwhile.
int CreateTemporary(const std::string& folder, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        // The kernel's random bytes, asked for directly rather than through
        // a C++ random device, which probes the processor at every start.
        // Should they be unavailable the name is still tried: a taken one
        // only means another attempt.
        std::uint8_t random[kTempLetters] = {};
        if (::getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random) {
            const auto mix = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15u +
                             static_cast<std::uint64_t>(attempt) * 0xBF58476D1CE4E5B9u;
            for (int i = 0; i < 8; ++i) random[i] ^= static_cast<std::uint8_t>(mix >> (8 * i));
        }
        temp = folder + "/" + kTempPrefix;
        for (std::uint8_t byte : random) temp += kLetters[byte % (sizeof kLetters - 1)];
        // O_EXCL: a name someone planted (a link too) is never opened.
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
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
    std::string temp;
    RemoveStaleTemporaries(ParentOf(path));
    const int fd = CreateTemporary(ParentOf(path), temp);
    if (fd < 0) throw PlatformError(Describe("Cannot write the file", path, errno));

    // A file-size limit would otherwise kill the program instead of failing the write.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool written = WriteAll(fd, bytes);
    const int writeError = errno;
    std::signal(SIGXFSZ, oldHandler);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        const int error = written ? errno : writeError;
        ::unlink(temp.c_str());
        throw PlatformError(Describe("Cannot write the file", path, error));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw PlatformError(Describe("Cannot replace the file", path, error));
    }
}

}  // namespace platform::posix

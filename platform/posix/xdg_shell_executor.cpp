#include "platform/posix/xdg_shell_executor.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

constexpr std::intptr_t kStarted = 42;
constexpr std::intptr_t kNoAssociation = 31;

}  // namespace

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= rest.size()) {
        const auto colon = rest.find(':', start);
        const auto end = colon == std::string::npos ? rest.size() : colon;
        // An empty entry of PATH means the current folder.
        std::string candidate = end > start ? rest.substr(start, end - start) : std::string(1, '.');
        candidate += '/';
        candidate += name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

std::intptr_t XdgShellExecutor::ShellExecute(std::uintptr_t, const char* operation,
                                             const std::string& file, const char*,
                                             const std::string& directory, int) {
    if (operation && *operation && !text::EqualsIgnoreCase(operation, "open")) {
        return kNoAssociation;
    }
    const std::string opener = FindOnPath("xdg-open");
    if (opener.empty()) {
        throw PlatformError("Cannot open \"" + file + "\": xdg-open was not found on PATH.");
    }
    const auto posixFile = TryPosixPathOf(file);
    const std::string argument = posixFile ? *posixFile : file;
    const auto workDir = TryPosixPathOf(directory);

    // Everything the children need is ready before fork.
    const char* argv[] = {"xdg-open", argument.c_str(), nullptr};
    const pid_t child = ::fork();
    if (child < 0)
        throw PlatformError(std::string("Cannot start xdg-open: ") + std::strerror(errno));
    if (child == 0) {
        // The grandchild, in a session of its own, is adopted by init, so
        // nobody has to wait for it.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        if (workDir && ::chdir(workDir->c_str()) != 0) {
            // A missing working folder does not keep the document from opening.
        }
        const int null = ::open("/dev/null", O_RDONLY);
        if (null > STDIN_FILENO) {
            // Only as standard input: the browser started would keep any copy.
            ::dup2(null, STDIN_FILENO);
            ::close(null);
        }
        ::execv(opener.c_str(), const_cast<char* const*>(argv));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw PlatformError("Cannot start xdg-open for \"" + file + "\".");
    }
    return kStarted;
}

}  // namespace platform::posix

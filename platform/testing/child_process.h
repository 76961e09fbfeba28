// Child processes for the tests that run the programs, or the test's own
// code, in a process of their own: start, kill and wait, with exit status.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::testing {

// How a child ended.
struct ChildExit {
    int code = -1;   // its exit code when it exited
    int signal = 0;  // the signal that ended it, else 0

    bool Succeeded() const { return signal == 0 && code == 0; }
    bool WasKilled() const { return signal == SIGKILL; }
    // The exit code, or 128 plus the signal, as a shell tells it.
    int Status() const { return signal != 0 ? 128 + signal : code; }
};

// What a started program gets.
struct ChildLaunch {
    std::vector<std::string> arguments;  // the program first
    // Variables to set; a missing value clears the variable.
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    std::string directory;  // empty: the test's own
    // Files for standard input, output and error; empty keeps the test's.
    std::string input = "/dev/null";
    std::string output = "/dev/null";
    std::string error = "/dev/null";
    std::optional<std::uint64_t> fileSizeLimit;  // bytes, as ulimit -f sets it
    bool newSession = false;                     // no controlling terminal
};

class ChildProcess {
  public:
    using Id = long;

    // Runs body in a copy of this process; the child ends with its result.
    static ChildProcess Fork(const std::function<int()>& body) {
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(body());
        return ChildProcess(pid);
    }

    static ChildProcess Start(const ChildLaunch& launch) {
        const pid_t pid = ::fork();
        if (pid != 0) return ChildProcess(pid);
        if (launch.newSession) ::setsid();
        if (launch.fileSizeLimit) {
            const rlimit limit{*launch.fileSizeLimit, *launch.fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
        }
        for (const auto& [name, value] : launch.environment) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        if (!launch.directory.empty() && ::chdir(launch.directory.c_str()) != 0) ::_exit(126);
        if (!Redirect(launch.input, O_RDONLY, 0) || !Redirect(launch.output, O_WRONLY, 1) ||
            !Redirect(launch.error, O_WRONLY, 2)) {
            ::_exit(126);
        }
        std::vector<char*> argv;
        for (const auto& argument : launch.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }

    // Waits for whichever child ends first: its id and how it ended.
    static std::optional<std::pair<Id, ChildExit>> WaitAny() {
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid <= 0) return std::nullopt;
        return std::make_pair(Id{pid}, ExitOf(status));
    }

    bool Started() const { return pid_ > 0; }
    Id ProcessId() const { return pid_; }
    bool Kill() const { return ::kill(pid_, SIGKILL) == 0; }
    bool Terminate() const { return ::kill(pid_, SIGTERM) == 0; }

    // Nothing when the child cannot be waited for.
    std::optional<ChildExit> Wait() const {
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return std::nullopt;
        return ExitOf(status);
    }

  private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}

    static ChildExit ExitOf(int status) {
        ChildExit exit;
        if (WIFEXITED(status)) exit.code = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) exit.signal = WTERMSIG(status);
        return exit;
    }

    static bool Redirect(const std::string& path, int mode, int fd) {
        if (path.empty()) return true;
        const int opened = ::open(path.c_str(), mode | (fd == 0 ? 0 : O_CREAT | O_TRUNC), 0644);
        if (opened < 0) return false;
        if (opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
        return true;
    }

    pid_t pid_;
};

}  // namespace platform::testing

// kestrow-reg on a key of many values: one value by name, the whole key with
// /s, an export and an import of it, each a complete run of the program on a
// store in a temporary folder. Reports the wall time of each; exits 1 when
// query /v takes a second or more, or any other run ten seconds or more.
//
//   reg_tool_bench [VALUES]     (default 100000; kestrow-reg is found beside it)

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kKey = "Software\\Bench\\Many";

// Seconds of one run of the program, with standard output thrown away.
double Run(const std::vector<std::string>& argv, int* exitCode) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::fflush(stdout);  // or the child's freopen writes the parent's buffer again
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout)) _exit(126);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Fill(const std::string& store, long count) {
    auto registry = platform::posix::OpenSqliteRegistry(store);
    if (!registry) return false;
    platform::RegKey key = 0;
    if (registry->RegCreateKeyEx(platform::kHkeyCurrentUser, kKey, platform::kKeyAllUsual, &key))
        return false;
    if (registry->BeginTransaction(true)) return false;
    for (long i = 0; i < count; ++i) {
        const std::string name = "Value" + std::to_string(i);
        const std::string data = "data of value " + std::to_string(i);
        if (registry->RegSetValueEx(key, name, 0, platform::kRegSz,
                                    reinterpret_cast<const std::uint8_t*>(data.c_str()),
                                    static_cast<std::uint32_t>(data.size())))
            return false;
    }
    return registry->EndTransaction(true) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 100000;
    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    const std::string program = (bin / "kestrow-reg").string();
    std::string pattern = (fs::temp_directory_path() / "kestrow-reg-bench-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);

    std::printf("filling a key with %ld values...\n", count);
    if (!Fill(platform::posix::DefaultRegistryPath(), count)) {
        std::fprintf(stderr, "could not fill the store\n");
        return 1;
    }
    const std::string key = std::string("HKCU\\") + kKey;
    const std::string last = "Value" + std::to_string(count - 1);
    const std::string file = (dir / "many.reg").string();
    struct Case {
        const char* what;
        std::vector<std::string> args;
        double limit;
    };
    const std::vector<Case> cases = {
        {"query KEY /v (last value)", {program, "query", key, "/v", last}, 1.0},
        {"query KEY /s", {program, "query", key, "/s"}, 10.0},
        {"query KEY /f (search data)", {program, "query", key, "/f", "value 99999", "/d"}, 10.0},
        {"export KEY", {program, "export", key, file, "/y"}, 10.0},
        {"import (same values)", {program, "import", file}, 10.0},
    };
    bool ok = true;
    for (const auto& c : cases) {
        int exitCode = 0;
        const double seconds = Run(c.args, &exitCode);
        const bool within = exitCode == 0 && seconds < c.limit;
        ok = ok && within;
        std::printf("%-28s %8.3f s  (exit %d, limit %.0f s)%s\n", c.what, seconds, exitCode,
                    c.limit, within ? "" : "  OVER");
    }
    fs::remove_all(dir);
    return ok ? 0 : 1;
}

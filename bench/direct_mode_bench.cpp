// Direct mode end to end against a minimal C program writing a file of the
// same size, run side by side. Reports the median wall time of each, their
// ratio, and the shortcut maker's peak resident memory; exits 1 when the
// ratio is over 1.3 or the memory over 8 MiB. A second floor, a C program
// that also opens the settings store and reads one value, shows how much of
// the time the store takes whatever the program around it does.
//
//   direct_mode_bench [RUNS]     (default 25; binaries are found beside it)

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    double seconds;
    long maxRssKiB;
};

RunResult Run(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0].c_str(), status);
        std::exit(2);
    }
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 25;
    const fs::path binDir = fs::canonical("/proc/self/exe").parent_path();
    const std::string maker = (binDir / "Kestrow2005").string();
    const std::string reg = (binDir / "kestrow-reg").string();
    const std::string baseline = (binDir / "write_file_baseline").string();
    const std::string storeBaseline = (binDir / "store_read_baseline").string();

    // A user of our own: settings, Start Menu and folders in a scratch home.
    char pattern[] = "/tmp/kestrow-bench-XXXXXX";
    const fs::path home = mkdtemp(pattern);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    // No window is due: the menu delay is already at 100.
    Run({reg, "add", "HKCU\\Control Panel\\Desktop", "/v", "MenuShowDelay", "/t", "REG_SZ", "/d",
         "100", "/f"});

    const std::string store = (home / ".config/kestrow/registry.db").string();
    std::vector<double> makerTimes, baselineTimes, storeTimes;
    long maxRss = 0;
    const fs::path out = home / "baseline.bin";
    for (int i = 0; i <= runs; ++i) {
        const fs::path folder = home / "Projects" / ("Folder " + std::to_string(i));
        fs::create_directories(folder);
        const RunResult m = Run({maker, folder.string()});
        // The same number of bytes as the shortcut just written.
        std::uintmax_t size = 0;
        for (const auto& e : fs::recursive_directory_iterator(home / ".local/share")) {
            if (e.path().filename() == folder.filename().string() + ".lnk") size = e.file_size();
        }
        if (size == 0) {
            std::fprintf(stderr, "no shortcut was written for %s\n", folder.c_str());
            return 2;
        }
        const RunResult b = Run({baseline, out.string(), std::to_string(size)});
        const RunResult s = Run({storeBaseline, store, out.string(), std::to_string(size)});
        if (i == 0) continue;  // the first run creates the store and the side menu
        makerTimes.push_back(m.seconds);
        baselineTimes.push_back(b.seconds);
        storeTimes.push_back(s.seconds);
        maxRss = std::max(maxRss, m.maxRssKiB);
    }
    fs::remove_all(home);

    const double makerMedian = Median(makerTimes);
    const double baselineMedian = Median(baselineTimes);
    const double ratio = makerMedian / baselineMedian;
    const double storeMedian = Median(storeTimes);
    std::printf("runs: %d\n", runs);
    std::printf("direct mode median: %.3f ms\n", makerMedian * 1e3);
    std::printf("baseline median:    %.3f ms\n", baselineMedian * 1e3);
    std::printf("ratio:              %.2f (goal: at most 1.3)\n", ratio);
    std::printf("store floor median: %.3f ms (ratio %.2f to the baseline)\n", storeMedian * 1e3,
                storeMedian / baselineMedian);
    std::printf("direct mode / store floor: %.2f\n", makerMedian / storeMedian);
    std::printf("peak RSS:           %.2f MiB (goal: under 8)\n", maxRss / 1024.0);
    const bool ok = ratio <= 1.3 && maxRss < 8 * 1024;
    std::printf("%s\n", ok ? "goals met" : "GOALS MISSED");
    return ok ? 0 : 1;
}

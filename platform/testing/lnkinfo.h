// What lnkinfo, a reader of shortcut files written by others, finds in one:
// the tests' independent check of the files the programs write.
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace platform::testing {

inline bool LnkinfoInstalled() {
    return ::access("/usr/bin/lnkinfo", X_OK) == 0 ||
           std::system("command -v lnkinfo >/dev/null") == 0;
}

struct LnkinfoReport {
    // All lnkinfo printed, its errors too.
    std::string output;

    // The value printed after "<label>" up to the end of its line; a
    // description's CR LF makes lnkinfo print it on two lines, of which
    // this is the first, CR included.
    std::string Field(const std::string& label) const {
        const auto at = output.find("\t" + label);
        if (at == std::string::npos) return "<missing " + label + ">";
        auto start = output.find(':', at);
        start = output.find_first_not_of(' ', start + 1);
        const auto end = output.find('\n', start);
        return output.substr(start, end - start);
    }
};

// An empty report when lnkinfo could not be started.
inline LnkinfoReport RunLnkinfo(const std::filesystem::path& file) {
    const std::string command = "lnkinfo '" + file.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    LnkinfoReport report;
    if (!pipe) return report;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
        report.output.append(buffer, n);
    }
    return report;
}

}  // namespace platform::testing

// kestrow-reg as the user runs it, for the tests: the built program, a store
// in a temporary XDG_CONFIG_HOME, output and exit codes.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/testing/test_folder.h"

namespace reg_tool {

namespace fs = std::filesystem;

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string ShellQuoted(const std::string& s) {
    std::string out = "'";
    for (const char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class RegToolTest : public ::testing::Test {
  protected:
    void SetUp() override { UseConfig(dir_ / "config"); }

    void UseConfig(const fs::path& config) {
        config_ = config;
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }

    fs::path Store() const { return config_ / "kestrow" / "registry.db"; }

    // KESTROW_BIN_DIR, or the build's bin folder beside this test's folder.
    static std::string Program() {
        const char* bin = std::getenv("KESTROW_BIN_DIR");
        if (bin && *bin) return std::string(bin) + "/kestrow-reg";
        return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" /
                "kestrow-reg")
            .string();
    }

    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::string command =
            "XDG_CONFIG_HOME=" + ShellQuoted(config_.string()) + " " + ShellQuoted(Program());
        for (const auto& arg : args) command += " " + ShellQuoted(arg);
        std::ofstream(dir_ / "in") << input;
        command += " <" + ShellQuoted((dir_ / "in").string()) + " >" +
                   ShellQuoted((dir_ / "out").string()) + " 2>" +
                   ShellQuoted((dir_ / "err").string());
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir_ / "out"),
                ReadText(dir_ / "err")};
    }

    void ExpectOk(const std::vector<std::string>& args) {
        const Result r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "The operation completed successfully.\n");
    }

    platform::testing::TestFolder folder_;
    fs::path dir_ = folder_.Native();
    fs::path config_;
};

}  // namespace reg_tool

// kestrow-reg where a store or a file could be harmed: imports that fail or
// are killed half-way, a planted link at the export's temporary name, names
// that hold line breaks, and the other operations' less travelled paths.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "reg-tool/reg_tool_test_support.h"
#include "reg-tool/registry_tree.h"

namespace reg_tool {
namespace {

const std::string kOk = "The operation completed successfully.\n";

std::size_t ValueCount(const std::string& path) {
    auto registry = platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
    std::vector<KeyContents> keys;
    if (ReadKeys(*registry, path, false, &keys) != 0) return 0;
    return keys.front().values.size();
}

TEST_F(RegToolTest, AnImportThatFailsWhileApplyingLeavesTheStoreAsItWas) {
    ExpectOk({"add", "HKCU\\Software\\Kept", "/v", "Old", "/d", "1"});
    const std::string before = ReadText(Store());
    // Well-formed, but the third value's name is longer than the store takes.
    std::ofstream(dir_ / "long.reg") << "Windows Registry Editor Version 5.00\n\n"
                                        "[HKEY_CURRENT_USER\\Software\\Kept]\n\"Old\"=-\n"
                                        "[HKEY_CURRENT_USER\\Software\\New]\n\"a\"=\"1\"\n\""
                                     << std::string(16384, 'n') << "\"=\"x\"\n\"b\"=\"2\"\n";
    const Result r = Run({"import", (dir_ / "long.reg").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "ERROR: Error accessing the registry at the key HKEY_CURRENT_USER\\Software\\New, "
              "value " +
                  std::string(60, 'n') +
                  "...: The parameter is incorrect (a name or data the registry does not "
                  "take). Nothing was imported.\n");
    EXPECT_NE(r.err.find("Nothing was imported."), std::string::npos);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\New"}).exitCode, 1);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\Kept", "/v", "Old"}).exitCode, 0);
    EXPECT_EQ(ReadText(Store()), before);
}

TEST_F(RegToolTest, AKilledImportLeavesAllOfItsFileOrNone) {
    ExpectOk({"add", "HKCU\\Software\\Other", "/v", "x", "/d", "1"});
    const int values = 20000;
    {
        std::ofstream file(dir_ / "big.reg");
        file << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Big]\n";
        for (int i = 0; i < values; ++i) file << "\"v" << i << "\"=\"" << i << "\"\n";
    }
    for (const int delayMs : {30, 120}) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            execl(Program().c_str(), "kestrow-reg", "import", (dir_ / "big.reg").c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::size_t count = ValueCount("Software\\Big");
        EXPECT_TRUE(count == 0 || count == static_cast<std::size_t>(values)) << count;
        EXPECT_GE(ValueCount("Software\\Other"), 1u);
        // Whichever it was, the store works on.
        if (count > 0) ExpectOk({"delete", "HKCU\\Software\\Big", "/f"});
        ExpectOk({"add", "HKCU\\Software\\Other", "/v", "y", "/d", "2", "/f"});
    }
}

TEST_F(RegToolTest, ExportNeverWritesThroughALinkPlantedAtItsTemporaryName) {
    ExpectOk({"add", "HKCU\\Software\\E", "/v", "x", "/d", "1"});
    std::ofstream(dir_ / "victim") << "precious";
    const fs::path target = dir_ / "out.reg";
    fs::create_symlink(dir_ / "victim", target.string() + ".kestrow-reg-tmp");
    ExpectOk({"export", "HKCU\\Software\\E", target.string()});
    EXPECT_EQ(ReadText(dir_ / "victim"), "precious");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    EXPECT_EQ(ReadText(target).substr(0, 2), "\xFF\xFE");
    // Nothing of ours is left beside the file: only the planted link.
    std::size_t beside = 0;
    for (const auto& entry : fs::directory_iterator(dir_))
        beside += entry.path().filename().string().rfind("out.reg.", 0) == 0;
    EXPECT_EQ(beside, 1u);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::others_write, fs::perms::none);
}

TEST_F(RegToolTest, ValueNamesWithLineBreaksComeBackFromAnExport) {
    for (const std::string name : {"two\nlines", "cr\rlf\r\n", "\"quoted\n\\ end\""})
        ExpectOk({"add", "HKCU\\Software\\Breaks", "/v", name, "/d", name});
    const std::string file = (dir_ / "breaks.reg").string();
    ExpectOk({"export", "HKCU\\Software\\Breaks", file});
    UseConfig(dir_ / "fresh");
    ExpectOk({"import", file});
    auto registry = platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
    std::vector<KeyContents> keys;
    ASSERT_EQ(ReadKeys(*registry, "Software\\Breaks", false, &keys), 0);
    ASSERT_EQ(keys.front().values.size(), 3u);
    EXPECT_EQ(keys.front().values[0].name, "two\nlines");
    EXPECT_EQ(keys.front().values[1].name, "cr\rlf\r\n");
    EXPECT_EQ(keys.front().values[2].name, "\"quoted\n\\ end\"");
    EXPECT_EQ(keys.front().values[2].data,
              Bytes(keys.front().values[2].name.begin(), keys.front().values[2].name.end() + 1));
}

TEST_F(RegToolTest, NamesAreOneNameWhateverTheirCaseBeyondAscii) {
    ExpectOk({"add", "HKCU\\Software\\\xC3\x9Cn\xC3\xAF", "/v", "\xC3\x89t\xC3\xA9", "/d", "1"});
    ExpectOk(
        {"add", "HKCU\\Software\\\xC3\xBCN\xC3\x8F", "/v", "\xC3\xA9T\xC3\x89", "/d", "2", "/f"});
    Result r = Run({"query", "HKCU\\Software", "/s"});
    EXPECT_EQ(r.out,
              "\nHKEY_CURRENT_USER\\Software\\\xC3\x9Cn\xC3\xAF\n"
              "    \xC3\x89t\xC3\xA9    REG_SZ    2\n\n");
    r = Run({"query", "HKCU\\SOFTWARE", "/v", "\xC3\xA9t\xC3\xA9", "/s"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("End of search: 1 match(es) found."), std::string::npos);
}

TEST_F(RegToolTest, ARegedit4FileIsReadInTheWindowsAnsiCodePage) {
    std::ofstream(dir_ / "old.reg", std::ios::binary)
        << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Caf\xE9]\r\n"
           "\"Caf\xE9\"=\"caf\xE9 \x80\"\r\n\"Multi\"=hex(7):63,61,66,e9,00,00\r\n";
    ExpectOk({"import", (dir_ / "old.reg").string()});
    const Result r = Run({"query", "HKCU\\Software\\caf\xC3\xA9"});
    EXPECT_EQ(r.out,
              "\nHKEY_CURRENT_USER\\Software\\caf\xC3\xA9\n"
              "    Caf\xC3\xA9    REG_SZ    caf\xC3\xA9 \xE2\x82\xAC\n"
              "    Multi    REG_MULTI_SZ    caf\xC3\xA9\n\n");
}

TEST_F(RegToolTest, CompareShowsWhatItIsAskedToAndCopyKeepsOutOfItself) {
    ExpectOk({"add", "HKCU\\Software\\A", "/v", "same", "/d", "1"});
    ExpectOk({"add", "HKCU\\Software\\A", "/v", "mine", "/d", "a"});
    ExpectOk({"add", "HKCU\\Software\\A\\Sub", "/v", "deep", "/d", "1"});
    ExpectOk({"add", "HKCU\\Software\\B", "/v", "SAME", "/d", "1"});
    ExpectOk({"add", "HKCU\\Software\\B", "/v", "theirs", "/d", "b"});
    const std::string a = "HKEY_CURRENT_USER\\Software\\A", b = "HKEY_CURRENT_USER\\Software\\B";
    Result r = Run({"compare", "HKCU\\Software\\A", "HKCU\\Software\\B"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "< " + a + "\n    mine    REG_SZ    a\n> " + b +
                         "\n    theirs    REG_SZ    b\n< " + a +
                         "\\Sub\n\nResult Compared: Different\n" + kOk);
    r = Run({"compare", "HKCU\\Software\\A", "HKCU\\Software\\B", "/os"});
    EXPECT_EQ(r.out, "= " + a + "\n    same    REG_SZ    1\n\nResult Compared: Different\n" + kOk);
    // With /s a key on one side only is one difference, not one for each key below it.
    ExpectOk({"add", "HKCU\\Software\\A\\Sub\\Deeper", "/v", "x", "/d", "1"});
    r = Run({"compare", "HKCU\\Software\\A", "HKCU\\Software\\B", "/s"});
    EXPECT_EQ(r.out, "< " + a + "\n    mine    REG_SZ    a\n> " + b +
                         "\n    theirs    REG_SZ    b\n< " + a +
                         "\\Sub\n\nResult Compared: Different\n" + kOk);
    r = Run({"compare", "HKCU\\Software\\A", "HKCU\\Software\\B", "/on", "/s"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "\nResult Compared: Different\n" + kOk);
    EXPECT_EQ(Run({"compare", "HKCU\\Software\\A", "HKCU\\Software\\Missing"}).exitCode, 1);

    r = Run({"copy", "HKCU\\Software\\A", "HKCU\\Software\\A\\Sub", "/s"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("ERROR: ", 0), 0u);
    // Asked before overwriting: No keeps that value, the rest is copied.
    r = Run({"copy", "HKCU\\Software\\A", "HKCU\\Software\\B"}, "n\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Value same exists, overwrite(Yes/No)? " + kOk);
    r = Run({"compare", "HKCU\\Software\\A", "HKCU\\Software\\B", "/v", "mine"});
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(RegToolTest, HelpIsLaidOutAsTheRegCommandsAndOptionsAreChecked) {
    Result r = Run({"/?"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("\nKESTROW-REG Operation [Parameter List]\n", 0), 0u);
    for (const std::string op : {"QUERY", "ADD", "DELETE", "COPY", "COMPARE", "EXPORT", "IMPORT"}) {
        r = Run({op, "/?"});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out.rfind("\nKESTROW-REG " + op + " ", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("Examples:"), std::string::npos);
    }
    ExpectOk({"add", "HKCU\\Software\\V", "/v", "x", "/t", "REG_DWORD_LITTLE_ENDIAN", "/d", "7",
              "/reg:64"});
    EXPECT_EQ(Run({"query", "HKCU\\Software\\V", "/v", "x", "/reg:32"}).out,
              "\nHKEY_CURRENT_USER\\Software\\V\n    x    REG_DWORD    0x7\n\n");
    r = Run({"query", "HKCU", "/f", "7", "/d", "/t", "REG_SZ,REG_DWORD_LITTLE_ENDIAN"});
    EXPECT_EQ(r.out,
              "\nHKEY_CURRENT_USER\\Software\\V\n    x    REG_DWORD    0x7\n\n"
              "End of search: 1 match(es) found.\n");
    r = Run({"query", "HKCU", "/t", "REG_WORD"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ERROR: Invalid type \"REG_WORD\" after /t.\n");
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"query", "HKCU", "/reg:32", "/reg:64"},
             {"query", "HKCU", "/k", "/d", "/f", "x"},
             {"query", "HKCU", "/c"},
             {"query", "HKCU", "/v", "x", "/f", "y"},
             {"compare", "HKCU\\A", "HKCU\\B", "/oa", "/os"},
             {"copy", "HKCU\\A"},
             {"compare", "HKCU\\A", "HKCU\\B", "/v", "x", "/s"},
             {},
         }) {
        r = Run(bad);
        EXPECT_EQ(r.exitCode, 1) << bad.size();
        EXPECT_EQ(r.err.rfind("ERROR: Invalid syntax", 0), 0u) << r.err;
    }
}

}  // namespace
}  // namespace reg_tool

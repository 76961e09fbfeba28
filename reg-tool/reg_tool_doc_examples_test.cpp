// The examples of the published documentation of the Windows reg command, run
// against HKEY_CURRENT_USER (the one hive here) in the order they build on one
// another, with their output and exit codes. Remote machines are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reg-tool/reg_tool_test_support.h"

namespace reg_tool {
namespace {

struct Example {
    std::vector<std::string> args;  // "{dir}" stands for the test's folder
    std::string input;              // answers to questions
    int exitCode;
    std::string out;
    std::string errStart;  // the beginning of standard error
};

const std::string kOk = "The operation completed successfully.\n";
const std::string kMyCo = "HKEY_CURRENT_USER\\Software\\MyCo";
const std::string kSetup = "HKEY_CURRENT_USER\\Software\\Microsoft\\ResKit\\Nt\\Setup";

const std::vector<Example> kExamples = {
    // reg add; the key's default value becomes the empty string
    {{"add", "HKCU\\Software\\MyCo"}, "", 0, kOk, ""},
    {{"add", "HKCU\\Software\\MyCo", "/v", "Data", "/t", "REG_BINARY", "/d", "fe340ead"},
     "",
     0,
     kOk,
     ""},
    {{"add", "HKCU\\Software\\MyCo", "/v", "MRU", "/t", "REG_MULTI_SZ", "/d", "fax\\0mail\\0"},
     "",
     0,
     kOk,
     ""},
    // The shell has taken the carets of ^%systemroot^% away before the command sees it.
    {{"add", "HKCU\\Software\\MyCo", "/v", "Path", "/t", "REG_EXPAND_SZ", "/d", "%systemroot%"},
     "",
     0,
     kOk,
     ""},
    {{"add", "\\\\ABC\\HKCU\\Software\\MyCo"}, "", 1, "", "ERROR: "},
    {{"query", "HKCU\\Software\\MyCo"},
     "",
     0,
     "\n" + kMyCo +
         "\n"
         "    (Default)    REG_SZ    \n"
         "    Data    REG_BINARY    FE340EAD\n"
         "    MRU    REG_MULTI_SZ    fax\\0mail\n"
         "    Path    REG_EXPAND_SZ    %systemroot%\n\n",
     ""},
    // /d without /v is the default value's data.
    {{"add", "HKCU\\Software\\MyCo", "/d", "first", "/f"}, "", 0, kOk, ""},
    {{"query", "HKCU\\Software\\MyCo", "/ve"},
     "",
     0,
     "\n" + kMyCo + "\n    (Default)    REG_SZ    first\n\n",
     ""},

    // reg query
    {{"add", "HKCU\\Software\\Microsoft\\ResKit", "/v", "Version", "/d", "5.2.3790"},
     "",
     0,
     kOk,
     ""},
    {{"query", "HKCU\\Software\\Microsoft\\ResKit", "/v", "Version"},
     "",
     0,
     "\nHKEY_CURRENT_USER\\Software\\Microsoft\\ResKit\n    Version    REG_SZ    5.2.3790\n\n",
     ""},
    {{"add", "HKCU\\Software\\Microsoft\\ResKit\\Nt\\Setup", "/v", "Dirs", "/t", "REG_MULTI_SZ",
      "/d", "bin\\0lib"},
     "",
     0,
     kOk,
     ""},
    {{"add", "HKCU\\Software\\Microsoft\\ResKit\\Nt\\Setup\\Tools", "/v", "Count", "/t",
      "REG_DWORD", "/d", "15"},
     "",
     0,
     kOk,
     ""},
    {{"query", "\\\\ABC\\HKCU\\Software\\Microsoft\\ResKit\\Nt\\Setup", "/s"},
     "",
     1,
     "",
     "ERROR: "},
    {{"query", "HKCU\\Software\\Microsoft\\ResKit\\Nt\\Setup", "/s"},
     "",
     0,
     "\n" + kSetup + "\n    Dirs    REG_MULTI_SZ    bin\\0lib\n\n" + kSetup +
         "\\Tools\n    Count    REG_DWORD    0xf\n\n",
     ""},
    {{"query", "HKCU\\Software\\Microsoft\\ResKit\\Nt\\Setup", "/se", "#"},
     "",
     0,
     "\n" + kSetup + "\n    Dirs    REG_MULTI_SZ    bin#lib\n\n" + kSetup + "\\Tools\n",
     ""},
    {{"add", "HKCU\\Software\\MyCo\\Names", "/v", "Exact", "/d", "SYSTEM"}, "", 0, kOk, ""},
    {{"add", "HKCU\\Software\\MyCo\\Names", "/v", "Lower", "/d", "system"}, "", 0, kOk, ""},
    {{"add", "HKCU\\Software\\MyCo\\Names", "/v", "Longer", "/d", "SYSTEMS"}, "", 0, kOk, ""},
    {{"query", "HKCU", "/f", "SYSTEM", "/t", "REG_SZ", "/c", "/e"},
     "",
     0,
     "\n" + kMyCo + "\\Names\n    Exact    REG_SZ    SYSTEM\n\nEnd of search: 1 match(es) found.\n",
     ""},
    {{"add", "HKCU\\Software\\MyCo\\Bits", "/v", "Mask", "/t", "REG_BINARY", "/d", "010f"},
     "",
     0,
     kOk,
     ""},
    {{"query", "HKCU", "/f", "0F", "/d", "/t", "REG_BINARY"},
     "",
     0,
     "\n" + kMyCo + "\\Bits\n    Mask    REG_BINARY    010F\n\nEnd of search: 1 match(es) found.\n",
     ""},
    {{"query", "HKCU\\SOFTWARE", "/ve"},
     "",
     0,
     "\nHKEY_CURRENT_USER\\SOFTWARE\n    (Default)    REG_SZ    (value not set)\n\n",
     ""},

    // reg copy
    {{"add", "HKCU\\Software\\MyCo\\MyApp\\Timeout", "/v", "Seconds", "/t", "REG_DWORD", "/d",
      "30"},
     "",
     0,
     kOk,
     ""},
    {{"add", "HKCU\\Software\\MyCo\\MyApp", "/v", "Version", "/d", "1.0"}, "", 0, kOk, ""},
    {{"copy", "HKCU\\Software\\MyCo\\MyApp", "HKCU\\Software\\MyCo\\SaveMyApp", "/s"},
     "",
     0,
     kOk,
     ""},
    {{"copy", "\\\\ZODIAC\\HKCU\\Software\\MyCo", "HKCU\\Software\\MyCo1"}, "", 1, "", "ERROR: "},
    {{"copy", "HKCU\\Software\\MyCo", "HKCU\\Software\\MyCo1"}, "", 0, kOk, ""},

    // reg compare
    {{"compare", "HKCU\\Software\\MyCo\\MyApp", "HKCU\\Software\\MyCo\\SaveMyApp"},
     "",
     0,
     "\nResult Compared: Identical\n" + kOk,
     ""},
    {{"add", "HKCU\\Software\\MyCo", "/v", "Version", "/d", "2.0"}, "", 0, kOk, ""},
    {{"add", "HKCU\\Software\\MyCo1", "/v", "Version", "/d", "1.0"}, "", 0, kOk, ""},
    {{"compare", "HKCU\\Software\\MyCo", "HKCU\\Software\\MyCo1", "/v", "Version"},
     "",
     2,
     "< " + kMyCo + "\n    Version    REG_SZ    2.0\n> " + kMyCo +
         "1\n    Version    REG_SZ    1.0\n\nResult Compared: Different\n" + kOk,
     ""},
    {{"compare", "\\\\ZODIAC\\HKCU\\Software\\MyCo", "\\\\.", "/s"}, "", 1, "", "ERROR: "},

    // reg export and reg import
    {{"export", "HKCU\\Software\\MyCo\\MyApp", "{dir}/AppBkUp.reg"}, "", 0, kOk, ""},
    {{"delete", "HKCU\\Software\\MyCo\\MyApp", "/f"}, "", 0, kOk, ""},
    {{"import", "{dir}/AppBkUp.reg"}, "", 0, kOk, ""},
    {{"compare", "HKCU\\Software\\MyCo\\MyApp", "HKCU\\Software\\MyCo\\SaveMyApp", "/s"},
     "",
     0,
     "\nResult Compared: Identical\n" + kOk,
     ""},

    // reg delete
    {{"delete", "HKCU\\Software\\MyCo\\MyApp\\Timeout"},
     "yes\n",
     0,
     "Permanently delete the registry key " + kMyCo + "\\MyApp\\Timeout (Yes/No)? " + kOk,
     ""},
    {{"add", "HKCU\\Software\\MyCo", "/v", "MTU", "/t", "REG_DWORD", "/d", "1500"}, "", 0, kOk, ""},
    {{"delete", "\\\\ZODIAC\\HKCU\\Software\\MyCo", "/v", "MTU"}, "", 1, "", "ERROR: "},
    {{"delete", "HKCU\\Software\\MyCo", "/v", "MTU"},
     "y\n",
     0,
     "Delete the registry value MTU (Yes/No)? " + kOk,
     ""},
    {{"query", "HKCU\\Software\\MyCo", "/v", "MTU"}, "", 1, "", "ERROR: The system was unable"},
};

TEST_F(RegToolTest, TheDocumentedExamplesGiveTheDocumentedResults) {
    for (const auto& example : kExamples) {
        std::vector<std::string> args;
        std::string shown;
        for (auto arg : example.args) {
            if (const auto at = arg.find("{dir}"); at != std::string::npos)
                arg.replace(at, 5, dir_.string());
            shown += arg + " ";
            args.push_back(arg);
        }
        SCOPED_TRACE(shown);
        const Result r = Run(args, example.input);
        EXPECT_EQ(r.exitCode, example.exitCode) << r.err;
        EXPECT_EQ(r.out, example.out);
        if (example.errStart.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.err.rfind(example.errStart, 0), 0u) << r.err;
        }
    }
}

}  // namespace
}  // namespace reg_tool

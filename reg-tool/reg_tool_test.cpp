// kestrow-reg as the user runs it: the built program, a store in a
// temporary XDG_CONFIG_HOME, output and exit codes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "reg-tool/reg_tool_test_support.h"
#include "reg-tool/registry_tree.h"

namespace reg_tool {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "HKCU\\Software\\Tamsholt\\Kestrow 2005";
const std::string kFull = "HKEY_CURRENT_USER\\Software\\Tamsholt\\Kestrow 2005";

TEST_F(RegToolTest, AddThenQueryShowsValuesAsTheWindowsCommandDoes) {
    ExpectOk({"add", kKey, "/v", "AllFolders", "/t", "REG_DWORD", "/d", "10"});
    ExpectOk({"ADD", "hkey_current_user\\software\\tamsholt\\KESTROW 2005", "-V", "Name", "-D",
              "x \"y\" \xC3\xA9"});
    ExpectOk({"add", kKey, "/ve", "/d", "default"});
    ExpectOk({"add", kKey, "/v", "Multi", "/t", "REG_MULTI_SZ", "/d", "a|b", "/s", "|"});
    ExpectOk({"add", kKey, "/v", "Bin", "/t", "reg_binary", "/d", "00ff1A"});
    ExpectOk({"add", kKey + "\\Sub", "/v", "Max", "/t", "REG_DWORD", "/d", "0xFFFFFFFF"});

    Result r = Run({"query", kKey});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n" + kFull +
                         "\n"
                         "    AllFolders    REG_DWORD    0xa\n"
                         "    Name    REG_SZ    x \"y\" \xC3\xA9\n"
                         "    (Default)    REG_SZ    default\n"
                         "    Multi    REG_MULTI_SZ    a\\0b\n"
                         "    Bin    REG_BINARY    00FF1A\n"
                         "\n" +
                         kFull + "\\Sub\n");

    // Values come in the order they were made; one asked for by name shows as it was asked for.
    r = Run({"query", kKey, "/v", "allfolders"});
    EXPECT_EQ(r.out, "\n" + kFull + "\n    allfolders    REG_DWORD    0xa\n\n");
    r = Run({"query", "HKCU\\Software", "/v", "Max", "/s"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n" + kFull +
                         "\\Sub\n    Max    REG_DWORD    0xffffffff\n\n"
                         "End of search: 1 match(es) found.\n");
    r = Run({"query", kKey + "\\Sub", "/ve"});
    EXPECT_EQ(r.out, "\n" + kFull + "\\Sub\n    (Default)    REG_SZ    (value not set)\n\n");

    r = Run({"query", kKey, "/v", "Missing"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ERROR: The system was unable to find the specified registry key or value.\n");
    r = Run({"query", "HKCU\\Nowhere"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
}

TEST_F(RegToolTest, AStoreAnotherProgramHoldsIsCalledBusyAndLeftUnchanged) {
    ExpectOk({"add", kKey, "/v", "Maximized", "/t", "REG_DWORD", "/d", "1", "/f"});
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(Store().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    const Result r = Run({"add", kKey, "/v", "Maximized", "/t", "REG_DWORD", "/d", "0", "/f"});
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("busy"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("code"), std::string::npos) << r.err;
    EXPECT_NE(Run({"query", kKey, "/v", "Maximized"}).out.find("0x1"), std::string::npos);
}

TEST_F(RegToolTest, AskBeforeOverwritingOrDeletingUnlessForced) {
    ExpectOk({"add", kKey, "/v", "SideMenu", "/t", "REG_DWORD", "/d", "1"});
    Result r = Run({"add", kKey, "/v", "SideMenu", "/t", "REG_DWORD", "/d", "0"}, "no\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "Value SideMenu exists, overwrite(Yes/No)? "
              "The operation was cancelled by the user.\n");
    // End of input is no answer, and no answer is No.
    r = Run({"add", kKey, "/v", "SideMenu", "/t", "REG_DWORD", "/d", "0"});
    EXPECT_NE(r.out.find("cancelled"), std::string::npos);
    EXPECT_EQ(Run({"query", kKey, "/v", "SideMenu"}).out.find("0x1\n") != std::string::npos, true);

    r = Run({"add", kKey, "/v", "SideMenu", "/t", "REG_DWORD", "/d", "0"}, "maybe\nYes\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(Run({"query", kKey, "/v", "SideMenu"}).out.find("0x0\n"), std::string::npos);

    r = Run({"delete", "HKCU\\Software"}, "n\n");
    EXPECT_EQ(r.out,
              "Permanently delete the registry key HKEY_CURRENT_USER\\Software (Yes/No)? "
              "The operation was cancelled by the user.\n");
    EXPECT_EQ(Run({"query", kKey}).exitCode, 0);

    r = Run({"delete", kKey, "/v", "SideMenu"}, "n\n");
    EXPECT_EQ(r.out,
              "Delete the registry value SideMenu (Yes/No)? "
              "The operation was cancelled by the user.\n");
    r = Run({"delete", kKey, "/va"}, "n\n");
    EXPECT_EQ(r.out, "Delete all values under the registry key " + kFull +
                         " (Yes/No)? The operation was cancelled by the user.\n");
    const std::string file = (dir_ / "out.reg").string();
    ExpectOk({"export", kKey, file});
    r = Run({"export", kKey, file}, "n\n");
    EXPECT_EQ(r.out, "File " + file +
                         " already exists. Overwrite (Yes/No)? "
                         "The operation was cancelled by the user.\n");
    EXPECT_NE(Run({"query", kKey, "/v", "SideMenu"}).out.find("0x0\n"), std::string::npos);

    ExpectOk({"delete", kKey, "/v", "SideMenu", "/f"});
    EXPECT_EQ(Run({"delete", kKey, "/v", "SideMenu", "/f"}).exitCode, 1);
    ExpectOk({"add", kKey + "\\Deep\\Er", "/v", "x", "/d", "1"});
    r = Run({"delete", "HKCU\\Software"}, "y\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(Run({"query", "HKCU\\Software"}).exitCode, 1);
    EXPECT_EQ(Run({"delete", "HKCU\\Software", "/f"}).exitCode, 1);
    EXPECT_EQ(Run({"delete", "HKCU", "/f"}).exitCode, 1);
}

TEST_F(RegToolTest, BadInputFailsClearlyAndLeavesTheStoreByteIdentical) {
    // No store yet: refused commands must not even create one.
    EXPECT_EQ(Run({"add", "HKLM\\Software\\X"}).exitCode, 1);
    EXPECT_FALSE(fs::exists(Store()));

    ExpectOk({"add", kKey, "/v", "TwoPane", "/t", "REG_DWORD", "/d", "1"});
    const std::string before = ReadText(Store());
    ASSERT_FALSE(before.empty());
    std::ofstream(dir_ / "bad.reg") << "Windows Registry Editor Version 5.00\n\n"
                                       "[HKEY_CURRENT_USER\\Software\\New]\n\"a\"=\"1\"\n"
                                       "\"b\"=dword:nope\n";
    const std::vector<std::vector<std::string>> bad = {
        {"add", "HKLM\\Software\\X"},
        {"add", "HKXX\\Software"},
        {"add", "HKCU\\a\\\\b"},
        {"add", kKey, "/v", "TwoPane", "/t", "REG_DWORD", "/d", "ten", "/f"},
        {"add", kKey, "/v", "TwoPane", "/t", "REG_DWORD", "/d", "-1", "/f"},
        {"add", kKey, "/v", "TwoPane", "/t", "REG_DWORD", "/d", "4294967296", "/f"},
        {"add", kKey, "/v", "X", "/t", "REG_WORD", "/d", "1"},
        {"add", kKey, "/v", "X", "/t", "REG_BINARY", "/d", "abg"},
        {"add", kKey, "/v", "X", "/s", ","},
        {"add", kKey, "/v"},
        {"add", kKey, "/x"},
        {"frobnicate", kKey},
        {"query"},
        {"import", (dir_ / "missing.reg").string()},
        {"import", (dir_ / "bad.reg").string()},
    };
    for (const auto& args : bad) {
        const Result r = Run(args);
        SCOPED_TRACE(args[0] + " " + (args.size() > 1 ? args[1] : ""));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err.rfind("ERROR: ", 0), 0u) << r.err;
        EXPECT_EQ(ReadText(Store()), before);
    }
    EXPECT_NE(Run({"import", (dir_ / "bad.reg").string()}).err.find("line 5"), std::string::npos);
    EXPECT_EQ(Run({"query", "HKCU\\Software\\New"}).exitCode, 1);
}

TEST_F(RegToolTest, DamagedStoreIsReportedAndLeftAlone) {
    fs::create_directories(Store().parent_path());
    std::ofstream(Store()) << "this is not a registry";
    const Result r = Run({"add", kKey, "/v", "x", "/d", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("damaged"), std::string::npos);
    EXPECT_EQ(ReadText(Store()), "this is not a registry");
}

// Values of every type, below a key whose names go beyond ASCII, and an empty key.
void StoreValuesOfEveryKind() {
    auto registry = platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
    platform::RegKey key = 0;
    ASSERT_EQ(registry->RegCreateKeyEx(platform::kHkeyCurrentUser,
                                       "Software\\K\xC3\xA9y\\\xE6\x97\xA5\xE6\x9C\xAC",
                                       platform::kKeyAllUsual, &key),
              0);
    auto set = [&](const std::string& name, std::uint32_t type, const std::string& data) {
        ASSERT_EQ(registry->RegSetValueEx(key, name, 0, type,
                                          reinterpret_cast<const std::uint8_t*>(data.data()),
                                          static_cast<std::uint32_t>(data.size())),
                  0);
    };
    set("", platform::kRegSz,
        "d\xC3\xA9"
        "fault");
    set("Na\"me\\", platform::kRegSz, std::string("two\0nuls\0", 9));
    set("Raw", platform::kRegSz,
        "\xFF\xFE"
        "not text");
    set("Exp", platform::kRegExpandSz, "%HOME%");
    set("Multi", platform::kRegMultiSz, std::string("\xC3\xA9\0b\0\0", 6));
    set("Bin", platform::kRegBinary, std::string(200, '\x7F'));
    set("Dw", platform::kRegDword, std::string("\x01\x02\x03\x04", 4));
    set("Big", platform::kRegDwordBigEndian, std::string("\0\0\0\x05", 4));
    set("Link", platform::kRegLink, std::string("\\\0R\0", 4));
    set("Odd", 0xABCDEF, "");
    ASSERT_EQ(registry->RegCreateKeyEx(platform::kHkeyCurrentUser, "Software\\Empty",
                                       platform::kKeyAllUsual, &key),
              0);
}

std::vector<KeyContents> SoftwareKeys() {
    auto registry = platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
    std::vector<KeyContents> keys;
    EXPECT_EQ(ReadKeys(*registry, "Software", true, &keys), 0);
    return keys;
}

TEST_F(RegToolTest, ExportThenImportIntoAnEmptyStoreReproducesEveryValue) {
    StoreValuesOfEveryKind();
    const std::string file = (dir_ / "out.reg").string();
    ExpectOk({"export", "HKCU\\Software", file});
    EXPECT_EQ(ReadText(file).substr(0, 2), "\xFF\xFE");
    const std::vector<KeyContents> original = SoftwareKeys();

    UseConfig(dir_ / "fresh");
    ExpectOk({"import", file});
    const std::vector<KeyContents> imported = SoftwareKeys();

    ASSERT_EQ(imported.size(), original.size());
    for (std::size_t k = 0; k < original.size(); ++k) {
        EXPECT_EQ(imported[k].path, original[k].path);
        EXPECT_EQ(imported[k].subKeys, original[k].subKeys);
        ASSERT_EQ(imported[k].values.size(), original[k].values.size());
        for (std::size_t v = 0; v < original[k].values.size(); ++v) {
            SCOPED_TRACE(original[k].values[v].name);
            EXPECT_EQ(imported[k].values[v].name, original[k].values[v].name);
            EXPECT_EQ(imported[k].values[v].type, original[k].values[v].type);
            EXPECT_EQ(imported[k].values[v].data, original[k].values[v].data);
        }
    }
    EXPECT_EQ(original.size(), 4u);
}

}  // namespace
}  // namespace reg_tool

// kestrow-reg where Windows' own reg command has settled the details: the
// listing layout of query, the bytes add stores for each type, and which
// command lines are invalid syntax. Grouped by operation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "platform/text/text.h"
#include "reg-tool/reg_tool_test_support.h"
#include "reg-tool/registry_tree.h"

namespace reg_tool {
namespace {

const std::string kKey = "HKCU\\Software\\Conf";
const std::string kFull = "HKEY_CURRENT_USER\\Software\\Conf";

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

class RegConformanceTest : public RegToolTest {
  protected:
    // The values of the key at path, as the store holds them.
    std::vector<Value> Stored(const std::string& path) {
        auto registry = platform::posix::OpenSqliteRegistry(platform::posix::DefaultRegistryPath());
        std::vector<KeyContents> keys;
        EXPECT_EQ(ReadKeys(*registry, path, false, &keys), 0) << path;
        return keys.empty() ? std::vector<Value>{} : keys.front().values;
    }

    Value StoredValue(const std::string& name) {
        for (const auto& value : Stored("Software\\Conf")) {
            if (value.name == name) return value;
        }
        ADD_FAILURE() << "no value " << name;
        return {};
    }
};

TEST_F(RegConformanceTest, QueryNamesAKeyOnlyWhereValuesFollowIt) {
    ExpectOk({"add", kKey + "\\Empty", "/v", "x", "/d", "1"});
    ExpectOk({"delete", kKey + "\\Empty", "/va", "/f"});
    EXPECT_EQ(Run({"query", kKey + "\\Empty"}).out, "\n");

    ExpectOk({"add", kKey + "\\Sub1", "/v", "x", "/d", "1"});
    ExpectOk({"delete", kKey + "\\Sub1", "/va", "/f"});
    ExpectOk({"add", kKey + "\\Sub1\\Deep", "/v", "x", "/d", "1"});
    ExpectOk({"delete", kKey + "\\Sub1\\Deep", "/va", "/f"});
    // Conf itself holds no values: its sub-keys are listed without it.
    EXPECT_EQ(Run({"query", kKey}).out, "\n" + kFull + "\\Empty\n" + kFull + "\\Sub1\n");
    EXPECT_EQ(Run({"query", kKey, "/s"}).out,
              "\n" + kFull + "\\Empty\n\n" + kFull + "\\Sub1\n\n" + kFull + "\\Sub1\\Deep\n\n");

    ExpectOk({"add", kKey, "/v", "v", "/d", "1"});
    EXPECT_EQ(Run({"query", kKey}).out, "\n" + kFull + "\n    v    REG_SZ    1\n\n" + kFull +
                                            "\\Empty\n" + kFull + "\\Sub1\n");
    EXPECT_EQ(Run({"query", kKey, "/s"}).out, "\n" + kFull + "\n    v    REG_SZ    1\n\n" + kFull +
                                                  "\\Empty\n\n" + kFull + "\\Sub1\n\n" + kFull +
                                                  "\\Sub1\\Deep\n\n");
}

TEST_F(RegConformanceTest, QueryFindWithABareVSearchesValueNamesOnly) {
    ExpectOk({"add", kKey + "\\apple", "/v", "Fruit", "/d", "apple"});
    ExpectOk({"add", kKey, "/v", "apple pie", "/d", "cake"});
    const std::string found = "\n" + kFull + "\n    apple pie    REG_SZ    cake\n\n" +
                              "End of search: 1 match(es) found.\n";
    EXPECT_EQ(Run({"query", kKey, "/f", "apple", "/v"}).out, found);
    EXPECT_EQ(Run({"query", kKey, "/v", "/f", "apple"}).out, found);
    // Without /v the key apple and the data apple are finds too.
    EXPECT_NE(Run({"query", kKey, "/f", "apple"}).out.find("3 match(es)"), std::string::npos);
    EXPECT_EQ(Run({"query", kKey, "/v"}).exitCode, 1);
    EXPECT_EQ(Run({"query", kKey, "/f", "apple", "/v", "/k"}).exitCode, 1);
}

TEST_F(RegConformanceTest, AddWithoutAValueSetsTheDefaultToTheEmptyString) {
    ExpectOk({"add", kKey, "/v", "Kept", "/t", "REG_DWORD", "/d", "7"});
    ExpectOk({"add", kKey, "/f"});
    ASSERT_EQ(Stored("Software\\Conf").size(), 2u);
    EXPECT_EQ(StoredValue("Kept").data, (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(StoredValue("").type, platform::kRegSz);
    EXPECT_EQ(StoredValue("").data, (Bytes{0}));

    // An existing default value is asked about as any other.
    ExpectOk({"add", kKey, "/d", "set", "/f"});
    EXPECT_NE(Run({"add", kKey}, "n\n").out.find("Value (Default) exists"), std::string::npos);
    EXPECT_EQ(StoredValue("").data, B(std::string("set\0", 4)));

    // The hive with a closing backslash is no key to add to.
    for (const std::string hive : {"HKCU\\", "HKEY_CURRENT_USER\\"}) {
        const Result r = Run({"add", hive, "/v", "Value1", "/d", "foo", "/f"});
        EXPECT_EQ(r.exitCode, 1) << hive;
        EXPECT_NE(r.err.find("Invalid key name"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(Stored("").empty());
}

TEST_F(RegConformanceTest, AddStoresEachTypeAsWindowsStoresIt) {
    ExpectOk({"add", kKey, "/v", "none", "/t", "REG_NONE", "/d", "deadbeef"});
    EXPECT_EQ(StoredValue("none").data, B(std::string("d\0e\0a\0d\0b\0e\0e\0f\0\0\0", 18)));
    ExpectOk({"add", kKey, "/v", "none0", "/t", "REG_NONE"});
    EXPECT_EQ(StoredValue("none0").data, (Bytes{0, 0}));
    EXPECT_EQ(Run({"query", kKey, "/v", "none0"}).out,
              "\n" + kFull + "\n    none0    REG_NONE    0000\n\n");

    ExpectOk({"add", kKey, "/v", "odd", "/t", "REG_BINARY", "/d", "DeAdBeEf0DD"});
    EXPECT_EQ(StoredValue("odd").data, (Bytes{0x0D, 0xEA, 0xDB, 0xEE, 0xF0, 0xDD}));

    ExpectOk({"add", kKey, "/v", "q", "/t", "REG_QWORD", "/d", "-1"});
    EXPECT_EQ(StoredValue("q").data, Bytes(8, 0xFF));
    ExpectOk({"add", kKey, "/v", "q0", "/t", "REG_QWORD"});
    EXPECT_EQ(StoredValue("q0").data, Bytes(8, 0));
    ExpectOk({"add", kKey, "/ve", "/t", "REG_QWORD", "/d", "5"});
    ExpectOk({"add", kKey, "/ve", "/t", "REG_QWORD", "/f"});
    EXPECT_EQ(StoredValue("").data, Bytes(8, 0));

    ExpectOk({"add", kKey, "/v", "m1", "/t", "REG_MULTI_SZ", "/d", "\\0"});
    ExpectOk({"add", kKey, "/v", "m2", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "#"});
    ExpectOk({"add", kKey, "/v", "m3", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#"});
    EXPECT_EQ(StoredValue("m1").data, (Bytes{0, 0}));
    EXPECT_EQ(StoredValue("m2").data, (Bytes{0, 0}));
    EXPECT_EQ(StoredValue("m3").data, (Bytes{'a', 0, 0}));

    ExpectOk({"add", kKey, "/v", "big", "/t", "REG_DWORD_BIG_ENDIAN", "/d", "0x456"});
    EXPECT_EQ(StoredValue("big").data, (Bytes{0x56, 0x04, 0, 0}));
    EXPECT_EQ(Run({"query", kKey, "/v", "big"}).out,
              "\n" + kFull + "\n    big    REG_DWORD_BIG_ENDIAN    0x456\n\n");

    ExpectOk({"add", kKey, "/v", "keep", "/d", "1"});
    const std::string before = ReadText(Store());
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"/t", "REG_QWORD", "/d", "-0x1"},
             {"/t", "REG_QWORD", "/d", "18446744073709551616"},
             {"/t", "REG_DWORD", "/d", "-1"},
             {"/t", "REG_DWORD"},
             {"/t", "REG_BINARY", "/d", "0xDeAdBeEf"},
             {"/t", "REG_MULTI_SZ", "/d", "#a", "/s", "#"},
             {"/t", "REG_MULTI_SZ", "/d", "two##strings", "/s", "#"},
             {"/t", "REG_MULTI_SZ", "/d", "\\0a"},
         }) {
        std::vector<std::string> args = {"add", kKey, "/v", "bad", "/f"};
        args.insert(args.end(), bad.begin(), bad.end());
        const Result r = Run(args);
        EXPECT_EQ(r.exitCode, 1) << bad[1] << " " << (bad.size() > 3 ? bad[3] : "");
        EXPECT_EQ(ReadText(Store()), before);
    }
}

TEST_F(RegConformanceTest, RepeatedMisplacedOrMalformedSwitchesAreInvalidSyntax) {
    ExpectOk({"add", kKey, "/v", "keep", "/d", "1"});
    const std::string before = ReadText(Store());
    const std::string file = (dir_ / "x.reg").string();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"add", kKey, "/v", "a", "/t", "REG_DWORD", "/d", "1", "/f", "/t", "REG_SZ"},
             {"add", kKey, "/v", "a", "/d", "1", "/f", "/d", "2"},
             {"add", kKey, "/v", "a", "/f", "/f"},
             {"add", kKey, "/ve", "/f", "/ve"},
             {"add", kKey, "/v", "a", "/d", "1", "/f", "/reg:32", "/reg:32"},
             {"add", kKey, "/v", "a", "/t", "REG_MULTI_SZ", "/d", "x", "/s", "#", "/se", "#"},
             {"add", kKey, "/v", "a", "/t", "REG_MULTI_SZ", "/d", "x", "/s", "#x", "/f"},
             {"add", kKey, "/v", "a", "/t", "REG_MULTI_SZ", "/d", "x", "/s", "\\0", "/f"},
             {"add", kKey, "/v", "a", "/t", "REG_MULTI_SZ", "/d", "x", "/s", "", "/f"},
             {"query", kKey, "/s", "/s"},
             {"query", kKey, "/se", "##"},
             {"query", kKey, "/reg:64", "/reg:64"},
             {"delete", kKey, "/va", "/va", "/f"},
             {"delete", kKey, "/v", "keep", "/f", "/f"},
             {"copy", kKey, kKey + "2", "/?", "/f"},
             {"query", kKey, "/h"},
             {"/?", "query"},
             {"export", "/y", kKey, file},
             {"export", kKey, "/y", file},
         }) {
        const Result r = Run(args);
        SCOPED_TRACE(args[0] + " ... " + args.back());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err.rfind("ERROR: Invalid syntax: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(ReadText(Store()), before);
    ExpectOk({"export", kKey, file, "/y"});
}

TEST_F(RegConformanceTest, HelpSwitchesShowTheUsageOfTheOperationOrTheOverview) {
    for (const std::string operation :
         {"query", "add", "delete", "copy", "compare", "export", "import"}) {
        const Result usage = Run({operation, "/?"});
        ASSERT_EQ(usage.exitCode, 0);
        EXPECT_NE(platform::text::AsciiLower(usage.out).find("kestrow-reg " + operation),
                  std::string::npos);
        for (const std::string help : {"/h", "-H", "-?"}) {
            const Result r = Run({operation, help});
            EXPECT_EQ(r.exitCode, 0) << operation << " " << help;
            EXPECT_EQ(r.out, usage.out) << operation << " " << help;
        }
    }
    const Result overview = Run({"/?"});
    EXPECT_EQ(overview.exitCode, 0);
    EXPECT_NE(overview.out.find("Operation  [ QUERY"), std::string::npos);
    EXPECT_EQ(Run({"/H"}).out, overview.out);
    EXPECT_EQ(Run({"-h"}).out, overview.out);
}

}  // namespace
}  // namespace reg_tool

// The registry's names beyond ASCII, its listing order, the stores made
// before either, and calls grouped into one transaction.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/registry/name_folding.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class Store : public ::testing::Test {
  protected:
    void SetUp() override {
        registry_ = OpenSqliteRegistry(DbPath());
        ASSERT_TRUE(registry_);
    }
    void TearDown() override { registry_.reset(); }

    std::string DbPath() const { return folder_.Path("registry.db"); }

    RegKey Create(const std::string& path) {
        RegKey key = 0;
        EXPECT_EQ(registry_->RegCreateKeyEx(kHkeyCurrentUser, path, kKeyAllUsual, &key), 0);
        return key;
    }

    long Set(RegKey key, const std::string& name, const std::string& text) {
        return registry_->RegSetValueEx(key, name, 0, kRegSz,
                                        reinterpret_cast<const std::uint8_t*>(text.data()),
                                        static_cast<std::uint32_t>(text.size()));
    }

    std::string Get(RegKey key, const std::string& name) {
        std::uint8_t buffer[256];
        std::uint32_t size = sizeof buffer;
        if (registry_->RegQueryValueEx(key, name, nullptr, buffer, &size) != 0) return "<none>";
        return std::string(buffer, buffer + size - 1);
    }

    std::vector<std::string> ValueNames(RegKey key) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; registry_->RegEnumValue(key, i, &name, nullptr, nullptr) == 0;
             ++i)
            names.push_back(name);
        return names;
    }

    std::vector<std::string> KeyNames(RegKey key) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; registry_->RegEnumKey(key, i, &name) == 0; ++i)
            names.push_back(name);
        return names;
    }

    testing::TestFolder folder_;
    std::unique_ptr<Registry> registry_;
};

TEST(FoldName, UpperCasesTheBasicPlaneAndKeepsEverythingElse) {
    EXPECT_EQ(FoldName("Software\\abc"), "SOFTWARE\\ABC");
    EXPECT_EQ(FoldName("\xC3\xBCn\xC3\xAF"), FoldName("\xC3\x9CN\xC3\x8F"));  // ünï, ÜNÏ
    EXPECT_EQ(FoldName("\xCF\x83"), "\xCE\xA3");                              // σ -> Σ
    EXPECT_EQ(FoldName("\xC3\x9F"), "\xC3\x9F");                  // ß has no one-letter capital
    EXPECT_EQ(FoldName("\xF0\x90\x90\xA8"), "\xF0\x90\x90\xA8");  // beyond the plane
    EXPECT_EQ(FoldName("a\xFF\xC3(b"), "A\xFF\xC3(B");            // stray bytes stay
}

TEST_F(Store, NamesBeyondAsciiAreOneNameWhateverTheirCaseAndKeepTheFirstSpelling) {
    const RegKey first = Create("Software\\\xC3\x9Cn\xC3\xAF");   // Ünï
    const RegKey second = Create("SOFTWARE\\\xC3\xBCN\xC3\x8F");  // üNÏ
    EXPECT_EQ(KeyNames(Create("Software")), std::vector<std::string>{"\xC3\x9Cn\xC3\xAF"});

    ASSERT_EQ(Set(first, "\xC3\x89t\xC3\xA9", "one"), 0);   // Été
    ASSERT_EQ(Set(second, "\xC3\xA9T\xC3\x89", "two"), 0);  // éTÉ: the same value
    EXPECT_EQ(Get(first, "\xC3\x89T\xC3\x89"), "two");
    EXPECT_EQ(ValueNames(first), std::vector<std::string>{"\xC3\x89t\xC3\xA9"});
    EXPECT_EQ(registry_->RegDeleteValue(second, "\xC3\xA9t\xC3\xA9"), 0);
    EXPECT_EQ(Get(first, "\xC3\x89t\xC3\xA9"), "<none>");
    EXPECT_EQ(registry_->RegDeleteKey(kHkeyCurrentUser, "software\\\xC3\xBCn\xC3\xAF"), 0);
    EXPECT_TRUE(KeyNames(Create("Software")).empty());
}

TEST_F(Store, ValuesAreListedInTheOrderTheyWereMadeAndKeepTheirPlace) {
    const RegKey key = Create("Software\\Order");
    for (const char* name : {"zeta", "Alpha", "", "mid"}) ASSERT_EQ(Set(key, name, "x"), 0);
    ASSERT_EQ(Set(key, "ALPHA", "changed"), 0);
    ASSERT_EQ(registry_->RegDeleteValue(key, "zeta"), 0);
    ASSERT_EQ(Set(key, "Zeta", "back"), 0);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Alpha", "", "mid", "Zeta"}));
    // Sub-keys by their upper-cased names: "B" before "_", unlike a lower-cased order.
    for (const char* name : {"a_", "ab", "Aa"}) Create(std::string("Software\\Order\\") + name);
    EXPECT_EQ(KeyNames(key), (std::vector<std::string>{"Aa", "ab", "a_"}));

    // An enumeration may start anywhere and jump about.
    std::string name;
    ASSERT_EQ(registry_->RegEnumValue(key, 2, &name, nullptr, nullptr), 0);
    EXPECT_EQ(name, "mid");
    ASSERT_EQ(registry_->RegEnumValue(key, 0, &name, nullptr, nullptr), 0);
    EXPECT_EQ(name, "Alpha");
    ASSERT_EQ(registry_->RegEnumValue(key, 1, &name, nullptr, nullptr), 0);
    EXPECT_EQ(name, "");
    EXPECT_EQ(registry_->RegEnumValue(key, 4, &name, nullptr, nullptr), kErrorNoMoreItems);
}

// A store as the programs made it before names were folded and values
// ordered: the names in it keep working, in both spellings it may hold.
TEST_F(Store, StoresMadeBeforeFoldedNamesKeepEveryNameWorking) {
    registry_.reset();
    fs::remove(DbPath());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DbPath().c_str(), &db), SQLITE_OK);
    const char* old = R"sql(
PRAGMA journal_mode=WAL;
CREATE TABLE store_info(name TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER REFERENCES keys(id),
    name TEXT NOT NULL COLLATE NOCASE, UNIQUE(parent, name));
CREATE TABLE vals(key_id INTEGER NOT NULL REFERENCES keys(id), name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key_id, name)) WITHOUT ROWID;
INSERT INTO store_info VALUES('format', 'kestrow-registry 1');
INSERT INTO keys(id, parent, name) VALUES(1, NULL, 'HKEY_CURRENT_USER'), (2, 1, 'Software'),
    (3, 2, 'Ünï'), (4, 2, 'ünï');
INSERT INTO vals VALUES(2, 'b', 1, x'6200'), (2, 'A', 1, x'6100'), (3, 'v', 1, x'756e6900');
)sql";
    ASSERT_EQ(sqlite3_exec(db, old, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    registry_ = OpenSqliteRegistry(DbPath());
    const RegKey software = Create("software");
    EXPECT_EQ(ValueNames(software), (std::vector<std::string>{"A", "b"}));  // as listed before
    EXPECT_EQ(Get(software, "B"), "b");
    EXPECT_EQ(Get(Create("Software\\\xC3\x9Cn\xC3\xAF"), "V"), "uni");  // the exact spelling
    EXPECT_EQ(Get(Create("Software\\\xC3\xBCn\xC3\xAF"), "v"), "<none>");
    EXPECT_EQ(Get(Create("Software\\\xC3\x9CN\xC3\x8F"), "v"), "uni");  // the first made
    ASSERT_EQ(Set(software, "c", "c"), 0);
    EXPECT_EQ(ValueNames(software), (std::vector<std::string>{"A", "b", "c"}));

    // Opened again, the brought-up-to-date store needs nothing more.
    registry_ = OpenSqliteRegistry(DbPath());
    EXPECT_EQ(Get(Create("Software"), "C"), "c");
}

TEST_F(Store, GroupedCallsAreKeptAllOrNone) {
    const RegKey key = Create("Software\\Group");
    ASSERT_EQ(Set(key, "kept", "1"), 0);

    ASSERT_EQ(registry_->BeginTransaction(true), 0);
    EXPECT_EQ(registry_->BeginTransaction(true), kErrorInvalidParameter);  // no nesting
    ASSERT_EQ(Set(key, "a", "1"), 0);
    // A failing call inside the group changes nothing and leaves the others standing.
    EXPECT_NE(Set(key, std::string(16384, 'n'), "x"), 0);
    EXPECT_EQ(registry_->RegDeleteValue(key, "missing"), kErrorFileNotFound);
    ASSERT_EQ(Set(key, "b", "2"), 0);
    EXPECT_EQ(Get(key, "a"), "1");
    ASSERT_EQ(registry_->EndTransaction(false), 0);
    EXPECT_EQ(ValueNames(key), std::vector<std::string>{"kept"});

    ASSERT_EQ(registry_->BeginTransaction(true), 0);
    ASSERT_EQ(Set(key, "a", "1"), 0);
    ASSERT_EQ(registry_->RegDeleteValue(key, "kept"), 0);
    ASSERT_EQ(registry_->EndTransaction(true), 0);
    EXPECT_EQ(registry_->EndTransaction(true), kErrorInvalidParameter);
    auto other = OpenSqliteRegistry(DbPath());
    RegKey seen = 0;
    ASSERT_EQ(other->RegOpenKeyEx(kHkeyCurrentUser, "Software\\Group", 0, kKeyAllUsual, &seen), 0);
    std::string name;
    ASSERT_EQ(other->RegEnumValue(seen, 0, &name, nullptr, nullptr), 0);
    EXPECT_EQ(name, "a");
    EXPECT_EQ(other->RegEnumValue(seen, 1, &name, nullptr, nullptr), kErrorNoMoreItems);
}

TEST_F(Store, AGroupCutShortByTheProcessEndingLeavesNothing) {
    const RegKey key = Create("Software\\Killed");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        auto registry = OpenSqliteRegistry(DbPath());
        RegKey own = 0;
        registry->RegCreateKeyEx(kHkeyCurrentUser, "Software\\Killed", kKeyAllUsual, &own);
        registry->BeginTransaction(true);
        for (int i = 0; i < 100; ++i) {
            const std::string name = "v" + std::to_string(i);
            registry->RegSetValueEx(own, name, 0, kRegSz,
                                    reinterpret_cast<const std::uint8_t*>(name.c_str()), 2);
        }
        _exit(0);  // as a killed process: no commit, no clean-up
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(ValueNames(key).empty());
    ASSERT_EQ(Set(key, "after", "1"), 0);  // and the store's lock is free again
}

TEST_F(Store, AReadingGroupSeesOneStateOfTheStore) {
    const RegKey key = Create("Software\\Snapshot");
    ASSERT_EQ(Set(key, "a", "1"), 0);
    ASSERT_EQ(registry_->BeginTransaction(false), 0);
    ASSERT_EQ(Get(key, "a"), "1");
    auto writer = OpenSqliteRegistry(DbPath());
    RegKey other = 0;
    ASSERT_EQ(writer->RegOpenKeyEx(kHkeyCurrentUser, "Software\\Snapshot", 0, kKeyAllUsual, &other),
              0);
    ASSERT_EQ(
        writer->RegSetValueEx(other, "b", 0, kRegSz, reinterpret_cast<const std::uint8_t*>("2"), 1),
        0);
    EXPECT_EQ(ValueNames(key), std::vector<std::string>{"a"});
    ASSERT_EQ(registry_->EndTransaction(true), 0);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace platform::posix

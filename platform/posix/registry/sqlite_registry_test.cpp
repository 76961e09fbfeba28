#include "platform/posix/registry/sqlite_registry.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/testing/registry_contract.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/test_folder.h"
#include "platform/testing/test_registry.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A fresh store in a folder of its own.
class SqliteStore {
  public:
    Registry& registry() { return *registry_; }
    std::string Root() const { return "Software\\KestrowContract"; }

  private:
    testing::TestFolder folder_;
    std::unique_ptr<Registry> registry_ = OpenSqliteRegistry(folder_.Path("registry.db"));
};

// The tests' registry double over a fresh store: it must keep every promise
// of the store it wraps.
class TestRegistryOverSqlite {
  public:
    Registry& registry() { return registry_; }
    std::string Root() const { return "Software\\KestrowContract"; }

  private:
    testing::TestFolder folder_;
    testing::TestRegistry registry_{OpenSqliteRegistry(folder_.Path("registry.db"))};
};

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes AsBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

class SqliteRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { registry_ = OpenSqliteRegistry(DbPath()); }

    std::string DbPath() const { return dir_.Path("registry.db"); }

    RegKey Create(const std::string& path) {
        RegKey key = 0;
        EXPECT_EQ(registry_->RegCreateKeyEx(kHkeyCurrentUser, path, kKeyAllUsual, &key), 0);
        return key;
    }

    long Set(RegKey key, const std::string& name, std::uint32_t type, const Bytes& data) {
        return registry_->RegSetValueEx(key, name, 0, type, data.data(),
                                        static_cast<std::uint32_t>(data.size()));
    }

    // The stored type and bytes of a value, read the way callers do.
    std::pair<std::uint32_t, Bytes> Get(RegKey key, const std::string& name) {
        std::uint32_t type = 0, size = 0;
        EXPECT_EQ(registry_->RegQueryValueEx(key, name, &type, nullptr, &size), 0);
        Bytes data(size);
        EXPECT_EQ(registry_->RegQueryValueEx(key, name, nullptr, data.data(), &size), 0);
        data.resize(size);
        return {type, data};
    }

    testing::TestFolder dir_;
    std::unique_ptr<Registry> registry_;
};

TEST_F(SqliteRegistryTest, ADoubledBackslashNamesNoKey) {
    Create("Software\\Tamsholt");
    RegKey missing = 0;
    // It must not quietly reach "Software\Tamsholt".
    EXPECT_NE(registry_->RegOpenKeyEx(kHkeyCurrentUser, "Software\\\\Tamsholt", 0, kKeyAllUsual,
                                      &missing),
              0);
    EXPECT_NE(
        registry_->RegCreateKeyEx(kHkeyCurrentUser, "Software\\\\Other", kKeyAllUsual, &missing),
        0);
    EXPECT_EQ(
        registry_->RegOpenKeyEx(kHkeyCurrentUser, "Software\\Other", 0, kKeyAllUsual, &missing),
        kErrorFileNotFound);
}

TEST_F(SqliteRegistryTest, MultiStringsGetATerminatingNul) {
    const RegKey key = Create("Control Panel\\Desktop");
    ASSERT_EQ(Set(key, "Multi", kRegMultiSz, AsBytes(std::string("a\0b", 3))), 0);
    EXPECT_EQ(Get(key, "Multi").second, AsBytes(std::string("a\0b\0", 4)));
}

TEST_F(SqliteRegistryTest, EveryTypeCodeSurvivesReopening) {
    const RegKey key = Create("Types");
    ASSERT_EQ(Set(key, "BigEndian", kRegDwordBigEndian, {0, 0, 0, 7}), 0);
    ASSERT_EQ(Set(key, "Link", kRegLink, {0x5C, 0, 0x3F, 0}), 0);
    ASSERT_EQ(Set(key, "None", kRegNone, {9}), 0);
    ASSERT_EQ(Set(key, "Odd", 0x12345, {1, 2}), 0);
    registry_ = OpenSqliteRegistry(DbPath());
    RegKey reopened = 0;
    ASSERT_EQ(registry_->RegOpenKeyEx(kHkeyCurrentUser, "Types", 0, kKeyQueryValue, &reopened), 0);
    EXPECT_EQ(Get(reopened, "BigEndian"), std::make_pair(kRegDwordBigEndian, Bytes{0, 0, 0, 7}));
    EXPECT_EQ(Get(reopened, "Link"), std::make_pair(kRegLink, Bytes{0x5C, 0, 0x3F, 0}));
    EXPECT_EQ(Get(reopened, "None"), std::make_pair(kRegNone, Bytes{9}));
    EXPECT_EQ(Get(reopened, "Odd"), std::make_pair(std::uint32_t{0x12345}, Bytes{1, 2}));
}

TEST_F(SqliteRegistryTest, HandleOfADeletedKeyFailsEvenWhenTheNameComesBack) {
    const RegKey key = Create("Gone");
    ASSERT_EQ(Set(key, "v", kRegDword, {1, 0, 0, 0}), 0);
    // Deleted through another connection, as another program would.
    auto other = OpenSqliteRegistry(DbPath());
    ASSERT_EQ(other->RegDeleteKey(kHkeyCurrentUser, "Gone"), 0);
    RegKey recreated = 0;
    ASSERT_EQ(other->RegCreateKeyEx(kHkeyCurrentUser, "Gone", kKeyAllUsual, &recreated), 0);

    std::uint32_t size = 0;
    EXPECT_EQ(registry_->RegQueryValueEx(key, "v", nullptr, nullptr, &size), kErrorKeyDeleted);
    EXPECT_EQ(Set(key, "v", kRegDword, {2, 0, 0, 0}), kErrorKeyDeleted);
    EXPECT_EQ(other->RegQueryValueEx(recreated, "v", nullptr, nullptr, &size), kErrorFileNotFound);
    EXPECT_EQ(registry_->RegCloseKey(key), 0);
}

TEST_F(SqliteRegistryTest, AccessRightsAndHivesBehaveAsOnWindows) {
    const RegKey key = Create("Rights");
    EXPECT_EQ(registry_->RegCloseKey(key), 0);
    std::uint32_t size = 0;
    RegKey readOnly = 0;
    ASSERT_EQ(registry_->RegOpenKeyEx(kHkeyCurrentUser, "Rights", 0, kKeyQueryValue, &readOnly), 0);
    EXPECT_EQ(Set(readOnly, "v", kRegDword, {1, 0, 0, 0}), kErrorAccessDenied);
    RegKey writeOnly = 0;
    ASSERT_EQ(registry_->RegOpenKeyEx(kHkeyCurrentUser, "Rights", 0, kKeySetValue, &writeOnly), 0);
    EXPECT_EQ(Set(writeOnly, "v", kRegDword, {1, 0, 0, 0}), 0);
    EXPECT_EQ(registry_->RegQueryValueEx(writeOnly, "v", nullptr, nullptr, &size),
              kErrorAccessDenied);
    RegKey child = 0;
    EXPECT_EQ(registry_->RegCreateKeyEx(writeOnly, "Child", kKeyAllUsual, &child),
              kErrorAccessDenied);

    RegKey other = 0;
    EXPECT_EQ(registry_->RegOpenKeyEx(kHkeyLocalMachine, "Software", 0, kKeyAllUsual, &other),
              kErrorFileNotFound);
    EXPECT_NE(registry_->RegCreateKeyEx(kHkeyUsers, "x", kKeyAllUsual, &other), 0);
    EXPECT_NE(registry_->RegDeleteKey(kHkeyCurrentUser, ""), 0);
}

TEST_F(SqliteRegistryTest, DefaultPathFollowsXdgConfigHomeAndMakesTheFolder) {
    const fs::path config = dir_.Native() / "config";
    const std::string path = [&] {
        testing::ScopedEnv configHome("XDG_CONFIG_HOME", config.string());
        return DefaultRegistryPath();
    }();
    EXPECT_EQ(path, (config / "kestrow" / "registry.db").string());
    EXPECT_TRUE(fs::is_directory(config / "kestrow"));

    // The user's settings are the user's own, as a Windows user hive is.
    auto registry = OpenSqliteRegistry(path);
    const Bytes one{1, 0, 0, 0};
    ASSERT_EQ(registry->RegSetValueEx(kHkeyCurrentUser, "v", 0, kRegDword, one.data(), 4), 0);
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(config / "kestrow").permissions() & fs::perms::all, fs::perms::owner_all);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(fs::status(path + suffix).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write)
            << suffix;
    }
}

std::uintmax_t LogSize(const std::string& path) {
    std::error_code missing;
    const auto size = fs::file_size(path + "-wal", missing);
    return missing ? 0 : size;
}

// Every call must fail, and the file and its log files must stay as they were.
void ExpectUnusableAndUntouched(const std::string& path) {
    SCOPED_TRACE(path);
    const Bytes before = fs::is_regular_file(path) ? ReadFile(path) : Bytes{};
    const bool hadLog = fs::exists(path + "-wal");
    const bool hadIndex = fs::exists(path + "-shm");
    auto registry = OpenSqliteRegistry(path);
    ASSERT_TRUE(registry);
    RegKey key = 0;
    EXPECT_NE(registry->RegCreateKeyEx(kHkeyCurrentUser, "Software\\X", kKeyAllUsual, &key), 0);
    EXPECT_NE(registry->RegOpenKeyEx(kHkeyCurrentUser, "", 0, kKeyAllUsual, &key), 0);
    const Bytes one{1, 0, 0, 0};
    EXPECT_NE(registry->RegSetValueEx(kHkeyCurrentUser, "v", 0, kRegDword, one.data(), 4), 0);
    std::uint32_t size = 0;
    EXPECT_NE(registry->RegQueryValueEx(kHkeyCurrentUser, "v", nullptr, nullptr, &size), 0);
    EXPECT_NE(registry->RegDeleteValue(kHkeyCurrentUser, "v"), 0);
    EXPECT_NE(registry->RegDeleteKey(kHkeyCurrentUser, "Software"), 0);
    std::string name;
    EXPECT_NE(registry->RegEnumKey(kHkeyCurrentUser, 0, &name), 0);
    EXPECT_NE(registry->RegEnumValue(kHkeyCurrentUser, 0, &name, nullptr, nullptr), 0);
    // Each failure tells which file it is, and never that it is merely busy.
    const RegResult closed = registry->RegCloseKey(kHkeyCurrentUser);
    EXPECT_NE(closed, 0);
    const std::string& problem = closed.Reason();
    EXPECT_NE(problem.find("\"" + path + "\""), std::string::npos) << problem;
    EXPECT_EQ(problem.find("busy"), std::string::npos) << problem;
    registry.reset();
    if (fs::is_regular_file(path)) {
        EXPECT_EQ(ReadFile(path), before);
    }
    EXPECT_EQ(fs::exists(path + "-wal"), hadLog);
    EXPECT_EQ(fs::exists(path + "-shm"), hadIndex);
    EXPECT_EQ(LogSize(path), 0u);
}

// Zeroes a leaf page of the hundred values (not the one holding "same"),
// leaving the length alone; answers the file's new bytes.
Bytes DamageALeaf(const std::string& path) {
    Bytes bytes = ReadFile(path);
    const std::size_t pageSize = 4096;
    const Bytes same = AsBytes("same");
    for (std::size_t page = bytes.size() / pageSize - 1; page > 0; --page) {
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(page * pageSize);
        const auto end = begin + static_cast<std::ptrdiff_t>(pageSize);
        const bool indexLeaf = *begin == 0x0A;
        if (indexLeaf && std::search(begin, end, same.begin(), same.end()) == end) {
            std::fill(begin, end, 0);
            WriteFile(path, bytes);
            return bytes;
        }
    }
    ADD_FAILURE() << "no leaf page to damage in " << path;
    return bytes;
}

// The store's own journal switched by some other tool.
void SwitchJournal(const std::string& path, const char* pragma) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, pragma, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// A store with a hundred values, closed cleanly.
void MakeBigStore(const std::string& path) {
    auto store = OpenSqliteRegistry(path);
    ASSERT_TRUE(store);
    RegKey key = 0;
    ASSERT_EQ(store->RegCreateKeyEx(kHkeyCurrentUser, "A", kKeyAllUsual, &key), 0);
    const Bytes one{1, 0, 0, 0};
    ASSERT_EQ(store->RegSetValueEx(key, "same", 0, kRegDword, one.data(), 4), 0);
    ASSERT_EQ(store->RegCreateKeyEx(kHkeyCurrentUser, "Big", kKeyAllUsual, &key), 0);
    const Bytes blob(2000, 0xAB);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(
            store->RegSetValueEx(key, "v" + std::to_string(i), 0, kRegBinary, blob.data(), 2000),
            0);
    }
}

TEST_F(SqliteRegistryTest, DamagedOrForeignStoresFailEveryCallAndStayByteIdentical) {
    registry_.reset();
    const fs::path text = dir_.Native() / "text.db";
    WriteFile(text, AsBytes("AllFolders=1\nnot a database at all, but someone's notes\n"));
    ExpectUnusableAndUntouched(text.string());

    const fs::path folder = dir_.Native() / "folder.db";
    fs::create_directory(folder);
    ExpectUnusableAndUntouched(folder.string());
    EXPECT_TRUE(fs::is_directory(folder));

    const fs::path foreign = dir_.Native() / "foreign.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('mine');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ExpectUnusableAndUntouched(foreign.string());

    // A real store cut short in place, as by a full disk: everything was
    // in the store file, the log beside it is empty.
    const fs::path truncated = dir_.Native() / "truncated.db";
    MakeBigStore(truncated.string());
    ASSERT_EQ(LogSize(truncated.string()), 0u);
    fs::resize_file(truncated, fs::file_size(truncated) / 2);
    ExpectUnusableAndUntouched(truncated.string());

    // The same cut short by a bad copy, which took the store file alone.
    const fs::path copied = dir_.Native() / "copied.db";
    MakeBigStore(copied.string());
    for (const char* log : {"-wal", "-shm"}) fs::remove(copied.string() + log);
    fs::resize_file(copied, fs::file_size(copied) / 2);
    ExpectUnusableAndUntouched(copied.string());

    // Cut by less than a page: SQLite would read the missing end as zeros.
    const fs::path shortened = dir_.Native() / "shortened.db";
    MakeBigStore(shortened.string());
    fs::resize_file(shortened, fs::file_size(shortened) - 3000);
    ExpectUnusableAndUntouched(shortened.string());

    // Damaged after some tool switched it to a rollback journal: it is not
    // switched back to WAL before it has been checked whole.
    const std::string rollback = (dir_.Native() / "rollback.db").string();
    MakeBigStore(rollback);
    SwitchJournal(rollback, "PRAGMA journal_mode=DELETE");
    DamageALeaf(rollback);
    ExpectUnusableAndUntouched(rollback);
}

TEST_F(SqliteRegistryTest, SoundStoresLeftOtherwiseThanWeLeaveThemAreCheckedAndUsed) {
    registry_.reset();
    const Bytes two{2, 0, 0, 0};
    // Switched to a rollback journal: used, and back in WAL mode after.
    const std::string rollback = (dir_.Native() / "rollback.db").string();
    MakeBigStore(rollback);
    SwitchJournal(rollback, "PRAGMA journal_mode=DELETE");
    {
        auto store = OpenSqliteRegistry(rollback);
        ASSERT_TRUE(store);
        RegKey key = 0;
        ASSERT_EQ(store->RegOpenKeyEx(kHkeyCurrentUser, "A", 0, kKeyAllUsual, &key), 0);
        EXPECT_EQ(store->RegSetValueEx(key, "same", 0, kRegDword, two.data(), 4), 0);
    }
    EXPECT_EQ(ReadFile(rollback)[18], 2) << "the header's write version names WAL";

    // A program ended without closing: its last change is in the log alone,
    // and is kept.
    const std::string crashed = (dir_.Native() / "crashed.db").string();
    MakeBigStore(crashed);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(crashed.c_str(), &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE vals SET data = x'02000000' WHERE name = 'same'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_GT(LogSize(crashed), 0u);
    auto store = OpenSqliteRegistry(crashed);
    ASSERT_TRUE(store);
    RegKey key = 0;
    ASSERT_EQ(store->RegOpenKeyEx(kHkeyCurrentUser, "A", 0, kKeyAllUsual, &key), 0);
    Bytes data(4);
    std::uint32_t size = 4;
    ASSERT_EQ(store->RegQueryValueEx(key, "same", nullptr, data.data(), &size), 0);
    EXPECT_EQ(data, two);
    const Bytes three{3, 0, 0, 0};
    EXPECT_EQ(store->RegSetValueEx(key, "same", 0, kRegDword, three.data(), 4), 0);
}

TEST_F(SqliteRegistryTest, DamageInsideAStoreOfTheRightLengthStopsEveryChange) {
    registry_.reset();
    const std::string path = (dir_.Native() / "damaged.db").string();
    MakeBigStore(path);
    const Bytes bytes = DamageALeaf(path);

    const Bytes one{1, 0, 0, 0};
    const Bytes two{2, 0, 0, 0};
    using Change = std::function<long(Registry&, RegKey)>;
    const std::vector<std::pair<std::string, Change>> changes = {
        {"set", [&](Registry& r,
                    RegKey k) { return r.RegSetValueEx(k, "same", 0, kRegDword, two.data(), 4); }},
        {"add", [&](Registry& r,
                    RegKey k) { return r.RegSetValueEx(k, "other", 0, kRegDword, two.data(), 4); }},
        {"create key",
         [](Registry& r, RegKey k) {
             RegKey created = 0;
             return r.RegCreateKeyEx(k, "Sub", kKeyAllUsual, &created);
         }},
        {"delete value", [](Registry& r, RegKey k) { return r.RegDeleteValue(k, "same"); }},
        {"delete key", [](Registry& r, RegKey) { return r.RegDeleteKey(kHkeyCurrentUser, "A"); }},
    };
    // Each change on a connection of its own: each meets the whole-file check.
    for (const auto& [what, change] : changes) {
        auto store = OpenSqliteRegistry(path);
        ASSERT_TRUE(store) << what;
        RegKey key = 0;
        ASSERT_EQ(store->RegOpenKeyEx(kHkeyCurrentUser, "A", 0, kKeyAllUsual, &key), 0) << what;
        // Setting what is there already needs no write and succeeds.
        EXPECT_EQ(store->RegSetValueEx(key, "same", 0, kRegDword, one.data(), 4), 0) << what;
        EXPECT_EQ(change(*store, key), kErrorBadDb) << what;
        store.reset();
        EXPECT_EQ(ReadFile(path), bytes) << what;
        EXPECT_EQ(LogSize(path), 0u) << what;
    }

    // Left with something in its log, as after a crash, the same store is
    // checked whole on opening, and refused; neither file is touched.
    const Bytes log = AsBytes(std::string(100, 'x'));
    WriteFile(path + "-wal", log);
    auto unclean = OpenSqliteRegistry(path);
    ASSERT_TRUE(unclean);
    RegKey key = 0;
    EXPECT_NE(unclean->RegOpenKeyEx(kHkeyCurrentUser, "A", 0, kKeyAllUsual, &key), 0);
    unclean.reset();
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_EQ(ReadFile(path + "-wal"), log);
}

TEST_F(SqliteRegistryTest, EmptyFileBecomesAFreshStore) {
    registry_.reset();
    const fs::path empty = dir_.Native() / "empty.db";
    WriteFile(empty, {});
    auto store = OpenSqliteRegistry(empty.string());
    RegKey key = 0;
    ASSERT_EQ(store->RegCreateKeyEx(kHkeyCurrentUser, "New", kKeyAllUsual, &key), 0);
    EXPECT_EQ(store->RegCloseKey(key), 0);
}

// Two processes hammer the same key: every write lands, none fails, and
// the file stays sound.
TEST_F(SqliteRegistryTest, TwoProcessesWritingTheSameKeyLoseNothing) {
    Create("Shared");
    registry_.reset();
    constexpr int kRounds = 300;
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            auto store = OpenSqliteRegistry(DbPath());
            for (int i = 0; i < kRounds; ++i) {
                RegKey key = 0;
                failures +=
                    store->RegOpenKeyEx(kHkeyCurrentUser, "Shared", 0, kKeyAllUsual, &key) != 0;
                const std::string mine = "w" + std::to_string(writer) + "_" + std::to_string(i);
                failures += store->RegSetValueEx(key, mine, 0, kRegSz,
                                                 reinterpret_cast<const std::uint8_t*>(mine.data()),
                                                 static_cast<std::uint32_t>(mine.size())) != 0;
                std::uint32_t counter = 0, size = 4;
                const long read = store->RegQueryValueEx(
                    key, "Counter", nullptr, reinterpret_cast<std::uint8_t*>(&counter), &size);
                failures += read != 0 && read != kErrorFileNotFound;
                ++counter;
                failures +=
                    store->RegSetValueEx(key, "Counter", 0, kRegDword,
                                         reinterpret_cast<const std::uint8_t*>(&counter), 4) != 0;
                failures += store->RegCloseKey(key) != 0;
            }
            _exit(failures > 255 ? 255 : failures);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed calls in a writer";
    }

    registry_ = OpenSqliteRegistry(DbPath());
    RegKey key = 0;
    ASSERT_EQ(registry_->RegOpenKeyEx(kHkeyCurrentUser, "Shared", 0, kKeyAllUsual, &key), 0);
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kRounds; ++i) {
            const std::string mine = "w" + std::to_string(writer) + "_" + std::to_string(i);
            EXPECT_EQ(Get(key, mine).second, AsBytes(mine + std::string(1, '\0')));
        }
    }
    const Bytes counter = Get(key, "Counter").second;
    ASSERT_EQ(counter.size(), 4u);
    const int count = counter[0] | (counter[1] << 8);
    EXPECT_GE(count, kRounds);
    EXPECT_LE(count, 2 * kRounds);

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(DbPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

}  // namespace

}  // namespace platform::posix

namespace platform::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Sqlite, RegistryContract, posix::SqliteStore);
INSTANTIATE_TYPED_TEST_SUITE_P(TestDouble, RegistryContract, posix::TestRegistryOverSqlite);
}  // namespace platform::testing

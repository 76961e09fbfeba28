// One store shared by several programs at the same moment: a healthy store
// is never refused while others open, create or grow it, and a store that
// another program holds is waited for a bounded time, then called busy.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/registry/sqlite_connection.h"
#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Counters and a barrier in memory the forked processes share.
struct Shared {
    pthread_barrier_t barrier;
    int refusals[8];
    int lost[8];
    int acknowledged[8];
    int done;
};

Shared* MakeShared(unsigned processes) {
    void* memory =
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    auto* shared = static_cast<Shared*>(memory);
    *shared = Shared{};
    pthread_barrierattr_t attributes;
    pthread_barrierattr_init(&attributes);
    pthread_barrierattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_barrier_init(&shared->barrier, &attributes, processes);
    return shared;
}

Bytes Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Rounds of the sharing tests: the suite runs a short set; a longer one is
// KESTROW_SHARING_ROUNDS=400 posix_registry_tests --gtest_filter='StoreSharing*'.
int Rounds(int suiteDefault) {
    const char* asked = std::getenv("KESTROW_SHARING_ROUNDS");
    return asked && std::atoi(asked) > 0 ? std::atoi(asked) : suiteDefault;
}

// Runs body(index) in each of count child processes; true when all exit 0.
template <class Body>
bool RunProcesses(int count, Body body) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            body(i);
            _exit(0);
        }
        children.push_back(pid);
    }
    bool allExited = true;
    for (pid_t pid : children) {
        int status = 0;
        allExited &=
            waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return allExited;
}

std::string IntegrityOf(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    std::string result = sqlite3_step(check) == SQLITE_ROW
                             ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0))
                             : "no answer";
    sqlite3_finalize(check);
    sqlite3_close(db);
    return result;
}

// Each round, every process opens the same new store at the same moment
// (as programs started together on a fresh account do), writes a value of
// its own and reads it back.
TEST(StoreSharingTest, ANewStoreOpenedByFourProcessesAtOnceIsNeverRefused) {
    constexpr int kProcesses = 4;
    const int kRounds = Rounds(100);
    testing::TestFolder dir;
    Shared* shared = MakeShared(kProcesses);
    const bool exited = RunProcesses(kProcesses, [&](int me) {
        const std::string name = "p" + std::to_string(me);
        for (int round = 0; round < kRounds; ++round) {
            pthread_barrier_wait(&shared->barrier);
            auto registry = OpenSqliteRegistry(dir.Path(std::to_string(round) + ".db"));
            RegKey key = 0;
            const Bytes value = Dword(static_cast<std::uint32_t>(round));
            if (registry->RegCreateKeyEx(kHkeyCurrentUser, "Software\\Race", kKeyAllUsual, &key) !=
                    kErrorSuccess ||
                registry->RegSetValueEx(key, name, 0, kRegDword, value.data(), 4) !=
                    kErrorSuccess) {
                ++shared->refusals[me];
                continue;
            }
            ++shared->acknowledged[me];
            Bytes read(4);
            std::uint32_t size = 4;
            if (registry->RegQueryValueEx(key, name, nullptr, read.data(), &size) !=
                    kErrorSuccess ||
                read != value) {
                ++shared->lost[me];
            }
        }
    });
    ASSERT_TRUE(exited);
    for (int me = 0; me < kProcesses; ++me) {
        EXPECT_EQ(shared->refusals[me], 0) << "process " << me;
        EXPECT_EQ(shared->lost[me], 0) << "process " << me;
        EXPECT_EQ(shared->acknowledged[me], kRounds) << "process " << me;
    }
    // Every acknowledged write is in its store, and every store is sound.
    int missing = 0;
    int unsound = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string path = dir.Path(std::to_string(round) + ".db");
        auto registry = OpenSqliteRegistry(path);
        RegKey key = 0;
        if (registry->RegOpenKeyEx(kHkeyCurrentUser, "Software\\Race", 0, kKeyAllUsual, &key)) {
            missing += kProcesses;
        } else {
            for (int me = 0; me < kProcesses; ++me) {
                Bytes read(4);
                std::uint32_t size = 4;
                missing += registry->RegQueryValueEx(key, "p" + std::to_string(me), nullptr,
                                                     read.data(), &size) != kErrorSuccess ||
                           read != Dword(static_cast<std::uint32_t>(round));
            }
        }
        registry.reset();
        unsound += IntegrityOf(path) != "ok";
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(unsound, 0);
    std::printf("%d processes x %d rounds on new stores\n", kProcesses, kRounds);
}

// One program grows the store and folds its log into the file again and
// again, while others keep opening it, which checks the file against its
// header each time: growth seen half-way must not look like a cut file.
TEST(StoreSharingTest, ProgramsOpeningAStoreAnotherIsGrowingAreNeverRefused) {
    constexpr int kReaders = 3;
    const int kWrites = Rounds(100);
    testing::TestFolder dir;
    const std::string path = dir.Path("registry.db");
    OpenSqliteRegistry(path).reset();  // made and left as our programs leave it
    Shared* shared = MakeShared(kReaders + 1);
    const bool exited = RunProcesses(kReaders + 1, [&](int me) {
        pthread_barrier_wait(&shared->barrier);
        if (me == 0) {
            sqlite3* db = OpenStoreFile(path);
            if (!db) _exit(2);
            // Quick commits give the readers more moments of growth to meet.
            sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
            const std::string page(3000, 'x');  // about a page a value
            for (int i = 0; i < kWrites; ++i) {
                const std::string sql = "INSERT INTO vals(key_id, name, type, data) VALUES(1, 'v" +
                                        std::to_string(i) + "', 3, '" + page + "')";
                if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) {
                    ++shared->acknowledged[0];
                }
                sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
            }
            CloseStore(db);
            __atomic_store_n(&shared->done, 1, __ATOMIC_SEQ_CST);
            return;
        }
        while (!__atomic_load_n(&shared->done, __ATOMIC_SEQ_CST)) {
            ++shared->acknowledged[me];
            auto registry = OpenSqliteRegistry(path);
            std::uint32_t size = 0;
            const RegResult rc =
                registry->RegQueryValueEx(kHkeyCurrentUser, "v0", nullptr, nullptr, &size);
            if ((rc != kErrorSuccess && rc != kErrorFileNotFound) || !rc.Reason().empty()) {
                ++shared->refusals[me];
            }
        }
    });
    ASSERT_TRUE(exited);
    EXPECT_EQ(shared->acknowledged[0], kWrites);
    EXPECT_GT(shared->acknowledged[1], 0) << "the readers did open it meanwhile";
    int opens = 0;
    for (int me = 1; me <= kReaders; ++me) {
        EXPECT_EQ(shared->refusals[me], 0) << "reader " << me;
        opens += shared->acknowledged[me];
    }
    std::printf("%d opens while %d values were written\n", opens, kWrites);
    auto registry = OpenSqliteRegistry(path);
    std::string name;
    EXPECT_EQ(registry->RegEnumValue(kHkeyCurrentUser, kWrites - 1, &name, nullptr, nullptr),
              kErrorSuccess)
        << "every acknowledged value is there";
    registry.reset();
    EXPECT_EQ(IntegrityOf(path), "ok");
}

class HeldStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registry_ = OpenSqliteRegistry(path_);
        ASSERT_EQ(registry_->RegSetValueEx(kHkeyCurrentUser, "Same", 0, kRegDword, one_.data(), 4),
                  kErrorSuccess);
        // Another program takes the write lock and keeps it.
        ASSERT_EQ(sqlite3_open(path_.c_str(), &holder_), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(holder_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void TearDown() override {
        sqlite3_exec(holder_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(holder_);
    }
    static double Seconds(std::chrono::steady_clock::time_point since) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    }

    testing::TestFolder dir_;
    std::string path_ = dir_.Path("registry.db");
    std::unique_ptr<Registry> registry_;
    sqlite3* holder_ = nullptr;
    const Bytes one_ = Dword(1);
    const Bytes zero_ = Dword(0);
};

// A write lock asked for would have been refused as busy.
TEST_F(HeldStoreTest, ReadsAndValuesThatAreAlreadySetNeedNoWriteLock) {
    EXPECT_EQ(registry_->RegSetValueEx(kHkeyCurrentUser, "Same", 0, kRegDword, one_.data(), 4),
              kErrorSuccess);
    Bytes read(4);
    std::uint32_t size = 4;
    EXPECT_EQ(registry_->RegQueryValueEx(kHkeyCurrentUser, "Same", nullptr, read.data(), &size),
              kErrorSuccess);
    EXPECT_EQ(read, one_);
}

TEST_F(HeldStoreTest, AChangeWaitsABoundedTimeThenSaysTheStoreIsBusy) {
    const auto start = std::chrono::steady_clock::now();
    const RegResult busy =
        registry_->RegSetValueEx(kHkeyCurrentUser, "Same", 0, kRegDword, zero_.data(), 4);
    EXPECT_EQ(busy, kErrorBusy);
    const double waited = Seconds(start);
    EXPECT_GE(waited, kBusyWaitMs / 1000.0 * 0.9) << "it did wait for the other program";
    EXPECT_LT(waited, kBusyWaitMs / 1000.0 * 3);
    const std::string& problem = busy.Reason();
    EXPECT_NE(problem.find("\"" + path_ + "\" is busy"), std::string::npos) << problem;
    EXPECT_EQ(problem.find("damaged"), std::string::npos) << problem;

    // The calls that follow at once do not wait all over again...
    const auto again = std::chrono::steady_clock::now();
    const RegResult stillBusy =
        registry_->RegSetValueEx(kHkeyCurrentUser, "Other", 0, kRegDword, one_.data(), 4);
    EXPECT_EQ(stillBusy, kErrorBusy);
    EXPECT_LT(Seconds(again), kBusyWaitMs / 1000.0 * 0.5);
    EXPECT_NE(stillBusy.Reason().find("is busy"), std::string::npos);

    // ...and once the other program is done, changes go through as usual.
    sqlite3_exec(holder_, "ROLLBACK", nullptr, nullptr, nullptr);
    const RegResult done =
        registry_->RegSetValueEx(kHkeyCurrentUser, "Same", 0, kRegDword, zero_.data(), 4);
    EXPECT_EQ(done, kErrorSuccess);
    EXPECT_EQ(done.Reason(), "");
}

}  // namespace
}  // namespace platform::posix

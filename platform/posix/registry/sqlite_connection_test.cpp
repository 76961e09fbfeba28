// The statement cache under the registry: statements of one text that are
// alive together, a statement after a failed step, and stores on threads.
#include "platform/posix/registry/sqlite_connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/registry/sqlite_registry.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

class StatementCacheTest : public ::testing::Test {
  protected:
    testing::TestFolder dir_;
};

constexpr const char* kNameOfKey = "SELECT name FROM keys WHERE id = ?";

TEST_F(StatementCacheTest, StatementsOfOneTextAliveTogetherKeepTheirOwnBindingsAndRows) {
    sqlite3* db = OpenStoreFile(dir_.Path("registry.db"));
    ASSERT_NE(db, nullptr);
    Execute(db, "INSERT INTO keys(id, parent, name) VALUES(2, 1, 'Software')");

    {
        // Bound but not yet stepped: a second statement must not rebind it.
        Statement first(db, kNameOfKey);
        first.Bind(1, std::int64_t{1});
        Statement second(db, kNameOfKey);
        second.Bind(1, std::int64_t{2});
        ASSERT_TRUE(first.Step());
        EXPECT_EQ(first.Text(0), "HKEY_CURRENT_USER");
        ASSERT_TRUE(second.Step());
        EXPECT_EQ(second.Text(0), "Software");
    }
    {
        // Run to its end but still alive: going away must not reset another's row.
        std::optional<Statement> done;
        done.emplace(db, kNameOfKey);
        done->Bind(1, std::int64_t{99});
        EXPECT_FALSE(done->Step());
        Statement reading(db, kNameOfKey);
        reading.Bind(1, std::int64_t{2});
        ASSERT_TRUE(reading.Step());
        done.reset();
        EXPECT_EQ(reading.Text(0), "Software");
    }
    {
        // A step that failed leaves the cached statement fit for the next use.
        const char* insert = "INSERT INTO keys(parent, name) VALUES(?, ?)";
        Statement duplicate(db, insert);
        duplicate.Bind(1, std::int64_t{1}).Bind(2, std::string("software"));
        EXPECT_THROW(duplicate.Run(), StoreFailure);
    }
    {
        Statement fresh(db, "INSERT INTO keys(parent, name) VALUES(?, ?)");
        fresh.Bind(1, std::int64_t{1}).Bind(2, std::string("Other"));
        EXPECT_NO_THROW(fresh.Run());
    }
    CloseStore(db);
}

// Each thread has stores of its own, opened and closed again and again,
// while the cache of prepared statements is one for the process.
TEST_F(StatementCacheTest, StoresOnSeveralThreadsUseTheSharedCacheSafely) {
    constexpr int kThreads = 2;
    constexpr int kRounds = 25;
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::string path = dir_.Path("store" + std::to_string(t) + ".db");
            for (int i = 0; i < kRounds; ++i) {
                auto store = OpenSqliteRegistry(path);
                RegKey key = 0;
                failures[t] += store->RegCreateKeyEx(kHkeyCurrentUser, "Software\\T", kKeyAllUsual,
                                                     &key) != kErrorSuccess;
                const std::uint32_t round = static_cast<std::uint32_t>(i);
                failures[t] += store->RegSetValueEx(key, "Round", 0, kRegDword,
                                                    reinterpret_cast<const std::uint8_t*>(&round),
                                                    4) != kErrorSuccess;
                std::uint32_t read = 0, size = 4;
                failures[t] += store->RegQueryValueEx(key, "Round", nullptr,
                                                      reinterpret_cast<std::uint8_t*>(&read),
                                                      &size) != kErrorSuccess;
                failures[t] += read != round;
                failures[t] += store->RegCloseKey(key) != kErrorSuccess;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace platform::posix

// Another program at the SQLite store, for the tests where the store itself
// is the point: one that holds its write lock, and an independent look at
// its structure.
#pragma once

#include <sqlite3.h>

#include <string>

namespace platform::testing {

// Holds the store's write lock from Hold until Release or its end.
class StoreWriteLockHolder {
  public:
    explicit StoreWriteLockHolder(std::string path) : path_(std::move(path)) {}
    ~StoreWriteLockHolder() {
        Release();
        sqlite3_close(db_);
    }
    StoreWriteLockHolder(const StoreWriteLockHolder&) = delete;
    StoreWriteLockHolder& operator=(const StoreWriteLockHolder&) = delete;

    // False when the lock could not be taken.
    bool Hold() {
        if (!db_ && sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) return false;
        return sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    void Release() {
        if (db_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }

  private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

// SQLite's own integrity check of the file, read only: "ok" for a whole store.
inline std::string StoreIntegrity(const std::string& path) {
    sqlite3* db = nullptr;
    std::string answer = "cannot be opened";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
        answer = check && sqlite3_step(check) == SQLITE_ROW
                     ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0))
                     : "cannot be read";
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return answer;
}

}  // namespace platform::testing

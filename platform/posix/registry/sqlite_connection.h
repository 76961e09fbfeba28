// The store file behind the POSIX registry: opening it without ever harming a
// file that is not a healthy store of ours, and a thin statement wrapper.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::posix {

// A SQLite failure inside a registry call; caught at the call's boundary.
struct StoreFailure {
    int code;
};

struct CachedStatement;

class Statement {
  public:
    // Kept: prepared once and lent again to every later use of the same
    // text on the connection, as the registry's calls are. Once: for the
    // checks run as a store is opened, whose memory the next statement reuses.
    enum class Use { Kept, Once };

    Statement(sqlite3* db, const char* sql, Use use = Use::Kept);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, const std::string& text);
    Statement& BindBlob(int index, const std::vector<std::uint8_t>& bytes);

    // True for a row, false when done; throws StoreFailure on error.
    bool Step();
    void Run() { Step(); }

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<std::uint8_t> Blob(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    CachedStatement* cached_ = nullptr;  // null: prepared for this use only
};

// Finalizes the connection's prepared statements and closes it.
void CloseStore(sqlite3* db);

// Runs sql (no results expected); throws StoreFailure on error.
void Execute(sqlite3* db, const char* sql);

// What kept a store from being used.
enum class StoreTrouble {
    None,
    CannotOpen,  // the file system refused the file (systemError says why)
    Damaged,     // not a store of ours, or damaged
    Busy,        // another program held it beyond the wait
    ReadOnly,    // it may be read but not changed
    Full,        // no room to grow it
    Io,          // reading or writing failed (systemError says why)
};

struct StoreFault {
    StoreTrouble trouble = StoreTrouble::None;
    int systemError = 0;  // errno, when the system gave one
};

// The trouble a SQLite result code stands for; systemError comes from db.
StoreFault FaultOf(sqlite3* db, int sqliteCode);

// How long a store held by another program is waited for, in all, before
// the call that wanted it gives up and says the store is busy.
constexpr int kBusyWaitMs = 5000;

// Opens the store at path, creating it (private to its user) when the file
// is missing or holds an empty database. Returns null, having written
// nothing, when the path is not a regular file, not a SQLite database, some
// other database, or damaged as far as can be told without reading it all;
// a store not left the way our programs leave it is checked whole first, and
// checkedWhole (when given) tells whether that happened. A store that other
// programs are opening or changing at the same moment is waited for, at most
// kBusyWaitMs; fault (when given) says why null was returned.
// readOnly opens it for reading only, as SQLite does with a file it may not
// write; nothing is created then.
sqlite3* OpenStoreFile(const std::string& path, bool* checkedWhole = nullptr,
                       StoreFault* fault = nullptr, bool readOnly = false);

// The whole-file structure check, which the registry also runs once before
// it first changes a store it opened without one.
bool StoreIsIntact(sqlite3* db);

}  // namespace platform::posix

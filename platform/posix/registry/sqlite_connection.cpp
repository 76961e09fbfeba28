#include "posix/registry/sqlite_connection.h"

#include <map>
#include <mutex>
#include <utility>

#include <filesystem>
#include <system_error>

namespace platform {

namespace {

constexpr int kBusyTimeoutMs = 15000;
constexpr const char* kFormatName = "kestrow-registry 1";

// Tables only; the hive row for HKEY_CURRENT_USER is always key 1. NOCASE
// folds ASCII letters only, which is how names compare (and stay as written).
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS store_info(
    name TEXT PRIMARY KEY,
    value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER REFERENCES keys(id),
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
CREATE TABLE IF NOT EXISTS vals(
    key_id INTEGER NOT NULL REFERENCES keys(id),
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key_id, name)) WITHOUT ROWID;
INSERT OR IGNORE INTO store_info(name, value) VALUES('format', 'kestrow-registry 1');
INSERT OR IGNORE INTO keys(id, parent, name) VALUES(1, NULL, 'HKEY_CURRENT_USER');
)sql";

bool IsEmptyDatabase(sqlite3* db) {
    Statement count(db, "SELECT count(*) FROM sqlite_master");
    count.Step();
    return count.Int(0) == 0;
}

bool IsOurStore(sqlite3* db) {
    Statement format(db, "SELECT value FROM store_info WHERE name = 'format'");
    if (!format.Step() || format.Text(0) != kFormatName) return false;
    Statement keys(db, "SELECT id, parent, name FROM keys WHERE id = 1");
    if (!keys.Step()) return false;
    Statement vals(db, "SELECT key_id, name, type, data FROM vals LIMIT 0");
    vals.Step();
    return true;
}

std::int64_t PragmaNumber(sqlite3* db, const char* sql) {
    Statement pragma(db, sql);
    return pragma.Step() ? pragma.Int(0) : -1;
}

enum class StoreState { AsWeLeaveIt, Unusual, CutShort };

// How every program of ours leaves the store: in WAL mode, with an empty
// log, and exactly as many pages long as its header says. A store with an
// empty log that is shorter than that has lost data SQLite would read as
// zeros, which no check of its structure need notice. Anything else (a
// crash, another program writing right now, a tool that switched the
// journal or added bytes) earns the whole-file check before it is used.
// Only reads.
StoreState StateOf(sqlite3* db, const std::string& path) {
    std::error_code ec;
    const auto logSize = std::filesystem::file_size(path + "-wal", ec);
    if (!ec && logSize > 0) return StoreState::Unusual;
    const auto fileSize = std::filesystem::file_size(path, ec);
    if (ec) return StoreState::Unusual;
    const std::int64_t pages = PragmaNumber(db, "PRAGMA page_count");
    const std::int64_t pageSize = PragmaNumber(db, "PRAGMA page_size");
    if (pages <= 0 || pageSize <= 0) return StoreState::Unusual;
    const auto expected =
        static_cast<std::uintmax_t>(pages) * static_cast<std::uintmax_t>(pageSize);
    if (fileSize < expected) return StoreState::CutShort;
    if (fileSize > expected) return StoreState::Unusual;
    Statement mode(db, "PRAGMA journal_mode");
    return mode.Step() && mode.Text(0) == "wal" ? StoreState::AsWeLeaveIt : StoreState::Unusual;
}

// Closes a file refused as a store as it was found. A log that was there
// stays there, never copied into the file (SQLite may leave the index file
// it made for reading it); one that reading the file made is empty, and
// goes again as SQLite closes it.
void CloseUntouched(sqlite3* db, bool hadLog) {
    if (hadLog) {
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        int persist = 1;
        sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    }
    CloseStore(db);
}

// Keeps the log and its index file beside the store between runs: making
// and removing them at every open and close was most of a short run's
// file-system work. The log is emptied as the last connection closes.
void KeepLogFiles(sqlite3* db) {
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    Execute(db, "PRAGMA journal_size_limit=0");
}

}  // namespace

bool StoreIsIntact(sqlite3* db) {
    Statement check(db, "PRAGMA quick_check");
    return check.Step() && check.Text(0) == "ok" && !check.Step();
}

namespace {

void CreateSchema(sqlite3* db) {
    Execute(db, "PRAGMA journal_mode=WAL");
    Execute(db, "BEGIN IMMEDIATE");
    try {
        Execute(db, kSchema);
        Execute(db, "COMMIT");
    } catch (const StoreFailure&) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace

// Prepared statements by connection and text: every registry call runs a few
// of the same statements, and preparing them anew was most of a call's work.
// A cached statement is lent to one Statement at a time; sqlite3_stmt_busy
// cannot tell, as it is false for one that is bound but not yet stepped, or
// stepped to its end but still being read. Registries on other threads share
// the map, hence the lock.
struct CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool lent = false;
};

namespace {

std::mutex& CacheLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::pair<sqlite3*, std::string>, CachedStatement>& PreparedStatements() {
    static std::map<std::pair<sqlite3*, std::string>, CachedStatement> cache;
    return cache;
}

}  // namespace

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    {
        const std::lock_guard<std::mutex> hold(CacheLock());
        auto& cache = PreparedStatements();
        const auto found = cache.find(std::make_pair(db, std::string(sql)));
        if (found != cache.end() && !found->second.lent) {
            found->second.lent = true;
            stmt_ = found->second.stmt;
            cached_ = &found->second;
            return;
        }
    }
    const int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        throw StoreFailure{rc};
    }
    const std::lock_guard<std::mutex> hold(CacheLock());
    // While the cached one is lent, this one is used once.
    const auto [entry, added] = PreparedStatements().emplace(std::make_pair(db, std::string(sql)),
                                                             CachedStatement{stmt_, true});
    if (added) cached_ = &entry->second;
}

Statement::~Statement() {
    if (!cached_) {
        sqlite3_finalize(stmt_);
        return;
    }
    // Back to the cache, ready for the next use; a reset also ends a failed
    // or unfinished step, so the next borrower starts clean.
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    const std::lock_guard<std::mutex> hold(CacheLock());
    cached_->lent = false;
}

void CloseStore(sqlite3* db) {
    {
        const std::lock_guard<std::mutex> hold(CacheLock());
        auto& cache = PreparedStatements();
        for (auto it = cache.begin(); it != cache.end();) {
            if (it->first.first == db) {
                sqlite3_finalize(it->second.stmt);
                it = cache.erase(it);
            } else {
                ++it;
            }
        }
    }
    sqlite3_close(db);
}

Statement& Statement::Bind(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) throw StoreFailure{rc};
    return *this;
}

Statement& Statement::Bind(int index, const std::string& text) {
    const int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) throw StoreFailure{rc};
    return *this;
}

Statement& Statement::BindBlob(int index, const std::vector<std::uint8_t>& bytes) {
    // An empty blob must not become NULL.
    const int rc = bytes.empty()
                       ? sqlite3_bind_zeroblob(stmt_, index, 0)
                       : sqlite3_bind_blob(stmt_, index, bytes.data(),
                                           static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) throw StoreFailure{rc};
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw StoreFailure{sqlite3_errcode(db_)};
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

std::vector<std::uint8_t> Statement::Blob(int column) const {
    const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::vector<std::uint8_t>(p, p + n) : std::vector<std::uint8_t>();
}

void Execute(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throw StoreFailure{rc};
}

sqlite3* OpenStoreFile(const std::string& path, bool* checkedWhole) {
    if (checkedWhole) *checkedWhole = false;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    const bool exists = std::filesystem::exists(status);
    if (exists && !std::filesystem::is_regular_file(status)) return nullptr;

    // A connection belongs to one registry object on one thread: SQLite's own
    // locks and allocation counters were a good part of a short run's work.
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (exists ? 0 : SQLITE_OPEN_CREATE);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        CloseStore(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 0);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    const bool hadLog = std::filesystem::exists(path + "-wal", ec);
    try {
        // Only reads until the file is known to be ours (or an empty database
        // with nothing to lose); a stranger's file is left exactly as it was.
        bool checked = false;
        if (IsEmptyDatabase(db)) {
            CreateSchema(db);
            checked = true;  // nothing in it to be damaged
        } else if (!IsOurStore(db)) {
            CloseUntouched(db, hadLog);
            return nullptr;
        } else if (const StoreState state = StateOf(db, path); state != StoreState::AsWeLeaveIt) {
            if (state == StoreState::CutShort || !StoreIsIntact(db)) {
                CloseUntouched(db, hadLog);
                return nullptr;
            }
            checked = true;
        }
        // Not before the file is known to be ours and, unless it was left
        // as we leave it, checked whole.
        Execute(db, "PRAGMA journal_mode=WAL");
        KeepLogFiles(db);
        Execute(db, "PRAGMA foreign_keys=ON");
        if (checkedWhole) *checkedWhole = checked;
    } catch (const StoreFailure&) {
        CloseUntouched(db, hadLog);
        return nullptr;
    }
    return db;
}

}  // namespace platform

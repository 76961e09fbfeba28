#include "platform/posix/registry/sqlite_connection.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace platform::posix {

namespace {

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
    Statement count(db, "SELECT count(*) FROM sqlite_master", Statement::Use::Once);
    count.Step();
    return count.Int(0) == 0;
}

bool IsOurStore(sqlite3* db) {
    Statement format(db, "SELECT value FROM store_info WHERE name = 'format'",
                     Statement::Use::Once);
    if (!format.Step() || format.Text(0) != kFormatName) return false;
    Statement keys(db, "SELECT id, parent, name FROM keys WHERE id = 1", Statement::Use::Once);
    if (!keys.Step()) return false;
    Statement vals(db, "SELECT key_id, name, type, data FROM vals LIMIT 0", Statement::Use::Once);
    vals.Step();
    return true;
}

std::int64_t PragmaNumber(sqlite3* db, const char* sql) {
    Statement pragma(db, sql, Statement::Use::Once);
    return pragma.Step() ? pragma.Int(0) : -1;
}

enum class StoreState { AsWeLeaveIt, Unusual, CutShort };

// How every program of ours leaves the store: in WAL mode, with an empty
// log, and exactly as many pages long as its header says. A store with an
// empty log that is shorter than that has lost data SQLite would read as
// zeros, which no check of its structure need notice. Anything else (a
// crash, another program writing right now, a tool that switched the
// journal or added bytes) earns the whole-file check before it is used.
StoreState SizeState(sqlite3* db, std::uintmax_t fileSize, std::int64_t pages,
                     std::int64_t pageSize) {
    const auto expected =
        static_cast<std::uintmax_t>(pages) * static_cast<std::uintmax_t>(pageSize);
    if (fileSize < expected) return StoreState::CutShort;
    if (fileSize > expected) return StoreState::Unusual;
    Statement mode(db, "PRAGMA journal_mode", Statement::Use::Once);
    return mode.Step() && mode.Text(0) == "wal" ? StoreState::AsWeLeaveIt : StoreState::Unusual;
}

// Only reads. The page count is taken first, inside a read transaction that
// lasts until the sizes are known: another program may grow the store
// meanwhile, and with pages that its log still holds the file is rightly
// shorter than the count. An empty log seen while the transaction stands
// means that the snapshot's pages were all in the file.
StoreState StateOf(sqlite3* db, const std::string& path) {
    Execute(db, "BEGIN");
    try {
        const StoreState state = [&] {
            const std::int64_t pages = PragmaNumber(db, "PRAGMA page_count");
            const std::int64_t pageSize = PragmaNumber(db, "PRAGMA page_size");
            std::error_code ec;
            const auto logSize = std::filesystem::file_size(path + "-wal", ec);
            if (!ec && logSize > 0) return StoreState::Unusual;
            const auto fileSize = std::filesystem::file_size(path, ec);
            if (ec || pages <= 0 || pageSize <= 0) return StoreState::Unusual;
            return SizeState(db, fileSize, pages, pageSize);
        }();
        Execute(db, "COMMIT");
        return state;
    } catch (const StoreFailure&) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
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
    Statement check(db, "PRAGMA quick_check", Statement::Use::Once);
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

Statement::Statement(sqlite3* db, const char* sql, Use use) : db_(db) {
    if (use == Use::Once) {
        const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            throw StoreFailure{rc};
        }
        return;
    }
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

StoreFault FaultOf(sqlite3* db, int sqliteCode) {
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    switch (sqliteCode & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
            return {};
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_PROTOCOL:
            return {StoreTrouble::Busy, 0};
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_SCHEMA:
        case SQLITE_FORMAT:
            return {StoreTrouble::Damaged, 0};
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return {StoreTrouble::ReadOnly, 0};
        case SQLITE_FULL:
            return {StoreTrouble::Full, 0};
        case SQLITE_CANTOPEN:
            return {StoreTrouble::CannotOpen, systemError};
        default:
            return {StoreTrouble::Io, systemError};
    }
}

namespace {

// A new store is made private to its user, as the user's own settings are;
// SQLite would make it readable by all. O_EXCL: another program making it at
// the same moment wins, and a planted link is never followed.
StoreFault CreatePrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno == EEXIST) return {};
    return {StoreTrouble::CannotOpen, errno};
}

// One try at opening; null with fault set when it did not work out.
sqlite3* TryOpenStoreFile(const std::string& path, bool* checkedWhole, StoreFault& fault,
                          bool readOnly) {
    std::error_code ec;
    auto status = std::filesystem::symlink_status(path, ec);
    if (!std::filesystem::exists(status) && !readOnly) {
        fault = CreatePrivateFile(path);
        if (fault.trouble != StoreTrouble::None) return nullptr;
    }
    status = std::filesystem::status(path, ec);
    if (!std::filesystem::is_regular_file(status)) {
        fault = {StoreTrouble::CannotOpen, std::filesystem::is_directory(status) ? EISDIR
                                           : std::filesystem::exists(status)     ? EINVAL
                                                                                 : ENOENT};
        return nullptr;
    }

    // A connection belongs to one registry object on one thread: SQLite's own
    // locks and allocation counters were a good part of a short run's work.
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        // No page cache allocated in bulk ahead of use: laying out its slots
        // touched every page of it, and a store this small needs a handful.
        sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
        return true;
    }();
    (void)configured;
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(
        path.c_str(), &db,
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        fault = FaultOf(db, opened);
        CloseStore(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 0);
    sqlite3_busy_timeout(db, kBusyWaitMs);
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
            fault = {StoreTrouble::Damaged, 0};
            return nullptr;
        } else if (const StoreState state = StateOf(db, path); state != StoreState::AsWeLeaveIt) {
            if (state == StoreState::CutShort || !StoreIsIntact(db)) {
                CloseUntouched(db, hadLog);
                fault = {StoreTrouble::Damaged, 0};
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
    } catch (const StoreFailure& failure) {
        fault = FaultOf(db, failure.code);
        CloseUntouched(db, hadLog);
        return nullptr;
    }
    return db;
}

}  // namespace

// Several programs opening one store at once meet each other's locks where
// SQLite's busy handler does not wait for them (the switch of a new store to
// WAL, the first read of another program's log): such an open changed
// nothing and is tried again, within the same bounded wait.
sqlite3* OpenStoreFile(const std::string& path, bool* checkedWhole, StoreFault* fault,
                       bool readOnly) {
    if (checkedWhole) *checkedWhole = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyWaitMs);
    for (unsigned attempt = 0;; ++attempt) {
        StoreFault found;
        sqlite3* db = TryOpenStoreFile(path, checkedWhole, found, readOnly);
        if (db) return db;
        if (found.trouble != StoreTrouble::Busy || std::chrono::steady_clock::now() > deadline) {
            if (fault) *fault = found;
            return nullptr;
        }
        // Staggered, so that programs that met once do not meet again.
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + (attempt * 7 + ::getpid()) % 13));
    }
}

}  // namespace platform::posix

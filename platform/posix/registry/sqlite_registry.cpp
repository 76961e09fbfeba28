#include "platform/posix/registry/sqlite_registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/posix/registry/name_folding.h"
#include "platform/posix/registry/name_index.h"
#include "platform/posix/registry/sqlite_connection.h"
#include "platform/registry/coded_registry.h"
#include "platform/registry/key_path.h"
#include "platform/text/text.h"

namespace platform::posix {

namespace {

constexpr std::int64_t kCurrentUserKeyId = 1;
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr long kErrorRegistryIoFailed = 1016;
constexpr std::chrono::milliseconds kRetryFor{kBusyWaitMs};

// The two queries of one listing, the next row after the last one read and
// the row at an index: both take the key's id first, then the last row's
// sort place or the index.
struct ListingQueries {
    const char* onward;
    const char* fromStart;
};
constexpr ListingQueries kSubKeyListing{
    "SELECT name, folded FROM keys WHERE parent = ? AND (folded, name) > (?, ?) "
    "ORDER BY folded, name LIMIT 1",
    "SELECT name, folded FROM keys WHERE parent = ? ORDER BY folded, name LIMIT 1 OFFSET ?"};
constexpr ListingQueries kValueListing{
    "SELECT name, type, data, made FROM vals WHERE key_id = ? AND made > ? ORDER BY made LIMIT 1",
    "SELECT name, type, data, made FROM vals WHERE key_id = ? ORDER BY made LIMIT 1 OFFSET ?"};

bool IsPredefinedHive(RegKey key) { return key >= kHkeyClassesRoot && key <= 0x80000006u; }

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The failure a call reports when the store refused it.
long ResultOf(StoreTrouble trouble) {
    switch (trouble) {
        case StoreTrouble::None:
            return kErrorSuccess;
        case StoreTrouble::Damaged:
        case StoreTrouble::CannotOpen:
            return kErrorBadDb;
        case StoreTrouble::ReadOnly:
            return kErrorAccessDenied;
        case StoreTrouble::Busy:
            return kErrorBusy;
        case StoreTrouble::Full:
            return kErrorDiskFull;
        case StoreTrouble::Io:
            break;
    }
    return kErrorRegistryIoFailed;
}

std::string SystemReason(int systemError) {
    return systemError ? std::strerror(systemError) : "the system gave no reason";
}

// What the user is told, naming the file so that it can be found.
std::string ProblemText(const StoreFault& fault, const std::string& path) {
    const std::string store = "The settings store \"" + path + "\" ";
    switch (fault.trouble) {
        case StoreTrouble::None:
            return {};
        case StoreTrouble::CannotOpen:
            return store + "cannot be opened: " + SystemReason(fault.systemError) + ".";
        case StoreTrouble::Damaged:
            return store + "is damaged or is not a settings store. It was left as it is.";
        case StoreTrouble::Busy:
            return store + "is busy: another program has been using it for more than " +
                   std::to_string(kBusyWaitMs / 1000) + " seconds. Try again in a moment.";
        case StoreTrouble::ReadOnly:
            return store + "cannot be changed: access is denied.";
        case StoreTrouble::Full:
            return store + "cannot be changed: the disk is full.";
        case StoreTrouble::Io:
            break;
    }
    return store + "cannot be read or written: " + SystemReason(fault.systemError) + ".";
}

class SqliteRegistry final : public registry::CodedRegistry {
  public:
    SqliteRegistry(sqlite3* db, bool checkedWhole, StoreFault openFault, std::string path)
        : db_(db), checkedWhole_(checkedWhole), openFault_(openFault), path_(std::move(path)) {}
    ~SqliteRegistry() override { CloseStore(db_); }

    RegResult BeginTransaction(bool forWriting) override {
        return Answer(DoBeginTransaction(forWriting));
    }
    RegResult EndTransaction(bool commit) override { return Answer(DoEndTransaction(commit)); }

    long DoOpenKeyEx(RegKey key, const std::string& subKey, std::uint32_t /*options*/,
                     std::uint32_t access, RegKey* result) override {
        if (!result) return kErrorInvalidParameter;
        std::int64_t id = 0;
        const long rc = Read([&] {
            const auto found = ResolvePath(key, subKey);
            if (!found.id) return found.error;
            id = *found.id;
            return kErrorSuccess;
        });
        if (rc == kErrorSuccess) *result = NewHandle(id, access);
        return rc;
    }

    long DoQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* byteCount) override {
        if (data && !byteCount) return kErrorInvalidParameter;
        return Read([&] {
            const auto owner = Resolve(key, kKeyQueryValue);
            if (!owner.id) return owner.error;
            const auto found = FindValue(*owner.id, name);
            if (!found) return kErrorFileNotFound;
            const auto& stored = found->data;
            const auto size = static_cast<std::uint32_t>(stored.size());
            if (type) *type = found->type;
            if (data) {
                const bool fits = *byteCount >= size;
                if (fits && size > 0) std::memcpy(data, stored.data(), size);
                *byteCount = size;
                return fits ? kErrorSuccess : kErrorMoreData;
            }
            if (byteCount) *byteCount = size;
            return kErrorSuccess;
        });
    }

    long DoSetValueEx(RegKey key, const std::string& name, std::uint32_t /*reserved*/,
                      std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t byteCount) override {
        if (!data && byteCount > 0) return kErrorInvalidParameter;
        if (text::Length(name) > kMaxValueNameLength) return kErrorInvalidParameter;
        std::vector<std::uint8_t> bytes;
        try {
            if (byteCount > 0) bytes.assign(data, data + byteCount);
            if (IsStringType(type) && (bytes.empty() || bytes.back() != 0)) bytes.push_back(0);
        } catch (const std::bad_alloc&) {
            return kErrorInvalidParameter;
        }
        // Setting what is there already changes nothing and takes no write
        // lock, which another program may be holding for a while.
        bool unchanged = false;
        const long looked = Read([&] {
            const auto owner = Resolve(key, kKeySetValue);
            if (!owner.id) return owner.error;
            const auto found = FindValue(*owner.id, name);
            unchanged = found && found->type == type && found->data == bytes;
            return kErrorSuccess;
        });
        if (looked != kErrorSuccess || unchanged) return looked;
        return Write([&] {
            const auto owner = Resolve(key, kKeySetValue);
            if (!owner.id) return owner.error;
            const auto found = FindValue(*owner.id, name);
            // Setting what is there already changes nothing, and writes nothing.
            if (found && found->type == type && found->data == bytes) return kErrorSuccess;
            if (!ReadyToChange()) return kErrorBadDb;
            if (found) {
                // An existing value keeps the spelling of its name and its place.
                Statement update(
                    db_, "UPDATE vals SET type = ?, data = ? WHERE key_id = ? AND name = ?");
                update.Bind(1, std::int64_t{type}).BindBlob(2, bytes).Bind(3, *owner.id);
                update.Bind(4, found->name).Run();
                return kErrorSuccess;
            }
            Statement insert(db_,
                             "INSERT INTO vals(key_id, name, type, data, folded, made) "
                             "VALUES(?1, ?2, ?3, ?4, ?5, (SELECT coalesce(max(made), 0) + 1 "
                             "FROM vals WHERE key_id = ?1))");
            insert.Bind(1, *owner.id).Bind(2, name).Bind(3, std::int64_t{type}).BindBlob(4, bytes);
            insert.Bind(5, FoldName(name)).Run();
            return kErrorSuccess;
        });
    }

    long DoCreateKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access,
                       RegKey* result) override {
        if (!result) return kErrorInvalidParameter;
        const auto parts = registry::SplitKeyPath(subKey);
        if (!parts) return kErrorInvalidParameter;
        std::int64_t id = 0;
        const long rc = Write([&] {
            const auto base = Resolve(parent, 0);
            if (!base.id) return base.error;
            id = *base.id;
            for (const auto& part : *parts) {
                if (const auto child = FindChild(id, part)) {
                    id = *child;
                    continue;
                }
                if (!HasAccess(parent, kKeyCreateSubKey)) return kErrorAccessDenied;
                if (!ReadyToChange()) return kErrorBadDb;
                Statement insert(db_, "INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)");
                insert.Bind(1, id).Bind(2, part).Bind(3, FoldName(part)).Run();
                id = sqlite3_last_insert_rowid(db_);
            }
            return kErrorSuccess;
        });
        if (rc == kErrorSuccess) *result = NewHandle(id, access);
        return rc;
    }

    long DoDeleteValue(RegKey key, const std::string& name) override {
        return Write([&] {
            const auto owner = Resolve(key, kKeySetValue);
            if (!owner.id) return owner.error;
            const auto found = FindValue(*owner.id, name);
            if (!found) return kErrorFileNotFound;
            if (!ReadyToChange()) return kErrorBadDb;
            Statement remove(db_, "DELETE FROM vals WHERE key_id = ? AND name = ?");
            remove.Bind(1, *owner.id).Bind(2, found->name).Run();
            return kErrorSuccess;
        });
    }

    long DoDeleteKey(RegKey key, const std::string& subKey) override {
        return Write([&] {
            const auto found = ResolvePath(key, subKey);
            if (!found.id) return found.error;
            const std::int64_t target = *found.id;
            if (target == kCurrentUserKeyId) return kErrorAccessDenied;
            Statement children(db_, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
            children.Bind(1, target);
            if (children.Step()) return kErrorAccessDenied;
            if (!ReadyToChange()) return kErrorBadDb;
            Statement values(db_, "DELETE FROM vals WHERE key_id = ?");
            values.Bind(1, target).Run();
            Statement remove(db_, "DELETE FROM keys WHERE id = ?");
            remove.Bind(1, target).Run();
            return kErrorSuccess;
        });
    }

    long DoCloseKey(RegKey key) override {
        if (!db_ || broken_) return Unusable();
        if (IsPredefinedHive(key)) return kErrorSuccess;
        cursors_.erase(key);
        return handles_.erase(key) > 0 ? kErrorSuccess : kErrorInvalidHandle;
    }

    // Sub-keys in the order of their folded names, as Windows sorts them.
    long DoEnumKey(RegKey key, std::uint32_t index, std::string* name) override {
        if (!name) return kErrorInvalidParameter;
        return ListingRow(key, index, kKeyEnumerateSubKeys, &Cursor::keys, kSubKeyListing,
                          [&](Statement& row) {
                              *name = row.Text(0);
                              return KeyPlace{*name, row.Text(1)};
                          });
    }

    // Values in the order they were made, as Windows lists them.
    long DoEnumValue(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data) override {
        if (!name) return kErrorInvalidParameter;
        return ListingRow(key, index, kKeyQueryValue, &Cursor::values, kValueListing,
                          [&](Statement& row) {
                              *name = row.Text(0);
                              if (type) *type = static_cast<std::uint32_t>(row.Int(1));
                              if (data) *data = row.Blob(2);
                              return row.Int(3);
                          });
    }

    long DoBeginTransaction(bool forWriting) {
        if (grouped_) return kErrorInvalidParameter;
        if (!db_ || broken_) return Unusable();
        if (unusable_ != kErrorSuccess) return StillUnusable();
        const auto deadline = std::chrono::steady_clock::now() + kRetryFor;
        while (true) {
            int rc = sqlite3_exec(db_, forWriting ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr,
                                  nullptr);
            // A group for reading takes its snapshot now, while another
            // program's lock can still be waited out: inside the group a
            // call cannot try again.
            if (rc == SQLITE_OK && !forWriting) {
                rc =
                    sqlite3_exec(db_, "SELECT 1 FROM keys WHERE id = 1", nullptr, nullptr, nullptr);
                if (rc != SQLITE_OK) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            }
            if (rc == SQLITE_OK) {
                grouped_ = true;
                return kErrorSuccess;
            }
            if (!IsBusy(rc) || std::chrono::steady_clock::now() > deadline) return Failed(rc);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    long DoEndTransaction(bool commit) {
        if (!grouped_) return kErrorInvalidParameter;
        grouped_ = false;
        // A failure that made SQLite give up the transaction has undone it already.
        if (sqlite3_get_autocommit(db_)) return commit ? kErrorRegistryIoFailed : kErrorSuccess;
        if (!commit) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return kErrorSuccess;
        }
        const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) return kErrorSuccess;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return Failed(rc);
    }

    // Brings the name columns of a store made before them up to date; a
    // store that cannot be brought up to date (read-only, say) answers every
    // call with the reason.
    void UpdateNames() {
        if (!db_) return;
        bool current = false;
        try {
            current = NameIndexIsCurrent(db_);
        } catch (const StoreFailure&) {
            // Busy, most likely: the write below waits its turn and looks again.
        }
        if (current) return;
        const long rc = Write([&] {
            if (NameIndexIsCurrent(db_)) return kErrorSuccess;
            if (!ReadyToChange()) return kErrorBadDb;
            UpdateNameIndex(db_);
            return kErrorSuccess;
        });
        if (rc != kErrorSuccess) {
            unusable_ = rc;
            unusableFault_ = std::exchange(problem_, StoreFault{});
        }
    }

  private:
    // The call's result with the reason the store gave, which belongs to
    // this call alone.
    RegResult Answer(long rc) override {
        const StoreFault fault = std::exchange(problem_, StoreFault{});
        if (rc == kErrorSuccess || fault.trouble == StoreTrouble::None) return rc;
        return {rc, ProblemText(fault, path_)};
    }

    struct Handle {
        std::int64_t id;
        std::uint32_t access;
    };

    // Where one listing (sub-keys or values) of a handle stopped: the key
    // listed, the next index and the sort place of the last row read.
    template <typename Place>
    struct Bookmark {
        std::int64_t owner = 0;
        std::uint32_t next = 0;
        Place last{};

        // A call for the index after the last one read on the same key
        // continues from the last row instead of counting from the start.
        bool ReadsOnAt(std::int64_t key, std::uint32_t index) const {
            return owner == key && next == index && index > 0;
        }
        void Read(std::int64_t key, std::uint32_t index, Place place) {
            owner = key;
            next = index + 1;
            last = std::move(place);
        }
    };
    struct KeyPlace {
        std::string name;
        std::string folded;
    };
    // Where the last enumerations on a handle stopped.
    struct Cursor {
        Bookmark<KeyPlace> keys;
        Bookmark<std::int64_t> values;  // when the last value read was made
    };

    // The row at index of one listing of key's children. Reading on from
    // where the last call on this handle stopped takes one index step, so a
    // whole enumeration is linear in its length. take fills the caller's
    // results from the row and gives its sort place.
    template <typename Place, typename Take>
    long ListingRow(RegKey key, std::uint32_t index, std::uint32_t neededAccess,
                    Bookmark<Place> Cursor::*listing, const ListingQueries& queries, Take take) {
        return Read([&] {
            const auto owner = Resolve(key, neededAccess);
            if (!owner.id) return owner.error;
            auto& bookmark = cursors_[key].*listing;
            const bool readsOn = bookmark.ReadsOnAt(*owner.id, index);
            Statement next(db_, readsOn ? queries.onward : queries.fromStart);
            next.Bind(1, *owner.id);
            if (readsOn)
                BindPlace(next, bookmark.last);
            else
                next.Bind(2, std::int64_t{index});
            if (!next.Step()) return kErrorNoMoreItems;
            bookmark.Read(*owner.id, index, take(next));
            return kErrorSuccess;
        });
    }
    static void BindPlace(Statement& query, const KeyPlace& place) {
        query.Bind(2, place.folded).Bind(3, place.name);
    }
    static void BindPlace(Statement& query, std::int64_t made) { query.Bind(2, made); }

    struct StoredValue {
        std::string name;  // as first written
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };

    struct Resolved {
        std::optional<std::int64_t> id;
        long error = kErrorSuccess;
    };

    // A handle names a key id; the key may have been deleted since, by this
    // process or another one.
    Resolved Resolve(RegKey key, std::uint32_t neededAccess) {
        std::int64_t id = 0;
        if (key == kHkeyCurrentUser) {
            id = kCurrentUserKeyId;
        } else if (IsPredefinedHive(key)) {
            return {std::nullopt, kErrorFileNotFound};
        } else {
            const auto it = handles_.find(key);
            if (it == handles_.end()) return {std::nullopt, kErrorInvalidHandle};
            if ((it->second.access & neededAccess) != neededAccess)
                return {std::nullopt, kErrorAccessDenied};
            id = it->second.id;
        }
        Statement exists(db_, "SELECT 1 FROM keys WHERE id = ?");
        exists.Bind(1, id);
        if (!exists.Step()) return {std::nullopt, kErrorKeyDeleted};
        return {id, kErrorSuccess};
    }

    // The value of that name whatever its case; the one spelt exactly so
    // first, should a store made before names were folded hold several.
    std::optional<StoredValue> FindValue(std::int64_t keyId, const std::string& name) {
        Statement find(db_,
                       "SELECT name, type, data FROM vals INDEXED BY vals_by_folded "
                       "WHERE key_id = ?1 AND folded = ?2 "
                       "ORDER BY name = ?3 COLLATE BINARY DESC, made LIMIT 1");
        find.Bind(1, keyId).Bind(2, FoldName(name)).Bind(3, name);
        if (!find.Step()) return std::nullopt;
        return StoredValue{find.Text(0), static_cast<std::uint32_t>(find.Int(1)), find.Blob(2)};
    }

    // A store opened without the whole-file check gets it before this
    // connection first changes it: a damaged store is never written to.
    bool ReadyToChange() {
        if (checkedWhole_) return true;
        if (!StoreIsIntact(db_)) {
            broken_ = true;
            problem_ = {StoreTrouble::Damaged, 0};
            return false;
        }
        checkedWhole_ = true;
        return true;
    }

    bool HasAccess(RegKey key, std::uint32_t neededAccess) const {
        if (IsPredefinedHive(key)) return true;
        const auto it = handles_.find(key);
        return it != handles_.end() && (it->second.access & neededAccess) == neededAccess;
    }

    std::optional<std::int64_t> FindChild(std::int64_t parent, const std::string& name) {
        Statement find(db_,
                       "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2 "
                       "ORDER BY name = ?3 COLLATE BINARY DESC, id LIMIT 1");
        find.Bind(1, parent).Bind(2, FoldName(name)).Bind(3, name);
        if (!find.Step()) return std::nullopt;
        return find.Int(0);
    }

    // The key subKey names below key, which needs no access of its own.
    Resolved ResolvePath(RegKey key, const std::string& subKey) {
        const auto base = Resolve(key, 0);
        if (!base.id) return base;
        const auto parts = registry::SplitKeyPath(subKey);
        if (!parts) return {std::nullopt, kErrorFileNotFound};
        std::int64_t id = *base.id;
        for (const auto& part : *parts) {
            const auto child = FindChild(id, part);
            if (!child) return {std::nullopt, kErrorFileNotFound};
            id = *child;
        }
        return {id, kErrorSuccess};
    }

    RegKey NewHandle(std::int64_t id, std::uint32_t access) {
        const RegKey handle = nextHandle_++;
        handles_[handle] = Handle{id, access};
        return handle;
    }

    long Read(const std::function<long()>& body) { return InTransaction("BEGIN", body); }
    long Write(const std::function<long()>& body) { return InTransaction("BEGIN IMMEDIATE", body); }

    // One call, one transaction: committed only when the call succeeds. A
    // call that met another program's lock is run again, as it changed
    // nothing, until the wait runs out. The wait is shared by the calls that
    // follow one another while the store stays busy, so that a program that
    // makes several calls still says "busy" after one bounded wait; a call
    // that goes through makes the whole wait available again.
    long InTransaction(const char* begin, const std::function<long()>& body) {
        const bool writes = std::strcmp(begin, "BEGIN IMMEDIATE") == 0;
        const StoreFault before = problem_;
        const auto deadline = std::chrono::steady_clock::now() + busyWaitLeft_;
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (db_)
                sqlite3_busy_timeout(db_, static_cast<int>(std::max<long long>(0, left.count())));
            int busy = 0;
            const long rc = Attempt(begin, body, &busy);
            // Inside a group the snapshot stays what it was: trying again cannot help.
            if (busy && grouped_) return rc;
            if (!busy) {
                // Waiting that ended well was no failure of the store.
                if (problem_.trouble == StoreTrouble::Busy) problem_ = before;
                // Reads pass beside a held write lock: only a write that got
                // through shows that the store is free again.
                if (writes) busyWaitLeft_ = kRetryFor;
                return rc;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                busyWaitLeft_ = std::chrono::milliseconds(0);
                return rc;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    long Attempt(const char* begin, const std::function<long()>& body, int* busy) {
        if (!db_ || broken_) return Unusable();
        if (unusable_ != kErrorSuccess) return StillUnusable();
        // Inside a group each call is a savepoint, so that a failing call still changes nothing.
        if (grouped_) {
            // A failure that made SQLite give up the group's transaction ends the group.
            if (sqlite3_get_autocommit(db_)) return kErrorRegistryIoFailed;
            begin = "SAVEPOINT registry_call";
        }
        try {
            Statement(db_, begin).Run();
        } catch (const StoreFailure& failure) {
            *busy = IsBusy(failure.code);
            return Failed(failure.code);
        }
        long rc = kErrorSuccess;
        try {
            rc = body();
            if (rc == kErrorSuccess) {
                Statement(db_, grouped_ ? "RELEASE registry_call" : "COMMIT").Run();
                return rc;
            }
        } catch (const StoreFailure& failure) {
            *busy = IsBusy(failure.code);
            rc = Failed(failure.code);
        } catch (const std::exception&) {
            problem_ = {StoreTrouble::Io, 0};
            rc = kErrorRegistryIoFailed;
        }
        sqlite3_exec(db_,
                     grouped_ ? "ROLLBACK TO registry_call; RELEASE registry_call" : "ROLLBACK",
                     nullptr, nullptr, nullptr);
        return rc;
    }

    static bool IsBusy(int code) {
        const int primary = code & 0xFF;
        return primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_PROTOCOL;
    }

    // Once the file shows damage, nothing more is written to it.
    long Failed(int sqliteCode) {
        problem_ = FaultOf(db_, sqliteCode);
        if (problem_.trouble == StoreTrouble::Damaged) broken_ = true;
        return ResultOf(problem_.trouble);
    }

    // A store that was never opened, or showed damage: every call fails.
    long Unusable() {
        problem_ = db_ ? StoreFault{StoreTrouble::Damaged, 0} : openFault_;
        return ResultOf(problem_.trouble);
    }

    // A store that could not be brought up to date fails every call alike.
    long StillUnusable() {
        problem_ = unusableFault_;
        return unusable_;
    }

    sqlite3* db_;
    bool broken_ = false;
    bool checkedWhole_;
    StoreFault openFault_;
    std::string path_;
    StoreFault problem_;
    std::chrono::milliseconds busyWaitLeft_ = kRetryFor;
    RegKey nextHandle_ = 1;
    std::map<RegKey, Handle> handles_;
    std::map<RegKey, Cursor> cursors_;
    bool grouped_ = false;
    long unusable_ = kErrorSuccess;
    StoreFault unusableFault_;
};

}  // namespace

std::unique_ptr<Registry> OpenSqliteRegistry(const std::string& dbPath, StoreAccess access) {
    bool checkedWhole = false;
    StoreFault fault;
    sqlite3* db = OpenStoreFile(dbPath, &checkedWhole, &fault, access == StoreAccess::ReadOnly);
    if (!db && fault.trouble == StoreTrouble::None) fault.trouble = StoreTrouble::Damaged;
    auto registry = std::make_unique<SqliteRegistry>(db, checkedWhole, fault, dbPath);
    registry->UpdateNames();
    return registry;
}

std::string DefaultRegistryPath() {
    std::filesystem::path base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::filesystem::path(home) / ".config";
    } else {
        base = ".config";
    }
    const auto folder = base / "kestrow";
    // Folders made here are private to the user, as the store in them is. One
    // that cannot be made shows as a store that cannot be opened.
    // The walk from the root is needed only when a folder above is missing.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno == ENOENT) {
        std::filesystem::path sofar;
        for (const auto& part : folder) {
            sofar /= part;
            if (::mkdir(sofar.c_str(), 0700) != 0 && errno != EEXIST) break;
        }
    }
    return (folder / "registry.db").string();
}

}  // namespace platform::posix

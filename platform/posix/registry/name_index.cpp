#include "platform/posix/registry/name_index.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/registry/name_folding.h"
#include "platform/posix/registry/sqlite_connection.h"

namespace platform::posix {

namespace {

bool HasColumn(sqlite3* db, const char* table, const char* column) {
    Statement info(db, "SELECT name FROM pragma_table_info(?)", Statement::Use::Once);
    info.Bind(1, std::string(table));
    while (info.Step()) {
        if (info.Text(0) == column) return true;
    }
    return false;
}

bool HasColumns(sqlite3* db) {
    return HasColumn(db, "keys", "folded") && HasColumn(db, "vals", "folded") &&
           HasColumn(db, "vals", "made");
}

// The partial indexes make finding rows left without these columns instant.
constexpr const char* kAddColumns = R"sql(
ALTER TABLE keys ADD COLUMN folded TEXT;
ALTER TABLE vals ADD COLUMN folded TEXT;
ALTER TABLE vals ADD COLUMN made INTEGER;
CREATE INDEX IF NOT EXISTS keys_by_folded ON keys(parent, folded, name);
CREATE INDEX IF NOT EXISTS keys_unfolded ON keys(id) WHERE folded IS NULL;
CREATE INDEX IF NOT EXISTS vals_by_folded ON vals(key_id, folded);
CREATE INDEX IF NOT EXISTS vals_by_made ON vals(key_id, made);
CREATE INDEX IF NOT EXISTS vals_unindexed ON vals(key_id) WHERE folded IS NULL OR made IS NULL;
)sql";

void FoldKeyNames(sqlite3* db) {
    std::vector<std::pair<std::int64_t, std::string>> unfolded;
    {
        Statement find(db, "SELECT id, name FROM keys WHERE folded IS NULL");
        while (find.Step()) unfolded.emplace_back(find.Int(0), find.Text(1));
    }
    for (const auto& [id, name] : unfolded) {
        Statement update(db, "UPDATE keys SET folded = ? WHERE id = ?");
        update.Bind(1, FoldName(name)).Bind(2, id).Run();
    }
}

// Values without an order go after those with one, in the order in which
// they were listed before: by name.
void IndexValues(sqlite3* db) {
    struct Row {
        std::int64_t key;
        std::string name;
    };
    std::vector<Row> rows;
    {
        Statement find(db,
                       "SELECT key_id, name FROM vals WHERE folded IS NULL OR made IS NULL "
                       "ORDER BY key_id, name COLLATE NOCASE, name COLLATE BINARY");
        while (find.Step()) rows.push_back({find.Int(0), find.Text(1)});
    }
    std::int64_t key = 0;
    std::int64_t next = 0;
    for (const auto& row : rows) {
        if (row.key != key || next == 0) {
            key = row.key;
            Statement last(db, "SELECT coalesce(max(made), 0) FROM vals WHERE key_id = ?");
            last.Bind(1, key);
            last.Step();
            next = last.Int(0) + 1;
        }
        // The primary key tells names apart as far as ASCII case: it finds the one row.
        Statement update(db,
                         "UPDATE vals SET folded = ?, made = coalesce(made, ?) "
                         "WHERE key_id = ? AND name = ?");
        update.Bind(1, FoldName(row.name)).Bind(2, next++).Bind(3, row.key).Bind(4, row.name).Run();
    }
}

}  // namespace

// One statement, as it runs at every start of every program: a store without
// the columns fails to prepare it.
bool NameIndexIsCurrent(sqlite3* db) {
    try {
        Statement unindexed(db,
                            "SELECT EXISTS(SELECT 1 FROM keys WHERE folded IS NULL) OR "
                            "EXISTS(SELECT 1 FROM vals WHERE folded IS NULL OR made IS NULL)",
                            Statement::Use::Once);
        return unindexed.Step() && unindexed.Int(0) == 0;
    } catch (const StoreFailure& failure) {
        if ((failure.code & 0xFF) == SQLITE_ERROR && !HasColumns(db)) return false;
        throw;
    }
}

void UpdateNameIndex(sqlite3* db) {
    if (!HasColumns(db)) Execute(db, kAddColumns);
    FoldKeyNames(db);
    IndexValues(db);
}

}  // namespace platform::posix

// The registry of the current user on POSIX: a SQLite database file holding
// keys (a tree; names case-insensitive beyond ASCII, case-preserving) and
// values (name, type code, raw bytes, listed in the order they were made).
// Every call is one transaction, or one step of a group of calls that is kept
// whole or not at all; a store that cannot be opened or is damaged makes every
// call fail, and the file is never overwritten, truncated or deleted.
#pragma once

#include <memory>
#include <string>

#include "platform/registry/registry.h"

namespace platform::posix {

// ReadOnly opens the store as SQLite opens a file it may not write: every
// change is refused, as on a read-only file system.
enum class StoreAccess { ReadWrite, ReadOnly };

// Opens the store at dbPath, creating it when missing unless it is opened
// ReadOnly. A store that cannot be
// opened answers every call with a failure and the reason; only a lack of
// memory throws.
std::unique_ptr<Registry> OpenSqliteRegistry(const std::string& dbPath,
                                             StoreAccess access = StoreAccess::ReadWrite);

// ${XDG_CONFIG_HOME:-$HOME/.config}/kestrow/registry.db
std::string DefaultRegistryPath();

}  // namespace platform::posix

// The columns by which the registry finds names and lists values, kept beside
// the tables every store has: the folded form of each key and value name
// (names are one name whatever their case), and the order in which values
// were made (values are listed in that order, as Windows lists them).
//
// Stores made before these columns existed, and rows written by a program
// that does not know them, are brought up to date when a store is opened:
// names stored before keep their spelling, and their values keep the order in
// which they were listed before (by name).
#pragma once

#include <sqlite3.h>

namespace platform::posix {

// True when the columns are there and every row has them filled in. Only reads.
bool NameIndexIsCurrent(sqlite3* db);

// Adds what NameIndexIsCurrent found missing. Runs inside the caller's write
// transaction; throws StoreFailure.
void UpdateNameIndex(sqlite3* db);

}  // namespace platform::posix

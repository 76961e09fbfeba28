// The output of the query operation, laid out as the Windows reg command
// lays it out.
#pragma once

#include <string>
#include <vector>

#include "registry_tree.h"

namespace regtool {

// "    name    TYPE    data", with "(Default)" for the unnamed value.
std::string ValueLine(const Value& value);

// A key with its values and the full names of its sub-keys; with recursive
// (keys holds the whole tree, parents first) every key with its values.
std::string KeyListing(const std::vector<KeyContents>& keys, bool recursive);

// The keys holding a value of the given name, each with that value, and the
// closing count that a recursive search prints.
std::string ValueSearch(const std::vector<KeyContents>& keys, const std::string& name,
                        std::size_t* matches);

}  // namespace regtool

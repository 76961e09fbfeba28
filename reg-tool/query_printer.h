// The output of the query operation, laid out as the Windows reg command
// lays it out.
#pragma once

#include <string>
#include <vector>

#include "reg-tool/registry_tree.h"

namespace reg_tool {

struct ShowOptions {
    std::string separator = "\\0";  // between the strings of REG_MULTI_SZ data
    bool typeNumbers = false;       // "REG_SZ (1)"
};

// "    name    TYPE    data", with "(Default)" for the unnamed value.
std::string ValueLine(const Value& value, const ShowOptions& show = {});

// A key with its values and the full names of its sub-keys; with recursive
// (keys holds the whole tree, parents first) every key with its values. The
// first key is named only when it has values.
std::string KeyListing(const std::vector<KeyContents>& keys, bool recursive,
                       const ShowOptions& show = {});

}  // namespace reg_tool

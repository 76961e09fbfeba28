// The .reg text format: "Windows Registry Editor Version 5.00" files (UTF-16LE
// with a byte-order mark, CRLF line ends) written by export and read by
// import, which also takes UTF-8 or ASCII files and "REGEDIT4" ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reg-tool/registry_tree.h"

namespace reg_tool {

struct RegFileEntry {
    enum class Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue };
    Kind kind = Kind::kCreateKey;
    std::string path;  // below HKEY_CURRENT_USER
    std::string name;
    std::uint32_t type = 0;
    Bytes data;
};

// The file's bytes for the given keys, in the order given.
std::string ExportRegFile(const std::vector<KeyContents>& keys);

// Every entry of the file, in order; nullopt with a message naming the line
// when any part of it is malformed, so that nothing is applied.
std::optional<std::vector<RegFileEntry>> ParseRegFile(const std::string& bytes, std::string* error);

}  // namespace reg_tool

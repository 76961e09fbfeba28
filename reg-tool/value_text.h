// Value types and data as the command line writes and shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reg_tool {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRegQword = 11;

// "REG_SZ" for 1 and so on; "REG_UNKNOWN" for a code without a name.
std::string TypeName(std::uint32_t type);

// The type code of a name the add command accepts (case-insensitive).
std::optional<std::uint32_t> TypeFromName(const std::string& name);

// The stored bytes for the data of the add command. separator splits
// REG_MULTI_SZ data ("\0", the two characters, by default). On failure
// returns nullopt and sets error.
std::optional<Bytes> DataFromText(std::uint32_t type, const std::string& data,
                                  const std::string& separator, std::string* error);

// The data as query shows it; separator goes between the strings of
// REG_MULTI_SZ data.
std::string DisplayData(std::uint32_t type, const Bytes& data,
                        const std::string& separator = "\\0");

// Upper-case hexadecimal digits, two a byte, no separators.
std::string HexDigits(const Bytes& data);

}  // namespace reg_tool

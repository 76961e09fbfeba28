// Splitting of registry sub-key paths into their components.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform::registry {

// The backslash-separated components of path; an empty path has none. A path
// with an empty component (a leading, trailing or doubled backslash) or a
// component longer than a key name may be gives nullopt: such a path names no
// key, and collapsing it silently would address a different one.
std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path);

// The longest key name Windows accepts, in characters.
constexpr std::size_t kMaxKeyNameLength = 255;

}  // namespace platform::registry

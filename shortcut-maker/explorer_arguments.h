// The one rule for the Explorer command line a folder shortcut carries.
#pragma once

#include <cstdint>
#include <string>

namespace shortcut_maker {

// "/e," for the two-pane window or "/n," for a folder window, "/root," when
// the tree is rooted at the folder (all-folders off), then the quoted path.
// Each flag counts as on only when it equals 1.
std::string ComposeExplorerArguments(std::int32_t lngAll, std::int32_t lngTwo,
                                     const std::string& strPath);

}  // namespace shortcut_maker

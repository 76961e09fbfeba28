// The checks of a shortcut object's fields that every shell backend makes
// before it writes, so that both platforms refuse the same shortcuts with
// the same words. Each throws PlatformError.
#pragma once

#include <string>

namespace platform {

// The shortcut file's path must end in ".lnk", in any case.
void CheckShortcutPath(const std::string& path);

// 1 normal, 3 maximized or 7 minimized.
void CheckWindowStyle(int windowStyle);

struct IconPlace {
    std::string file;
    int index = 0;
};

// "file,index" split at its last comma; without a comma the icon number is 0.
IconPlace SplitIconLocation(const std::string& location);

}  // namespace platform

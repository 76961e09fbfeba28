#include "shortcut-maker/explorer_arguments.h"

namespace shortcut_maker {

std::string ComposeExplorerArguments(std::int32_t lngAll, std::int32_t lngTwo,
                                     const std::string& strPath) {
    std::string arguments = lngTwo == 1 ? "/e," : "/n,";
    if (lngAll != 1) arguments += "/root,";
    arguments += '"';
    arguments += strPath;
    arguments += '"';
    return arguments;
}

}  // namespace shortcut_maker

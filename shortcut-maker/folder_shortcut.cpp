#include "shortcut-maker/folder_shortcut.h"

#include "shortcut-maker/explorer_arguments.h"

namespace shortcut_maker {

FolderShortcut MakeFolderShortcut(const std::string& folder, std::int32_t lngAll,
                                  std::int32_t lngTwo, std::int32_t windowStyle) {
    return {"explorer.exe", ComposeExplorerArguments(lngAll, lngTwo, folder), windowStyle,
            "Shortcut to the folder\r\n" + folder};
}

}  // namespace shortcut_maker

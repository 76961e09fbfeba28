// A shortcut that opens a folder in Explorer with the chosen view: what the
// options dialog and direct mode hand to the shortcut writer, whole.
#pragma once

#include <cstdint>
#include <string>

namespace shortcut_maker {

// The window styles a shortcut asks Explorer for.
constexpr std::int32_t kWindowNormal = 1;
constexpr std::int32_t kWindowMaximized = 3;

struct FolderShortcut {
    std::string TargetPath;
    std::string Arguments;
    std::int32_t WindowStyle = kWindowNormal;
    std::string Description;
};

// Explorer with the arguments of ComposeExplorerArguments for folder, the
// window style, and a description that names the folder.
FolderShortcut MakeFolderShortcut(const std::string& folder, std::int32_t lngAll,
                                  std::int32_t lngTwo, std::int32_t windowStyle);

}  // namespace shortcut_maker

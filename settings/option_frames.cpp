#include "settings/option_frames.h"

namespace settings {
namespace {

// Places within the grid, in twips.
constexpr int kLeftColumn = 240;
constexpr int kRightColumn = 3720;
constexpr int kRowHeight = 1650;
constexpr int kFrameWidth = 3225;
constexpr int kFrameHeight = 1470;
// Places within a frame.
constexpr int kButtonLeft = 240;
constexpr int kFirstButtonTop = 405;
constexpr int kSecondButtonTop = 930;
constexpr int kButtonHeight = 270;

platform::forms::TwipsRect FrameAt(int left, int top) {
    return {left, top, kFrameWidth, kFrameHeight};
}

platform::forms::TwipsRect ButtonAt(int top, int width) {
    return {kButtonLeft, top, width, kButtonHeight};
}

}  // namespace

OptionFrames::OptionFrames(platform::forms::Form& form, int top, int firstTabIndex)
    : fraFolderTree(form, "fraFolderTree", FrameAt(kLeftColumn, top), firstTabIndex, "Folder tree"),
      fraShortcutLocation(form, "fraShortcutLocation", FrameAt(kRightColumn, top),
                          firstTabIndex + 3, "Shortcut location"),
      fraWindowStyle(form, "fraWindowStyle", FrameAt(kLeftColumn, top + kRowHeight),
                     firstTabIndex + 6, "Window style"),
      fraWindowSize(form, "fraWindowSize", FrameAt(kRightColumn, top + kRowHeight),
                    firstTabIndex + 9, "Window size"),
      optAllFolders(form, &fraFolderTree, "optAllFolders", ButtonAt(kFirstButtonTop, 2475),
                    firstTabIndex + 1, "Show all folders", true),
      optSubfoldersOnly(form, &fraFolderTree, "optSubfoldersOnly", ButtonAt(kSecondButtonTop, 2475),
                        firstTabIndex + 2, "Show subfolders only", false),
      optSideMenu(form, &fraShortcutLocation, "optSideMenu", ButtonAt(kFirstButtonTop, 2460),
                  firstTabIndex + 4, "Put shortcut on side menu", true),
      optStartMenu(form, &fraShortcutLocation, "optStartMenu", ButtonAt(kSecondButtonTop, 2460),
                   firstTabIndex + 5, "Put shortcut on Start Menu", false),
      optTwoPane(form, &fraWindowStyle, "optTwoPane", ButtonAt(kFirstButtonTop, 2460),
                 firstTabIndex + 7, "Show two-pane window", true),
      optFolderWindow(form, &fraWindowStyle, "optFolderWindow", ButtonAt(kSecondButtonTop, 2460),
                      firstTabIndex + 8, "Show folder window only", false),
      optMaximized(form, &fraWindowSize, "optMaximized", ButtonAt(kFirstButtonTop, 2460),
                   firstTabIndex + 10, "Maximized", true),
      optNormal(form, &fraWindowSize, "optNormal", ButtonAt(kSecondButtonTop, 2460),
                firstTabIndex + 11, "Normal", false) {}

}  // namespace settings

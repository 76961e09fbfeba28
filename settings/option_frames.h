// The four option frames of both programs' options dialogs: two rows of two
// frames, each holding the option pair of one setting, the first button of
// a pair on. The dialogs differ only in where the first row lies and where
// their tab order starts.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace settings {

class OptionFrames {
  public:
    // top: the first row's top in twips; firstTabIndex: fraFolderTree's.
    OptionFrames(platform::forms::Form& form, int top, int firstTabIndex);

    // The frames come first: each button is made inside its frame.
    platform::forms::Frame fraFolderTree, fraShortcutLocation, fraWindowStyle, fraWindowSize;
    platform::forms::OptionButton optAllFolders, optSubfoldersOnly;  // in fraFolderTree
    platform::forms::OptionButton optSideMenu, optStartMenu;         // in fraShortcutLocation
    platform::forms::OptionButton optTwoPane, optFolderWindow;       // in fraWindowStyle
    platform::forms::OptionButton optMaximized, optNormal;           // in fraWindowSize
};

}  // namespace settings

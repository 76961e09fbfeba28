// The four option frames of both programs' options dialogs: two rows of two
// frames, each holding the option pair of one setting, the first button of
// a pair on. The dialogs differ only in where the first row lies and where
// their tab order starts.
#pragma once

#include "forms/controls.h"
#include "forms/form.h"

namespace settings {

class OptionFrames {
  public:
    // top: the first row's top in twips; firstTabIndex: fraFolderTree's.
    OptionFrames(platform::forms::Form& form, int top, int firstTabIndex);

    platform::forms::Frame fraFolderTree;
    platform::forms::OptionButton optAllFolders;
    platform::forms::OptionButton optSubfoldersOnly;
    platform::forms::Frame fraShortcutLocation;
    platform::forms::OptionButton optSideMenu;
    platform::forms::OptionButton optStartMenu;
    platform::forms::Frame fraWindowStyle;
    platform::forms::OptionButton optTwoPane;
    platform::forms::OptionButton optFolderWindow;
    platform::forms::Frame fraWindowSize;
    platform::forms::OptionButton optMaximized;
    platform::forms::OptionButton optNormal;
};

}  // namespace settings

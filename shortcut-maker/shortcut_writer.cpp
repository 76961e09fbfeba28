// Writing the folder shortcuts and the side menu's own one.
#include <optional>

#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/text/text.h"
#include "shortcut-maker/explorer_arguments.h"
#include "shortcut-maker/folder_shortcut.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker {

namespace {

const std::string kExplorerIcon = "explorer.exe,1";
const std::string kOwnShortcutName = "Kestrow.lnk";

void FillFolderShortcut(platform::WshShortcut& shortcut, const FolderShortcut& folder) {
    shortcut.TargetPath = folder.TargetPath;
    shortcut.Arguments = folder.Arguments;
    shortcut.WindowStyle = folder.WindowStyle;
    shortcut.IconLocation = kExplorerIcon;
    shortcut.Description = folder.Description;
}

std::string WithoutOneTrailingBackslash(std::string path) {
    if (platform::text::EndsWith(path, "\\")) path.pop_back();
    return path;
}

}  // namespace

std::string modMain::ComposeExplorerArguments(std::int32_t lngAll, std::int32_t lngTwo,
                                              const std::string& strPath) {
    return shortcut_maker::ComposeExplorerArguments(lngAll, lngTwo, strPath);
}

settings::Outcome modMain::CreateShortcutDirectly() {
    return Trap([&] {
        // The settings could not be loaded and the user has been told: no
        // shortcut with made-up options.
        if (Settings.LoadDefaultSettings() == settings::Outcome::Reported) return;

        Shortcut = MakeFolderShortcut(FolderPath, lngAllFolders, lngTwoPane,
                                      lngMaximized == 1 ? kWindowMaximized : kWindowNormal);
        ShortcutName = DefaultName;
        if (!PrepareShortcutPath(lngSideMenu == 1)) return;
        if (!ReplaceExistingShortcut()) return;
        CreateFolderShortcut();
    });
}

bool modMain::PrepareShortcutPath(bool blnSideMenu) {
    ShortcutPath = (blnSideMenu ? SideMenuPath : StartMenuPath) + ShortcutName + ".lnk";
    if (!ShortcutPathIsSafe()) {
        RefuseUnsafeShortcutPath();
        return false;
    }
    if (blnSideMenu && !GetFileSystem().FolderExists(SideMenuPath)) {
        const std::optional<platform::Failure> failure =
            platform::Attempt([&] { GetFileSystem().CreateFolder(SideMenuPath); });
        // Another run may have made it since it was looked for: a side menu
        // that is there is all this step is for, whoever made it.
        if (failure && !GetFileSystem().FolderExists(SideMenuPath))
            throw platform::PlatformError(failure->text);
    }
    return true;
}

bool modMain::ReplaceExistingShortcut() {
    if (!GetFileSystem().FileExists(ShortcutPath)) return true;
    using namespace platform::forms;
    const int answer = Ui().MsgBox(
        "A shortcut called " + ShortcutName + " already exists. Do you want to replace it?",
        kMbYesNo | kMbIconQuestion | kMbDefButton1, kTitle);
    if (answer != kIdYes) return false;
    // Nothing is deleted: the saved file takes the old one's place in one
    // step, so a run cut short keeps it. A read-only one is refused now, as
    // deleting it without force would be; one already gone is no obstacle.
    const int attributes =
        platform::AnswerOr(0, [&] { return platform_.files->GetAttr(ShortcutPath); });
    if (attributes & platform::kAttrReadOnly) {
        throw platform::PlatformError("Permission denied: \"" + ShortcutPath + "\" is read-only.");
    }
    return true;
}

settings::Outcome modMain::CreateFolderShortcut() {
    return Trap([&] {
        // Every caller checks first; this guards the write itself.
        if (!ShortcutPathIsSafe()) throw platform::PlatformError("shortcut outside the Start Menu");

        CurrentShortcut = GetScriptShell().CreateShortcut(ShortcutPath);
        FillFolderShortcut(*CurrentShortcut, Shortcut);
        CurrentShortcut->Save();
        Ui().DoEvents();

        const std::string ownShortcutPath = SideMenuPath + kOwnShortcutName;
        const bool ownShortcutMissing = !IsExistingFile(ownShortcutPath);
        const bool sideMenuExists = IsExistingFolder(SideMenuPath);
        // A side menu that is a link to another folder gets nothing from us.
        const bool sideMenuInside = platform::AnswerOr(
            false, [&] { return platform_.isInsideFolder(ownShortcutPath, StartMenuPath); });
        if (ownShortcutMissing && sideMenuExists && sideMenuInside) {
            CurrentShortcut = GetScriptShell().CreateShortcut(ownShortcutPath);
            FillFolderShortcut(
                *CurrentShortcut,
                MakeFolderShortcut(SideMenuPath, lngAllFolders, lngTwoPane, ShortcutWindowStyle));
            CurrentShortcut->Save();
        }
        AdviseOnMenuDelay();
    });
}

bool modMain::IsExistingFolder(const std::string& strPath) {
    return platform::AnswerOr(false, [&] {
        platform::FileQueries& files = *platform_.files;
        std::string copy = strPath;
        if (platform::text::Length(copy) <= 3) {
            const int driveType = files.GetDriveType(WithoutOneTrailingBackslash(copy));
            return driveType >= platform::kDriveRemovable && driveType <= platform::kDriveRamDisk;
        }
        copy = WithoutOneTrailingBackslash(copy);
        const std::string name = GetLastPathComponent(copy, "\\");
        const std::string entry = files.Dir(copy, platform::kAttrDirectory);
        const int attributes = files.GetAttr(copy);
        return entry == name && (attributes & platform::kAttrDirectory) != 0;
    });
}

bool modMain::IsExistingFile(const std::string& strPath) {
    return platform::AnswerOr(false, [&] {
        const std::string copy = WithoutOneTrailingBackslash(strPath);
        const std::string name = GetLastPathComponent(copy, "\\");
        const std::string entry = platform_.files->Dir(
            copy, platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem);
        return entry == name;
    });
}

}  // namespace shortcut_maker

// readme-pictures FOLDER: shows the windows of both programs, offscreen, on
// a scratch home folder and saves each one as a PNG in FOLDER, for the
// README. The programs run on their real platform; only the folder browser
// is answered, with a folder of a made-up user.
#include <stdlib.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <string>

#include "defaults-editor/frm_options.h"
#include "defaults-editor/mod_main.h"
#include "platform/forms/user_interface.h"
#include "platform/posix/forms/backend_loader.h"
#include "platform/posix/posix_platform.h"
#include "platform/testing/answered_folder_browser.h"
#include "shortcut-maker/frm_about.h"
#include "shortcut-maker/frm_options.h"
#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/mod_main.h"

namespace {

namespace fs = std::filesystem;

QWidget* VisibleWindow(const QString& objectName) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == objectName) return window;
    }
    return nullptr;
}

// Saves the window's client area; false (and a note) when it is not shown.
bool Save(const QString& objectName, const fs::path& file) {
    QApplication::processEvents();
    QWidget* window = VisibleWindow(objectName);
    if (!window || !window->grab().save(QString::fromStdString(file.string()), "PNG")) {
        std::fprintf(stderr, "readme-pictures: no picture of %s\n", qPrintable(objectName));
        return false;
    }
    std::printf("%s\n", file.c_str());
    return true;
}

platform::Platform MakePlatform(const fs::path& scratch) {
    platform::posix::PosixPlatformOptions options;
    options.programPath = fs::read_symlink("/proc/self/exe").string();
    options.registryPath = (scratch / "registry.db").string();
    const std::string programFolder = fs::path(options.programPath).parent_path().string();
    options.formsBackend = [programFolder] {
        return std::make_unique<platform::testing::AnsweredFolderBrowser>(
            platform::posix::LoadBestBackend(programFolder), "/home/ann/Pictures/Trips 2026");
    };
    return platform::posix::MakePosixPlatform(options);
}

bool ShootShortcutMaker(const fs::path& scratch, const fs::path& out) {
    platform::Platform bundle = MakePlatform(scratch);
    shortcut_maker::modMain program(bundle);
    program.Main("");
    bool saved = Save("frmOptions", out / "options-dialog.png");

    // Shown without waiting, so that it can be photographed.
    bundle.ui->Show(program.AboutForm(), platform::forms::ShowMode::Modeless,
                    &program.OptionsForm());
    saved &= Save("frmAbout", out / "about-box.png");
    bundle.ui->Unload(program.AboutForm());

    program.OptionsForm().cmdHelp.Click();
    saved &= Save("helpWindow", out / "help-window.png");

    bundle.ui->Show(program.StartMenuSettingForm());
    saved &= Save("frmStartMenuSetting", out / "start-menu-setting.png");
    program.UnloadAllForms();
    return saved;
}

bool ShootDefaultsEditor(const fs::path& scratch, const fs::path& out) {
    platform::Platform bundle = MakePlatform(scratch);
    defaults_editor::modMain program(bundle);
    program.Main();
    const bool saved = Save("frmOptions", out / "defaults-editor.png");
    bundle.ui->Unload(program.Options());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: readme-pictures FOLDER\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    char scratchName[] = "/tmp/kestrow-pictures-XXXXXX";
    if (!::mkdtemp(scratchName)) {
        std::perror("readme-pictures: mkdtemp");
        return 1;
    }
    const fs::path scratch = scratchName;
    // The same pictures on every machine: no desktop, no user settings.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const fs::path folder = scratch / name;
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all);
        ::setenv(name, folder.c_str(), 1);
    }
    fs::create_directories(out);

    bool saved = false;
    {
        QApplication application(argc, argv);
        saved = ShootShortcutMaker(scratch, out);
        saved &= ShootDefaultsEditor(scratch, out);
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return saved ? 0 : 1;
}

#include "shortcut-maker/frm_start_menu_setting.h"

#include <exception>

#include "platform/forms/user_interface.h"
#include "settings/easy_reg.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker {

namespace {

platform::forms::FormStyle AdvisorStyle() {
    return platform::forms::DialogBoxStyle("Start Menu setting", 6960, 2340,
                                           platform::forms::StartUpPosition::CenterScreen);
}

}  // namespace

frmStartMenuSetting::frmStartMenuSetting(modMain& main)
    : Form(main.Ui(), "frmStartMenuSetting", AdvisorStyle()), main_(main) {
    cmdYes.OnClick = [this] { cmdYes_Click(); };
    cmNo.OnClick = [this] { cmNo_Click(); };
    cmdNoMore.OnClick = [this] { cmdNoMore_Click(); };
}

void frmStartMenuSetting::cmdYes_Click() {
    main_.Trap([&] {
        settings::EasyReg reg(main_.Store());
        reg.SetString("MenuShowDelay", "100", settings::kSettingsHive, "Control Panel\\Desktop");
        Ui().Unload(*this);
    });
}

void frmStartMenuSetting::cmNo_Click() {
    main_.Trap([&] { Ui().Unload(*this); });
}

void frmStartMenuSetting::cmdNoMore_Click() {
    main_.Trap([&] {
        settings::EasyReg reg(main_.Store());
        reg.SetDWord("CheckStartMenuDelay", 0, settings::kSettingsHive, settings::kSettingsKey);
        Ui().Unload(*this);
    });
}

}  // namespace shortcut_maker

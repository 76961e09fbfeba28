// The advisor that offers to lower the Start Menu delay to 100 ms.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace shortcut_maker {

class modMain;

class frmStartMenuSetting : public platform::forms::Form {
  public:
    explicit frmStartMenuSetting(modMain& main);

    void cmdYes_Click();
    void cmNo_Click();
    void cmdNoMore_Click();

    platform::forms::CommandButton cmdYes{*this, nullptr,      "cmdYes", {270, 1680, 1965, 405},
                                          0,     "Yes, please"};
    platform::forms::CommandButton cmNo{*this, nullptr,        "cmNo", {2505, 1680, 1965, 405},
                                        1,     "No, thank you"};
    platform::forms::CommandButton cmdNoMore{
        *this, nullptr, "cmdNoMore", {4740, 1680, 1965, 405}, 2, "No, and don't ask again"};
    platform::forms::Label lblInfo1{
        *this,      nullptr,
        "lblInfo1", {270, 255, 6150, 285},
        3,          "Your Start Menu has a delay of more than 100 milliseconds."};
    platform::forms::Label lblInfo2{*this,      nullptr,
                                    "lblInfo2", {270, 705, 6150, 285},
                                    4,          "Kestrow can lower the value to 100 milliseconds."};
    platform::forms::Label Label1{
        *this,    nullptr,
        "Label1", {270, 1155, 6150, 285},
        5,        "After the next reboot your Start Menu will be more responsive."};

  private:
    modMain& main_;
};

}  // namespace shortcut_maker

// The About box: name, slogan, copyright, disclaimer, and links to the
// product's web page and the maker's mail address.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace shortcut_maker {

class modMain;

class frmAbout : public platform::forms::Form {
  public:
    explicit frmAbout(modMain& main);

    void cmdOK_Click();
    void Form_KeyDown(int KeyCode, int Shift) override;
    void lblLink_Click();
    void lblMailLink_Click();

    using Label = platform::forms::Label;

    platform::forms::PictureBox picInfo{
        *this, "picInfo", {563, 540, 7305, 4740}, 1, "pictures/about.jpg"};
    Label lblTitle{*this, &picInfo, "lblTitle", {1530, 255, 4230, 315}, 2, "Kestrow 2005"};
    Label lblSlogan{*this,       &picInfo,
                    "lblSlogan", {1395, 645, 4515, 195},
                    3,           "The original power tool for shortcuts to folders"};
    Label lblCopyright{*this,
                       &picInfo,
                       "lblCopyright",
                       {1290, 960, 4710, 195},
                       4,
                       "Copyright \u00a9 2005 Tamsholt"};
    Label lblMoreInfo{*this,
                      &picInfo,
                      "lblMoreInfo",
                      {1530, 1275, 4230, 195},
                      5,
                      "Learn more about Kestrow on the web:"};
    Label lblLink{
        *this, &picInfo, "lblLink", {2505, 1590, 2295, 195}, 6, "http://tamsholt.example/"};
    Label lblFeedbackInfo{*this,
                          &picInfo,
                          "lblFeedbackInfo",
                          {1530, 1905, 4230, 195},
                          7,
                          "Do you like Kestrow? Let the programmer know:"};
    Label lblMailLink{
        *this, &picInfo, "lblMailLink", {2610, 2220, 2070, 195}, 8, "kestrow@tamsholt.example"};
    Label lblDisclaimer{*this,
                        &picInfo,
                        "lblDisclaimer",
                        {1245, 2535, 4815, 600},
                        9,
                        "This free software is provided as is, without warranties of any kind. "
                        "The copyright holder is not responsible for any direct or indirect "
                        "consequence of using this software."};
    platform::forms::CommandButton cmdOK{*this, &picInfo, "cmdOK", {3075, 3690, 1140, 345},
                                         0,     "OK"};

  private:
    modMain& main_;
};

}  // namespace shortcut_maker

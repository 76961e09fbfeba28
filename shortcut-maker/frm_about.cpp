#include "shortcut-maker/frm_about.h"

#include <exception>

#include "platform/forms/user_interface.h"
#include "shortcut-maker/mod_main.h"

namespace shortcut_maker {

namespace {

using namespace platform::forms;

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kLinkBlue = 0x0000C0;
constexpr int kEscape = 27;

FormStyle AboutStyle() {
    FormStyle style =
        DialogBoxStyle("About Kestrow 2005", 8430, 5820, StartUpPosition::CenterOwner);
    style.keyPreview = true;  // Escape closes the box
    return style;
}

void LookLikeLink(Label& label) {
    label.SetColours(kLinkBlue, kWhite);
    label.SetFont({"MS Sans Serif", 8.25, false, true});
    label.SetPointer(MousePointer::PointingHand);
}

}  // namespace

frmAbout::frmAbout(modMain& main) : Form(main.Ui(), "frmAbout", AboutStyle()), main_(main) {
    picInfo.SetColours(std::nullopt, kWhite);
    for (Label* label : {&lblTitle, &lblSlogan, &lblCopyright, &lblMoreInfo, &lblLink,
                         &lblFeedbackInfo, &lblMailLink, &lblDisclaimer}) {
        label->SetColours(std::nullopt, kWhite);
        label->SetTextAlignment(Alignment::Center);
    }
    lblTitle.SetFont({"Arial", 12, true, false});
    lblTitle.SetColours(kBlack, kWhite);
    lblDisclaimer.SetColours(kBlack, kWhite);
    lblDisclaimer.SetWordWrap(true);
    LookLikeLink(lblLink);
    LookLikeLink(lblMailLink);

    cmdOK.OnClick = [this] { cmdOK_Click(); };
    lblLink.OnClick = [this] { lblLink_Click(); };
    lblMailLink.OnClick = [this] { lblMailLink_Click(); };
}

void frmAbout::cmdOK_Click() {
    main_.Trap([&] { Ui().Unload(*this); });
}

void frmAbout::Form_KeyDown(int KeyCode, int) {
    main_.Trap([&] {
        if (KeyCode == kEscape) Ui().Unload(*this);
    });
}

void frmAbout::lblLink_Click() {
    platform::RunTrapped([&] { main_.OpenWebLink(lblLink.Caption()); },
                         [&] { main_.Warn("Problem with browser."); });
}

void frmAbout::lblMailLink_Click() {
    platform::RunTrapped([&] { main_.OpenMailLink(lblMailLink.Caption()); },
                         [&] { main_.Warn("Problem with mail client."); });
}

}  // namespace shortcut_maker

// The parts of the backend that need no window: conversions, the dialog
// template, and the plan of a form's child windows.
#include "platform/win32/forms/win32_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/user_interface.h"
#include "platform/win32/forms/win32_dialog_template.h"
#include "platform/win32/forms/win32_fonts.h"
#include "platform/win32/forms/win32_resources.h"
#include "platform/win32/forms/win32_units.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

using namespace platform::forms;

TEST(Win32Units, CharacterPositionsSkipSurrogatePairs) {
    const std::wstring text =
        L"a\xD83D\xDE00"
        L"b";  // a, one emoji, b
    EXPECT_EQ(CharsToUnits(text, 0), 0);
    EXPECT_EQ(CharsToUnits(text, 1), 1);
    EXPECT_EQ(CharsToUnits(text, 2), 3);
    EXPECT_EQ(CharsToUnits(text, 3), 4);
    EXPECT_EQ(CharsToUnits(text, 9), 4);
    EXPECT_EQ(UnitsToChars(text, 3), 2);
    EXPECT_EQ(UnitsToChars(text, 4), 3);
    EXPECT_EQ(UnitsToChars(text, 40), 3);
}

TEST(Win32Units, TwipsRoundLikeMulDiv) {
    EXPECT_EQ(TwipsToPixels(8580, 96), 572);
    EXPECT_EQ(TwipsToPixels(225, 96), 15);
    EXPECT_EQ(TwipsToPixels(8580, 144), 858);
    for (int dpi : {96, 120, 144, 192}) {
        for (int twips = -50; twips <= 9000; twips += 7) {
            ASSERT_EQ(TwipsToPixels(twips, dpi), MulDiv(twips, dpi, 1440))
                << twips << " twips at " << dpi;
        }
    }
}

TEST(Win32Resources, PictureNamesBecomeResourceNames) {
    EXPECT_EQ(PictureResourceName("pictures/about.jpg"), L"PICTURES_ABOUT_JPG");
    EXPECT_EQ(PictureResourceName("kestrow"), L"KESTROW");
}

// A picture of width x height, red on its left half and blue on its right.
GdiObject<HBITMAP> TwoColourPicture(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    GdiObject<HBITMAP> picture(
        CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) pixels[i] = i % width < width / 2 ? 0xFF0000 : 0xFF;
    return picture;
}

TEST(Win32Resources, PicturesGrowWithTheDpiAndKeepTheirPlaces) {
    const GdiObject<HBITMAP> picture = TwoColourPicture(40, 32);
    for (int dpi : {120, 144, 192}) {
        const GdiObject<HBITMAP> scaled = ScalePictureForDpi(picture.Get(), dpi);
        ASSERT_TRUE(scaled) << dpi;
        BITMAP info{};
        GetObjectW(scaled.Get(), sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 40 * dpi / 96);
        EXPECT_EQ(info.bmHeight, 32 * dpi / 96);
        HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, scaled.Get());
        EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0)) << dpi;
        EXPECT_EQ(GetPixel(dc, info.bmWidth - 2, info.bmHeight - 2), RGB(0, 0, 255)) << dpi;
        SelectObject(dc, old);
        DeleteDC(dc);
    }
}

TEST(Win32Fonts, BitmapFacesTooSmallForTheHeightGiveWayToTheScalableOne) {
    EXPECT_EQ(FaceForHeight(L"MS Sans Serif", -11), L"MS Sans Serif");
    // Its bitmaps end far below 60 pixels.
    EXPECT_EQ(FaceForHeight(L"MS Sans Serif", -60), kScalableSansSerif);
    EXPECT_EQ(FaceForHeight(L"Arial", -60), L"Arial");
}

TEST(Win32DialogTemplate, CarriesTheClassicDialogFontAndNoControls) {
    DialogTemplateLayout layout;
    layout.style = WS_POPUP | WS_CAPTION;
    layout.caption = L"Kestrow 2005";
    const std::vector<std::uint16_t> words = BuildDialogTemplate(layout);
    const auto* header = reinterpret_cast<const DLGTEMPLATE*>(words.data());
    EXPECT_EQ(header->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(header->cdit, 0);
    // Header, menu, class, caption, then point size and face name.
    const std::size_t captionAt = sizeof(DLGTEMPLATE) / 2 + 2;
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(&words[captionAt])), L"Kestrow 2005");
    const std::size_t pointsAt = captionAt + layout.caption.size() + 1;
    EXPECT_EQ(words[pointsAt], 8);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(&words[pointsAt + 1])),
              L"MS Sans Serif");
}

// Two frames of two options each, a text box, buttons, and a picture box
// holding a label, with tab indices out of creation order.
class PlanForm : public Form {
  public:
    explicit PlanForm(UserInterface& ui) : Form(ui, "frmPlan", FormStyle{}) {}
    Frame fraA{*this, "fraA", {240, 960, 3225, 1470}, 3, "A"};
    OptionButton optA1{*this, &fraA, "optA1", {240, 405, 2475, 270}, 4, "A1", true};
    OptionButton optA2{*this, &fraA, "optA2", {240, 930, 2475, 270}, 5, "A2", false};
    Frame fraB{*this, "fraB", {3720, 960, 3225, 1470}, 6, "B"};
    OptionButton optB1{*this, &fraB, "optB1", {240, 405, 2460, 270}, 7, "B1", true};
    OptionButton optB2{*this, &fraB, "optB2", {240, 930, 2460, 270}, 8, "B2", false};
    CommandButton cmdOK{*this, nullptr, "cmdOK", {7230, 2655, 1140, 345}, 0, "OK"};
    TextBox txtName{*this, "txtName", {225, 2235, 8145, 315}, 1, 50};
    PictureBox picInfo{*this, "picInfo", {563, 540, 7305, 4740}, 2, "pictures/about.jpg"};
    Label lblTitle{*this, &picInfo, "lblTitle", {1530, 255, 4230, 315}, 9, "Title"};
};

std::vector<std::string> Names(const std::vector<ChildPlan>& plans) {
    std::vector<std::string> names;
    for (const ChildPlan& plan : plans) names.push_back(plan.control->Name());
    return names;
}

const ChildPlan& PlanOf(const std::vector<ChildPlan>& plans, const std::string& name) {
    for (const ChildPlan& plan : plans) {
        if (plan.control->Name() == name) return plan;
    }
    throw std::runtime_error("no plan for " + name);
}

TEST(Win32Layout, ControlsFollowTheTabIndexAndContainersLieBeneath) {
    UserInterface ui(nullptr);
    PlanForm form(ui);
    const auto plans = PlanChildren(form, 96);
    EXPECT_EQ(Names(plans),
              (std::vector<std::string>{"cmdOK", "txtName", "optA1", "optA2", "optB1", "optB2",
                                        "lblTitle", "picInfo", "fraA", "fraB"}));
}

TEST(Win32Layout, HeldControlsMoveWithTheirContainer) {
    UserInterface ui(nullptr);
    PlanForm form(ui);
    const auto plans = PlanChildren(form, 96);
    const ChildPlan& optB2 = PlanOf(plans, "optB2");
    EXPECT_EQ(optB2.x, (3720 + 240) / 15);
    EXPECT_EQ(optB2.y, (960 + 930) / 15);
    EXPECT_EQ(optB2.width, 164);
    EXPECT_EQ(optB2.height, 18);
    const ChildPlan& title = PlanOf(plans, "lblTitle");
    EXPECT_EQ(title.x, (563 + 1530) / 15 + 1);  // 139.53 rounds up
    EXPECT_EQ(title.y, (540 + 255) / 15);

    const auto large = PlanChildren(form, 144);
    EXPECT_EQ(PlanOf(large, "optB2").x, 396);
    EXPECT_EQ(PlanOf(large, "txtName").width, MulDiv(8145, 144, 1440));
}

TEST(Win32Layout, EachFramesOptionsMakeOneArrowGroup) {
    UserInterface ui(nullptr);
    PlanForm form(ui);
    const auto plans = PlanChildren(form, 96);
    EXPECT_TRUE(PlanOf(plans, "optA1").group);
    EXPECT_FALSE(PlanOf(plans, "optA2").group);
    EXPECT_TRUE(PlanOf(plans, "optB1").group);
    EXPECT_FALSE(PlanOf(plans, "optB2").group);
    // The control after a group ends it.
    EXPECT_TRUE(PlanOf(plans, "lblTitle").group);
    EXPECT_TRUE(PlanOf(plans, "txtName").group);
}

}  // namespace
}  // namespace platform::win32

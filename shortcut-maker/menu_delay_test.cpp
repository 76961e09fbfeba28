// The Start Menu delay check after each shortcut, and the advisor's buttons.
#include <gtest/gtest.h>

#include "shortcut-maker/frm_start_menu_setting.h"
#include "shortcut-maker/mod_main.h"
#include "shortcut-maker/testing/maker_harness.h"

namespace shortcut_maker {
namespace {

using platform::testing::RawValue;
using testing::MakerHarness;

const std::string kDesktop = "Control Panel\\Desktop";
const std::string kCheck = "CheckStartMenuDelay";

bool AdvisorOpen(const MakerHarness& h) {
    const auto forms = h.LoadedForms();
    return std::find(forms.begin(), forms.end(), "frmStartMenuSetting") != forms.end();
}

std::optional<std::uint32_t> StoredDword(MakerHarness& h, const std::string& key,
                                         const std::string& name) {
    const auto raw = h.Raw(key, name);
    if (!raw || raw->type != platform::kRegDword || raw->data.size() != 4) return std::nullopt;
    return raw->data[0] | (raw->data[1] << 8) | (raw->data[2] << 16) |
           (static_cast<std::uint32_t>(raw->data[3]) << 24);
}

TEST(MenuDelayTest, OnlyADelayAboveOneHundredOrUnreadableBringsTheAdvisor) {
    struct Case {
        std::optional<std::string> delay;
        bool advisor;
    };
    // The parse itself is tested on its own; these are its three outcomes.
    const std::vector<Case> cases = {
        {"100", false}, {"101", true}, {std::nullopt, true}, {"fast", true}, {"-5", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay.value_or("<missing>"));
        MakerHarness h;
        if (c.delay) h.SetMenuDelay(*c.delay);
        h.program->AdviseOnMenuDelay();
        EXPECT_EQ(AdvisorOpen(h), c.advisor);
        EXPECT_TRUE(h.script.messages.empty());
        EXPECT_EQ(StoredDword(h, MakerHarness::kSettingsKey, kCheck), 1u)
            << "a missing check value is created as DWORD 1";
    }
}

TEST(MenuDelayTest, CheckValueIsNormalisedAndZeroSilencesTheAdvisor) {
    struct Case {
        std::string label;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        std::uint32_t rewritten;
    };
    const std::vector<Case> cases = {
        {"DWORD 0", platform::kRegDword, platform::testing::Dword(0), 0},
        {"string 0", platform::kRegSz, platform::testing::Text("0"), 0},
        {"DWORD 2", platform::kRegDword, platform::testing::Dword(2), 1},
        {"string no", platform::kRegSz, platform::testing::Text("no"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MakerHarness h;
        h.SetMenuDelay("400");
        platform::testing::WriteRaw(*h.platform.registry, MakerHarness::kSettingsKey, kCheck,
                                    c.type, c.data);
        h.program->AdviseOnMenuDelay();
        EXPECT_EQ(AdvisorOpen(h), c.rewritten == 1);
        EXPECT_EQ(StoredDword(h, MakerHarness::kSettingsKey, kCheck), c.rewritten);
    }
}

class AdvisorButtonsTest : public ::testing::Test {
  protected:
    void Advise() {
        h.program->AdviseOnMenuDelay();
        ASSERT_TRUE(AdvisorOpen(h));
    }
    MakerHarness h;
};

TEST_F(AdvisorButtonsTest, YesStoresTheStringOneHundredAndSilencesTheNextCheck) {
    h.SetMenuDelay("400");
    Advise();
    h.program->StartMenuSettingForm().cmdYes.Click();
    EXPECT_FALSE(AdvisorOpen(h));
    const auto delay = h.Raw(kDesktop, "MenuShowDelay");
    ASSERT_TRUE(delay);
    EXPECT_EQ(delay->type, platform::kRegSz);
    EXPECT_EQ(std::string(delay->data.begin(), delay->data.begin() + 3), "100");
    h.program->AdviseOnMenuDelay();
    EXPECT_FALSE(AdvisorOpen(h));
}

TEST_F(AdvisorButtonsTest, NoAndTheCloseBoxStoreNothing) {
    h.SetMenuDelay("400");
    Advise();
    h.program->StartMenuSettingForm().cmNo.Click();
    EXPECT_FALSE(AdvisorOpen(h));
    Advise();
    h.platform.ui->Unload(h.program->StartMenuSettingForm());  // the close box
    EXPECT_EQ(StoredDword(h, MakerHarness::kSettingsKey, kCheck), 1u);
    Advise();
}

TEST_F(AdvisorButtonsTest, NoMoreStoresDwordZeroForGood) {
    h.SetMenuDelay("400");
    Advise();
    h.program->StartMenuSettingForm().cmdNoMore.Click();
    EXPECT_FALSE(AdvisorOpen(h));
    EXPECT_EQ(StoredDword(h, MakerHarness::kSettingsKey, kCheck), 0u);
    h.program->AdviseOnMenuDelay();
    EXPECT_FALSE(AdvisorOpen(h));
    EXPECT_EQ(h.program->ExitCode(), 0);
}

TEST(MenuDelayTest, DirectModeLeavesTheAdvisorAsTheLastWindow) {
    MakerHarness h;
    h.SetMenuDelay("400");
    h.program->Main(h.Folder("Projects"));
    EXPECT_EQ(h.LoadedForms(), std::vector<std::string>{"frmStartMenuSetting"});
    EXPECT_TRUE(h.script.owners.empty()) << "modeless, no owner";
    EXPECT_EQ(h.program->ExitCode(), 0);
}

}  // namespace
}  // namespace shortcut_maker

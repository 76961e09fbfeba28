#include <gtest/gtest.h>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/platform_error.h"
#include "platform/testing/scripted_backend.h"

namespace platform::forms {
namespace {

struct Harness {
    testing::ScriptedBackend::Script script;
    UserInterface ui{[this] { return std::make_unique<testing::ScriptedBackend>(script, &ui); }};
};

class PairForm : public Form {
  public:
    explicit PairForm(UserInterface& ui) : Form(ui, "frmPair", {}) {
        cmdClose.OnClick = [this] { Ui().Unload(*this); };
    }
    void Form_Load() override { events.push_back("load"); }
    void Form_Activate() override { events.push_back("activate"); }
    void Form_Unload() override { events.push_back("unload"); }
    void Form_KeyDown(int key, int) override { events.push_back("key" + std::to_string(key)); }

    Frame fraA{*this, "fraA", {0, 0, 100, 100}, 0, "A"};
    OptionButton optA1{*this, &fraA, "optA1", {0, 0, 10, 10}, 1, "1", true};
    OptionButton optA2{*this, &fraA, "optA2", {0, 0, 10, 10}, 2, "2", false};
    Frame fraB{*this, "fraB", {0, 0, 100, 100}, 3, "B"};
    OptionButton optB1{*this, &fraB, "optB1", {0, 0, 10, 10}, 4, "1", true};
    TextBox txtName{*this, "txtName", {0, 0, 10, 10}, 5, 5};
    CommandButton cmdClose{*this, nullptr, "cmdClose", {0, 0, 10, 10}, 6, "Close"};
    std::vector<std::string> events;
};

TEST(FormsModelTest, OptionButtonsGroupByContainer) {
    Harness h;
    PairForm form(h.ui);
    form.optA2.SetValue(true);
    EXPECT_FALSE(form.optA1.Value());
    EXPECT_TRUE(form.optA2.Value());
    EXPECT_TRUE(form.optB1.Value()) << "another frame's option must not change";
    form.optA1.SetValue(true);
    EXPECT_FALSE(form.optA2.Value());
}

TEST(FormsModelTest, TypingRespectsSelectionAndMaxLength) {
    Harness h;
    PairForm form(h.ui);
    form.txtName.SetText("abc");
    form.txtName.SetSelection(0, 3);
    EXPECT_EQ(form.txtName.SelectedText(), "abc");
    form.txtName.Type("Проекты");  // five characters fit
    EXPECT_EQ(form.txtName.Text(), "Проек");
    form.txtName.SetSelection(1, 1);
    form.txtName.Type("x");
    EXPECT_EQ(form.txtName.Text(), "Пxоек");
}

TEST(FormsModelTest, FirstFocusIsTheActiveControlElseTheLowestTabStop) {
    Harness h;
    Form form(h.ui, "frmFocus", {});
    EXPECT_EQ(form.FirstFocus(), nullptr) << "a form without controls";
    Label lblTop(form, nullptr, "lblTop", {0, 0, 10, 10}, 0, "Name:");
    Frame fraBox(form, "fraBox", {0, 0, 10, 10}, 1, "Box");
    CommandButton cmdLate(form, nullptr, "cmdLate", {0, 0, 10, 10}, 3, "OK");
    TextBox txtEarly(form, "txtEarly", {0, 0, 10, 10}, 2, 10);
    EXPECT_EQ(form.FirstFocus(), &txtEarly) << "labels and frames take no focus";
    cmdLate.SetFocus();
    EXPECT_EQ(form.FirstFocus(), &cmdLate);
}

TEST(FormsModelTest, LoadShowActivateUnloadInOrder) {
    Harness h;
    PairForm form(h.ui);
    h.ui.Show(form);
    EXPECT_TRUE(form.IsLoaded());
    form.cmdClose.Click();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "activate", "unload"}));
    h.ui.Unload(form);  // a second unload does nothing
    EXPECT_EQ(form.events.size(), 3u);
}

TEST(FormsModelTest, ModalChildReactivatesOwner) {
    Harness h;
    PairForm owner(h.ui);
    PairForm child(h.ui);
    h.ui.Show(owner);
    bool sawChild = false;
    h.script.whileModal = [&](Form& f) {
        sawChild = &f == &child;
        child.cmdClose.Click();
    };
    h.ui.Show(child, ShowMode::Modal, &owner);
    EXPECT_TRUE(sawChild);
    EXPECT_EQ(owner.events, (std::vector<std::string>{"load", "activate", "activate"}));
    EXPECT_EQ(h.script.owners["frmPair"], "frmPair");
}

TEST(FormsModelTest, KeyPreviewDecidesWhetherFormSeesKeys) {
    Harness h;
    PairForm form(h.ui);
    form.KeyDown(27, 0);
    EXPECT_TRUE(form.events.empty());
}

TEST(FormsModelTest, MessageBoxesTakeQueuedAnswersThenTheSafeOne) {
    Harness h;
    PairForm form(h.ui);
    h.ui.Show(form);
    h.script.answers.push_back(kIdYes);
    EXPECT_EQ(h.ui.MsgBox("q1", kMbYesNo | kMbIconQuestion, "T"), kIdYes);
    EXPECT_EQ(h.ui.MsgBox("q2", kMbYesNo | kMbIconQuestion, "T"), kIdNo);
    ASSERT_EQ(h.script.messages.size(), 2u);
    EXPECT_EQ(h.script.messages[0].loadedForms, std::vector<std::string>{"frmPair"});
    EXPECT_EQ(h.script.messages[1].style, kMbYesNo | kMbIconQuestion);
}

TEST(FormsModelTest, BackendIsMadeOnlyWhenNeeded) {
    int made = 0;
    testing::ScriptedBackend::Script script;
    UserInterface ui([&] {
        ++made;
        return std::make_unique<testing::ScriptedBackend>(script);
    });
    ui.DoEvents();
    ui.Run();
    EXPECT_EQ(made, 0);
    ui.MsgBox("x", kMbOk, "t");
    EXPECT_EQ(made, 1);
}

}  // namespace
}  // namespace platform::forms

namespace platform::forms {
namespace {

class RefusingBackend : public testing::ScriptedBackend {
  public:
    using testing::ScriptedBackend::ScriptedBackend;
    std::unique_ptr<FormView> CreateView(Form&, Form*, bool) override {
        throw PlatformError("no display and no terminal");
    }
};

TEST(FormsModelTest, FormThatCannotBeShownIsUnloadedAgain) {
    testing::ScriptedBackend::Script script;
    UserInterface ui([&] { return std::make_unique<RefusingBackend>(script); });
    PairForm form(ui);
    EXPECT_THROW(ui.Show(form), PlatformError);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "unload"}));
    ui.Run();  // nothing left to wait for
}

}  // namespace
}  // namespace platform::forms

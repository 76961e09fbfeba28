// One run of the defaults editor on a store of the test's choosing, with a
// scripted user interface and an instance check that gives a fixed answer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "defaults-editor/frm_options.h"
#include "defaults-editor/mod_main.h"
#include "platform/platform.h"
#include "platform/testing/scripted_backend.h"
#include "platform/testing/stub_platform.h"
#include "platform/testing/test_registry.h"

namespace defaults_editor::testing {

class FixedInstanceCheck : public platform::InstanceCheck {
  public:
    explicit FixedInstanceCheck(bool running) : running_(running) {}
    bool PreviousInstanceRunning(const std::string& programName) override {
        asked = programName;
        return running_;
    }
    std::string asked;

  private:
    bool running_;
};

// One run of the editor on a store, with a scripted user interface.
struct EditorRun {
    explicit EditorRun(platform::Registry& store, bool otherInstance = false) {
        auto decorated = std::make_unique<platform::testing::TestRegistry>(store);
        registry = decorated.get();
        bundle.registry = std::move(decorated);
        bundle.ui = std::make_unique<platform::forms::UserInterface>([this] {
            return std::make_unique<platform::testing::ScriptedBackend>(script, bundle.ui.get());
        });
        auto check = std::make_unique<FixedInstanceCheck>(otherInstance);
        instances = check.get();
        bundle.instances = std::move(check);
        program = std::make_unique<modMain>(bundle);
    }

    frmOptions& Form() { return program->Options(); }
    bool Running() const { return !bundle.ui->LoadedForms().empty(); }
    std::vector<bool> FirstButtons() {
        return {Form().optAllFolders.Value(), Form().optSideMenu.Value(), Form().optTwoPane.Value(),
                Form().optMaximized.Value()};
    }

    platform::testing::TestRegistry* registry = nullptr;
    FixedInstanceCheck* instances = nullptr;
    platform::testing::ScriptedBackend::Script script;
    platform::Platform bundle = platform::testing::StubPlatform();
    std::unique_ptr<modMain> program;
};

}  // namespace defaults_editor::testing

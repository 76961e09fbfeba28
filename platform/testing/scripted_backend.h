// A backend without windows, for tests: the test queues the answers to the
// next message boxes, the folder the browser returns and what to do while a
// modal form is open, and reads back what was shown.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/forms_backend.h"

namespace platform::forms {
class UserInterface;
}  // namespace platform::forms

namespace platform::testing {

struct ShownMessage {
    std::string text;
    unsigned style = 0;
    std::string title;
    int answer = 0;
    // The forms that were loaded when the box appeared.
    std::vector<std::string> loadedForms;
};

class ScriptedBackend : public forms::FormsBackend {
  public:
    // What the test scripts and reads. Shared with the test after the
    // backend has been handed to a UserInterface.
    struct Script {
        std::deque<int> answers;                       // next message box answers
        std::vector<ShownMessage> messages;            // every box shown
        std::optional<std::string> browsedFolder;      // nullopt: the browser fails
        std::string browserInstruction;                // what the browser was asked
        std::function<void(forms::Form&)> whileModal;  // runs when a modal form opens
        std::vector<std::string> shownForms;           // forms whose windows were made
        std::map<std::string, std::string> owners;     // form -> owner name
        int doEventsCalls = 0;
    };

    // ui, when given, lets each message record which forms were loaded.
    explicit ScriptedBackend(Script& script, const forms::UserInterface* ui = nullptr)
        : script_(script), ui_(ui) {}

    std::unique_ptr<forms::FormView> CreateView(forms::Form& form, forms::Form* owner,
                                                bool modal) override;
    void RunModal(forms::Form& form) override;
    void RunUntil(const std::function<bool()>& done) override;
    void DoEvents() override;
    int MessageBox(const std::string& text, unsigned style, const std::string& title) override;
    std::string BrowseForFolder(const std::string& instruction) override;

  private:
    Script& script_;
    const forms::UserInterface* ui_;
};

}  // namespace platform::testing

// The program-wide user interface: the list of loaded forms, showing and
// unloading them, message boxes and the message loop. The backend is made on
// first use, so a run that shows nothing never loads a GUI library. It must
// outlive the forms made on it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms_backend.h"
#include "platform/no_windows_macros.h"

namespace platform::forms {

class Form;

enum class ShowMode { Modeless, Modal };

class UserInterface {
  public:
    using BackendFactory = std::function<std::unique_ptr<FormsBackend>()>;
    // The programs' path (a Windows path) of a path the backend shows.
    using PathMapping = std::function<std::string(const std::string& nativePath)>;

    // programPathOf empty: the backend's paths are the programs' own.
    explicit UserInterface(BackendFactory factory, PathMapping programPathOf = {});
    ~UserInterface();

    FormsBackend& Backend();
    bool BackendLoaded() const { return backend_ != nullptr; }

    // Loads the form (Form_Load) if it is not loaded.
    void Load(Form& form);
    // Loads and shows the form; activates it (Form_Activate). Modal: returns
    // when the form is unloaded, then activates the owner again. When the
    // backend cannot make a window the form is unloaded and the error thrown.
    void Show(Form& form, ShowMode mode = ShowMode::Modeless, Form* owner = nullptr);
    // Unloads the form (Form_Unload), closing its window. Does nothing when
    // it is not loaded.
    void Unload(Form& form);

    bool IsLoaded(const Form& form) const;
    const std::vector<Form*>& LoadedForms() const { return loaded_; }

    // A form object going away while loaded leaves the list without events.
    void Forget(Form& form);

    // Raises Form_Activate for a loaded form.
    void Activate(Form& form);

    int MsgBox(const std::string& text, unsigned style, const std::string& title);
    // The backend's folder browser, the chosen folder as the programs' path,
    // or empty text when cancelled. Throws PlatformError when the browser
    // cannot be shown, and one from the Choice source when the chosen folder
    // has no such path.
    std::string BrowseForFolder(const std::string& instruction);
    void DoEvents();
    // Runs the message loop until no form is loaded.
    void Run();

  private:
    BackendFactory factory_;
    PathMapping programPathOf_;
    std::unique_ptr<FormsBackend> backend_;
    std::vector<Form*> loaded_;
};

}  // namespace platform::forms

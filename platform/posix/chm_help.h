// The compiled-help viewer on POSIX: topics are read from the .chm with
// libchm, loaded on first use, and shown in a help window of the forms backend.
#pragma once

#include <memory>
#include <string>

#include "forms/user_interface.h"
#include "shell/html_help.h"

namespace platform {

class ChmLibrary;

class ChmHelp : public HtmlHelpApi {
  public:
    explicit ChmHelp(forms::UserInterface& ui, std::string libraryName = "libchm.so.1");
    ~ChmHelp() override;

    // HH_DISPLAY_TOPIC: file is a Windows path; data the topic, with or
    // without a leading "/" and an "#anchor". A help file or topic that
    // cannot be read gives 0, nothing else. HH_CLOSE_ALL closes the windows
    // when a GUI is loaded and never loads one. Other commands give 0.
    std::uintptr_t HtmlHelp(std::uintptr_t owner, const std::string& file, unsigned command,
                            const std::string& data) override;

  private:
    ChmLibrary& Library();

    forms::UserInterface& ui_;
    std::string libraryName_;
    std::shared_ptr<ChmLibrary> library_;
};

// The text of the first <title> element of html, or empty text.
std::string HtmlTitle(const std::string& html);

}  // namespace platform

// The compiled-help viewer on POSIX: topics are read from the .chm with
// libchm, loaded on first use, and shown in the help windows of the forms
// backend; a backend without any (the terminal) cannot show help.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/help_windows.h"
#include "platform/forms/user_interface.h"
#include "platform/shell/html_help.h"

namespace platform::posix {

class ChmLibrary;

class ChmHelp : public HtmlHelpApi {
  public:
    explicit ChmHelp(forms::UserInterface& ui, std::string libraryName = "libchm.so.1");
    ~ChmHelp() override;

    // HH_DISPLAY_TOPIC: file is a Windows path; data the topic, with or
    // without a leading "/" and an "#anchor" (empty: the file's default
    // topic). The window shows the file's contents and index beside it. A
    // help file or topic that cannot be read is told in a message box and
    // gives 0; a backend without help windows throws PlatformError.
    // HH_CLOSE_ALL closes the windows when a GUI is loaded and never loads
    // one. Other commands give 0.
    std::uintptr_t HtmlHelp(std::uintptr_t owner, const std::string& file, unsigned command,
                            const std::string& data) override;

  private:
    ChmLibrary& Library();
    // The loaded backend's help windows, or null.
    forms::HelpWindows* Windows();

    forms::UserInterface& ui_;
    std::string libraryName_;
    std::shared_ptr<ChmLibrary> library_;
};

// The text of the first <title> element of html, or empty text.
std::string HtmlTitle(const std::string& html);

// The entries of a contents (.hhc) or index (.hhk) file: each sitemap
// object's first name and first topic, at the depth of its list.
std::vector<forms::HelpEntry> ParseSitemap(const std::string& html);

}  // namespace platform::posix

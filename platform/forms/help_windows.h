// Help windows of a backend that can show a help file itself, beside the
// program's forms. Only a backend with a display of its own has them; where
// the platform has a help viewer, help does not go through the backend.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::forms {

// A line of a help file's contents or index: its text, the topic it opens
// (empty for a heading) and its depth (0 at the top).
struct HelpEntry {
    std::string name;
    std::string topic;
    int depth = 0;
};

// A help file as a help window shows it. Topics are paths inside the file
// ("kestrow.htm", "pages/x.htm"); resource() answers the bytes of any file
// in it by such a path (relative to the opening topic's folder, or from the
// root with a leading "/"), or empty text.
struct HelpDocument {
    std::string title;
    std::string topic;  // the opening topic
    std::string html;   // its page
    std::vector<HelpEntry> contents;
    std::vector<HelpEntry> index;
    std::function<std::string(const std::string&)> resource;
};

class HelpWindows {
  public:
    virtual ~HelpWindows() = default;

    // A help window of its own with the file's contents and index beside the
    // topic. Returns a non-zero window id.
    virtual std::uintptr_t OpenHelp(const HelpDocument& document) = 0;
    virtual void CloseHelpWindows() = 0;
};

}  // namespace platform::forms

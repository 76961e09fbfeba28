#include "shortcut-maker/html_help.h"

namespace shortcut_maker {

platform::HtmlHelpApi& HTMLHelp::Viewer() { return *platform_.htmlHelp; }

void HTMLHelp::DisplayTopicURL() {
    Viewer().HtmlHelp(0, chmFile_, platform::kHhDisplayTopic, topicUrl_);
}

void HTMLHelp::HelpClose() { Viewer().HtmlHelp(0, "", platform::kHhCloseAll, ""); }

}  // namespace shortcut_maker

#include "html_help.h"

#include "platform_error.h"

platform::HtmlHelpApi& HTMLHelp::Viewer() {
    if (!platform_.htmlHelp) throw platform::PlatformError("the help viewer cannot be reached");
    return *platform_.htmlHelp;
}

void HTMLHelp::DisplayTopicURL() {
    Viewer().HtmlHelp(0, chmFile_, platform::kHhDisplayTopic, topicUrl_);
}

void HTMLHelp::HelpClose() { Viewer().HtmlHelp(0, "", platform::kHhCloseAll, ""); }

// The compiled-help viewer: a help file, a topic in it, and the two commands
// the program gives (show the topic, close every help window).
#pragma once

#include <string>

#include "platform/platform.h"

namespace shortcut_maker {

class HTMLHelp {
  public:
    explicit HTMLHelp(platform::Platform& platform) : platform_(platform) {}

    void TopicURL(const std::string& strTopicURL) { topicUrl_ = strTopicURL; }
    std::string TopicURL() const { return topicUrl_; }
    void CHMFile(const std::string& strCHMFile) { chmFile_ = strCHMFile; }
    std::string CHMFile() const { return chmFile_; }

    // Neither looks at the viewer's answer; both throw PlatformError when the
    // viewer cannot be reached at all.
    void DisplayTopicURL();
    void HelpClose();

  private:
    platform::HtmlHelpApi& Viewer();

    platform::Platform& platform_;
    std::string chmFile_;
    std::string topicUrl_;
};

}  // namespace shortcut_maker

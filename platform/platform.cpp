#include "platform/platform.h"

#include "platform/platform_error.h"

namespace platform {

void CheckComplete(const Platform& platform) {
    const std::pair<bool, const char*> members[] = {
        {platform.registry != nullptr, "registry"},
        {platform.ui != nullptr, "ui"},
        {static_cast<bool>(platform.createScriptShell), "createScriptShell"},
        {static_cast<bool>(platform.createFileSystem), "createFileSystem"},
        {platform.files != nullptr, "files"},
        {platform.shellExecutor != nullptr, "shellExecutor"},
        {platform.htmlHelp != nullptr, "htmlHelp"},
        {platform.instances != nullptr, "instances"},
        {static_cast<bool>(platform.programFolder), "programFolder"},
        {static_cast<bool>(platform.browseForFolder), "browseForFolder"},
        {static_cast<bool>(platform.isInsideFolder), "isInsideFolder"},
    };
    for (const auto& [present, name] : members) {
        if (!present) throw PlatformError(std::string("the platform has no ") + name);
    }
}

}  // namespace platform

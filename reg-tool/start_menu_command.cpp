#include "reg-tool/start_menu_command.h"

#include <string>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"
#include "platform/posix/start_menu.h"
#include "platform/text/text.h"

namespace reg_tool {

bool IsStartMenuCommand(int argc, char** argv) {
    return argc == 2 && platform::text::EqualsIgnoreCase(argv[1], "startmenu");
}

int PrintStartMenuFolder(platform::Registry& registry, std::ostream& out, std::ostream& err) {
    try {
        const std::string folder = platform::posix::StartMenuFolder(registry);
        const auto posix = platform::posix::TryPosixPathOf(folder);
        if (!posix) {
            err << "ERROR: The Start Menu folder \"" << folder << "\" is not on the drive Z:.\n";
            return 1;
        }
        out << *posix << "\n";
        return 0;
    } catch (const platform::PlatformError& e) {
        err << "ERROR: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace reg_tool

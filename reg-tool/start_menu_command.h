// "kestrow-reg startmenu": prints the Start Menu folder the programs write
// their shortcuts into, as a POSIX path, worked out by the same code the
// programs use. Scripts ask here rather than repeat that code.
#pragma once

#include <ostream>

#include "platform/registry/registry.h"

namespace reg_tool {

// True when the arguments ask for the Start Menu folder.
bool IsStartMenuCommand(int argc, char** argv);

// Prints the folder and returns 0, or prints why it is not known and
// returns 1.
int PrintStartMenuFolder(platform::Registry& registry, std::ostream& out, std::ostream& err);

}  // namespace reg_tool

// Running one parsed command against the registry store.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>

#include "platform/registry/registry.h"
#include "reg-tool/command_line.h"

namespace reg_tool {

using StoreOpener = std::function<std::unique_ptr<platform::Registry>()>;

// Checks the whole command first and opens the store only for a valid one,
// so that bad input touches nothing. Questions are read from in. Returns the
// exit code: 0 on success (or when the user declines), 1 on failure.
int RunCommand(const Command& command, const StoreOpener& openStore, std::istream& in,
               std::ostream& out, std::ostream& err);

}  // namespace reg_tool

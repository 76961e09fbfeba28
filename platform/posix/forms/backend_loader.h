// Chooses the forms backend for a real run: the Qt backend, loaded from its
// shared library on first use when a display can be opened, else the
// console backend.
#pragma once

#include <memory>
#include <string>

#include "platform/forms/forms_backend.h"

namespace platform::posix {

std::unique_ptr<forms::FormsBackend> LoadBestBackend(const std::string& programFolderPosix);

}  // namespace platform::posix

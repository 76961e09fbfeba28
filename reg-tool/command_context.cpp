#include "reg-tool/command_context.h"

#include <iostream>

#include "platform/registry/registry.h"
#include "platform/text/text.h"

namespace reg_tool {

std::string RegistryError(long rc) {
    switch (rc) {
        case platform::kErrorFileNotFound:
            return "ERROR: The system was unable to find the specified registry key or value.";
        case platform::kErrorAccessDenied:
            return "ERROR: Access is denied.";
        case platform::kErrorInvalidParameter:
            return "ERROR: The parameter is incorrect (a name or data the registry does not "
                   "take).";
        case platform::kErrorBadDb:
            return "ERROR: The registry store cannot be opened or is damaged; it was left as it "
                   "is.";
        case platform::kErrorBusy:
            return "ERROR: The registry store is busy: another program has held it for too long. "
                   "Nothing was changed; try again.";
        case platform::kErrorDiskFull:
            return "ERROR: There is not enough space on the disk to change the registry store.";
        default:
            return "ERROR: The registry call failed with code " + std::to_string(rc) + ".";
    }
}

bool Confirm(const std::string& question, std::istream& in, std::ostream& out) {
    std::string answer;
    while (true) {
        out << question << " " << std::flush;
        if (!std::getline(in, answer)) {
            out << "\n";
            return false;
        }
        answer = platform::text::AsciiLower(platform::text::TrimSpaces(answer));
        if (answer == "y" || answer == "yes") return true;
        if (answer == "n" || answer == "no") return false;
    }
}

int Context::Fail(const std::string& message) const {
    err << message << "\n";
    return 1;
}

int Context::Done() const {
    out << "The operation completed successfully.\n";
    return 0;
}

int Context::Cancelled() const {
    out << "The operation was cancelled by the user.\n";
    return 0;
}

std::string ValueLabel(const std::string& name) { return name.empty() ? "(Default)" : name; }

}  // namespace reg_tool

// The command line of kestrow-reg: the syntax of the Windows reg command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace regtool {

enum class Operation { kQuery, kAdd, kDelete, kExport, kImport, kHelp };

struct Command {
    Operation operation = Operation::kHelp;
    std::string key;                       // as written; checked by ParseKeyName
    std::string file;                      // export and import
    std::optional<std::string> valueName;  // /v NAME, or "" for /ve
    bool allValues = false;                // /va
    bool recursive = false;                // query /s
    std::string type = "REG_SZ";           // /t
    bool typeGiven = false;
    std::string separator = "\\0";  // add /s or /se
    bool separatorGiven = false;
    std::string data;                  // /d
    bool force = false;                // /f, export /y
    std::optional<Operation> helpFor;  // OPERATION /?
};

// Parses the arguments after the program name. On failure returns nullopt
// and sets error to the message for the user.
std::optional<Command> ParseCommandLine(const std::vector<std::string>& args, std::string* error);

// The usage text for an operation, or the overview.
std::string UsageText(std::optional<Operation> operation);

}  // namespace regtool

// The command line of kestrow-reg: the syntax of the Windows reg command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace reg_tool {

enum class Operation { kQuery, kAdd, kDelete, kCopy, kCompare, kExport, kImport, kHelp };

// What compare shows: /od (the default), /oa, /os, /on.
enum class CompareOutput { kDifferences, kAll, kSame, kNothing };

struct Command {
    Operation operation = Operation::kHelp;
    std::string key;                       // as written; checked by ParseKeyName
    std::string secondKey;                 // copy and compare
    std::string file;                      // export and import
    std::optional<std::string> valueName;  // /v NAME, or "" for /ve
    bool allValues = false;                // delete /va
    bool recursive = false;                // query, copy and compare /s
    std::string type = "REG_SZ";           // add /t
    bool typeGiven = false;
    std::string separator = "\\0";  // add /s, query /se
    bool separatorGiven = false;
    std::optional<std::string> data;  // add /d
    bool force = false;               // /f, export /y

    // query's search: /f pattern, limited to key names (/k) or data (/d),
    // case-sensitive (/c), whole names or data only (/e), some types (/t).
    std::optional<std::string> pattern;
    bool keysOnly = false;
    bool dataOnly = false;
    bool caseSensitive = false;
    bool exact = false;
    std::vector<std::string> types;
    bool typeNumbers = false;     // /z
    bool valueNamesOnly = false;  // /v without a name beside /f: search value names only

    CompareOutput compareOutput = CompareOutput::kDifferences;
    std::optional<Operation> helpFor;  // OPERATION /? (or /h)
};

// Parses the arguments after the program name. On failure returns nullopt
// and sets error to the message for the user.
std::optional<Command> ParseCommandLine(const std::vector<std::string>& args, std::string* error);

// The usage text for an operation, or the overview.
std::string UsageText(std::optional<Operation> operation);

}  // namespace reg_tool

#include "command_line.h"

#include "text/text.h"

namespace regtool {

namespace {

struct OperationName {
    const char* name;
    Operation operation;
    std::size_t positionals;
};

constexpr OperationName kOperations[] = {
    {"QUERY", Operation::kQuery, 1},   {"ADD", Operation::kAdd, 1},
    {"DELETE", Operation::kDelete, 1}, {"EXPORT", Operation::kExport, 2},
    {"IMPORT", Operation::kImport, 1},
};

// "/name" that is no option name is a path (paths here begin with "/").
bool IsOption(const std::string& arg) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
    if (arg[0] == '-') return true;
    const std::string name = text::AsciiLower(arg.substr(1));
    for (const char* option : {"v", "ve", "va", "s", "se", "t", "d", "f", "y"}) {
        if (name == option) return true;
    }
    return false;
}

std::string SyntaxError(const std::string& why, const char* operation) {
    return "ERROR: Invalid syntax: " + why + ".\nType \"kestrow-reg " + operation +
           " /?\" for usage.";
}

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::string>& args, std::string* error) {
    Command command;
    if (args.empty() || args[0] == "/?" || args[0] == "-?") return command;
    const OperationName* op = nullptr;
    for (const auto& candidate : kOperations) {
        if (text::EqualsIgnoreCase(args[0], candidate.name)) op = &candidate;
    }
    if (!op) {
        *error = "ERROR: Invalid syntax: unknown operation \"" + args[0] +
                 "\".\nType \"kestrow-reg /?\" for usage.";
        return std::nullopt;
    }
    command.operation = op->operation;
    std::vector<std::string> positionals;
    auto fail = [&](const std::string& why) {
        *error = SyntaxError(why, op->name);
        return std::nullopt;
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "/?" || arg == "-?") {
            command.operation = Operation::kHelp;
            command.helpFor = op->operation;
            return command;
        }
        if (!IsOption(arg)) {
            positionals.push_back(arg);
            continue;
        }
        const std::string option = text::AsciiLower(arg.substr(1));
        const Operation o = command.operation;
        auto takeArgument = [&](std::string* target) {
            if (i + 1 >= args.size()) return false;
            *target = args[++i];
            return true;
        };
        const bool valueOp =
            o == Operation::kQuery || o == Operation::kAdd || o == Operation::kDelete;
        if (option == "v" && valueOp) {
            if (command.valueName) return fail("/v, /ve and /va exclude each other");
            std::string name;
            if (!takeArgument(&name)) return fail("/v needs a value name");
            command.valueName = name;
        } else if (option == "ve" && valueOp) {
            if (command.valueName || command.allValues)
                return fail("/v, /ve and /va exclude each other");
            command.valueName = "";
        } else if (option == "va" && o == Operation::kDelete) {
            if (command.valueName) return fail("/v, /ve and /va exclude each other");
            command.allValues = true;
        } else if (option == "s" && o == Operation::kQuery) {
            command.recursive = true;
        } else if ((option == "s" || option == "se") && o == Operation::kAdd) {
            if (!takeArgument(&command.separator) || command.separator.empty())
                return fail("/s needs a separator");
            command.separatorGiven = true;
        } else if (option == "t" && o == Operation::kAdd) {
            if (!takeArgument(&command.type)) return fail("/t needs a type");
            command.typeGiven = true;
        } else if (option == "d" && o == Operation::kAdd) {
            if (!takeArgument(&command.data)) return fail("/d needs data");
        } else if ((option == "f" && (o == Operation::kAdd || o == Operation::kDelete)) ||
                   (option == "y" && o == Operation::kExport)) {
            command.force = true;
        } else {
            return fail("the option " + arg + " is not one of this operation");
        }
    }
    if (positionals.size() != op->positionals) {
        return fail(positionals.size() < op->positionals ? "missing arguments"
                                                         : "too many arguments");
    }
    if (command.operation == Operation::kImport) {
        command.file = positionals[0];
    } else {
        command.key = positionals[0];
        if (command.operation == Operation::kExport) command.file = positionals[1];
    }
    return command;
}

std::string UsageText(std::optional<Operation> operation) {
    switch (operation.value_or(Operation::kHelp)) {
        case Operation::kQuery:
            return "kestrow-reg QUERY KeyName [/v ValueName | /ve] [/s]\n"
                   "  KeyName  HKCU\\SubKey (or HKEY_CURRENT_USER\\SubKey)\n"
                   "  /v       the value to show     /ve  the default value\n"
                   "  /s       all sub-keys and values below the key\n";
        case Operation::kAdd:
            return "kestrow-reg ADD KeyName [/v ValueName | /ve] [/t Type] [/s Separator] "
                   "[/d Data] [/f]\n"
                   "  /t  REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD,\n"
                   "      REG_DWORD_BIG_ENDIAN, REG_QWORD, REG_BINARY, REG_NONE\n"
                   "  /s  the separator of the strings of REG_MULTI_SZ data (default \\0)\n"
                   "  /d  the data; numbers in decimal or 0x hexadecimal, binary as hex digits\n"
                   "  /f  overwrite an existing value without asking\n";
        case Operation::kDelete:
            return "kestrow-reg DELETE KeyName [/v ValueName | /ve | /va] [/f]\n"
                   "  Without /v, /ve or /va the key is deleted with all its sub-keys.\n"
                   "  /va  all values of the key     /f  delete without asking\n";
        case Operation::kExport:
            return "kestrow-reg EXPORT KeyName FileName [/y]\n"
                   "  Writes the key and all below it as a .reg file; /y overwrites the file.\n";
        case Operation::kImport:
            return "kestrow-reg IMPORT FileName\n"
                   "  Reads a .reg file back into the registry.\n";
        case Operation::kHelp:
            break;
    }
    return "kestrow-reg Operation [Parameter List]\n"
           "  Operation  QUERY | ADD | DELETE | EXPORT | IMPORT\n"
           "  Type \"kestrow-reg Operation /?\" for the parameters of one operation.\n";
}

}  // namespace regtool

#include "reg-tool/command_line.h"

#include "platform/text/text.h"

namespace reg_tool {

namespace {

struct OperationName {
    const char* name;
    Operation operation;
    std::size_t positionals;
};

constexpr OperationName kOperations[] = {
    {"QUERY", Operation::kQuery, 1},     {"ADD", Operation::kAdd, 1},
    {"DELETE", Operation::kDelete, 1},   {"COPY", Operation::kCopy, 2},
    {"COMPARE", Operation::kCompare, 2}, {"EXPORT", Operation::kExport, 2},
    {"IMPORT", Operation::kImport, 1},
};

constexpr const char* kOptionNames[] = {"v",  "ve", "va", "s", "se",     "t",     "d",
                                        "f",  "y",  "k",  "c", "e",      "z",     "oa",
                                        "od", "os", "on", "?", "reg:32", "reg:64"};

// "/name" that is no option name is a path (paths here begin with "/").
bool IsOption(const std::string& arg) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
    if (arg[0] == '-') return true;
    const std::string name = platform::text::AsciiLower(arg.substr(1));
    for (const char* option : kOptionNames) {
        if (name == option) return true;
    }
    return false;
}

std::string SyntaxError(const std::string& why, const char* operation) {
    return "ERROR: Invalid syntax: " + why + ".\nType \"kestrow-reg " + operation +
           " /?\" for usage.";
}

// The comma-separated type names of query /t.
std::vector<std::string> TypeList(const std::string& list) {
    std::vector<std::string> types;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        types.push_back(platform::text::TrimSpaces(list.substr(start, comma - start)));
        if (comma == std::string::npos) return types;
        start = comma + 1;
    }
}

class Parser {
  public:
    Parser(const std::vector<std::string>& args, const OperationName& op, std::string* error)
        : args_(args), op_(op), error_(error) {
        command_.operation = op.operation;
    }

    std::optional<Command> Parse() {
        std::vector<std::string> positionals;
        for (i_ = 1; i_ < args_.size(); ++i_) {
            const std::string& arg = args_[i_];
            if (arg == "/?" || arg == "-?") {
                command_ = Command{};
                command_.helpFor = op_.operation;
                return command_;
            }
            if (!IsOption(arg)) {
                positionals.push_back(arg);
                continue;
            }
            if (!Option(arg)) return std::nullopt;
        }
        if (positionals.size() != op_.positionals) {
            return Fail(positionals.size() < op_.positionals ? "missing arguments"
                                                             : "too many arguments");
        }
        if (!Consistent()) return std::nullopt;
        switch (command_.operation) {
            case Operation::kImport:
                command_.file = positionals[0];
                break;
            case Operation::kExport:
                command_.key = positionals[0];
                command_.file = positionals[1];
                break;
            case Operation::kCopy:
            case Operation::kCompare:
                command_.key = positionals[0];
                command_.secondKey = positionals[1];
                break;
            default:
                command_.key = positionals[0];
        }
        return command_;
    }

  private:
    std::nullopt_t Fail(const std::string& why) {
        *error_ = SyntaxError(why, op_.name);
        return std::nullopt;
    }

    bool Refuse(const std::string& why) {
        Fail(why);
        return false;
    }

    bool Is(std::initializer_list<Operation> operations) const {
        for (const Operation o : operations) {
            if (command_.operation == o) return true;
        }
        return false;
    }

    bool TakeArgument(std::string* target) {
        if (i_ + 1 >= args_.size()) return false;
        *target = args_[++i_];
        return true;
    }

    bool Option(const std::string& arg) {
        using O = Operation;
        Command& c = command_;
        const std::string option = platform::text::AsciiLower(arg.substr(1));
        std::string argument;
        if (option == "reg:32" || option == "reg:64") {
            // One registry view here: both name it.
            if (view_ && *view_ != option) return Refuse("/reg:32 and /reg:64 exclude each other");
            view_ = option;
        } else if (option == "v" && Is({O::kQuery, O::kAdd, O::kDelete, O::kCompare})) {
            if (c.valueName || c.allValues) return Refuse("/v, /ve and /va exclude each other");
            if (!TakeArgument(&argument)) return Refuse("/v needs a value name");
            c.valueName = argument;
        } else if (option == "ve" && Is({O::kQuery, O::kAdd, O::kDelete, O::kCompare})) {
            if (c.valueName || c.allValues) return Refuse("/v, /ve and /va exclude each other");
            c.valueName = "";
        } else if (option == "va" && Is({O::kDelete})) {
            if (c.valueName) return Refuse("/v, /ve and /va exclude each other");
            c.allValues = true;
        } else if (option == "s" && Is({O::kQuery, O::kCopy, O::kCompare})) {
            c.recursive = true;
        } else if ((option == "s" || option == "se") && Is({O::kAdd})) {
            if (!TakeArgument(&c.separator) || c.separator.empty())
                return Refuse("/s needs a separator");
            c.separatorGiven = true;
        } else if (option == "se" && Is({O::kQuery})) {
            if (!TakeArgument(&c.separator) || c.separator.empty())
                return Refuse("/se needs a separator");
            c.separatorGiven = true;
        } else if (option == "t" && Is({O::kAdd})) {
            if (!TakeArgument(&c.type)) return Refuse("/t needs a type");
            c.typeGiven = true;
        } else if (option == "t" && Is({O::kQuery})) {
            if (!TakeArgument(&argument)) return Refuse("/t needs a type");
            c.types = TypeList(argument);
        } else if (option == "d" && Is({O::kAdd})) {
            if (!TakeArgument(&argument)) return Refuse("/d needs data");
            c.data = argument;
        } else if (option == "f" && Is({O::kQuery})) {
            // The pattern may be left out: then everything matches.
            if (i_ + 1 < args_.size() && !IsOption(args_[i_ + 1])) {
                c.pattern = args_[++i_];
            } else {
                c.pattern = "*";
            }
        } else if (option == "k" && Is({O::kQuery})) {
            c.keysOnly = true;
        } else if (option == "d" && Is({O::kQuery})) {
            c.dataOnly = true;
        } else if (option == "c" && Is({O::kQuery})) {
            c.caseSensitive = true;
        } else if (option == "e" && Is({O::kQuery})) {
            c.exact = true;
        } else if (option == "z" && Is({O::kQuery})) {
            c.typeNumbers = true;
        } else if ((option == "oa" || option == "od" || option == "os" || option == "on") &&
                   Is({O::kCompare})) {
            if (outputGiven_) return Refuse("/oa, /od, /os and /on exclude each other");
            outputGiven_ = true;
            c.compareOutput = option == "oa"   ? CompareOutput::kAll
                              : option == "os" ? CompareOutput::kSame
                              : option == "on" ? CompareOutput::kNothing
                                               : CompareOutput::kDifferences;
        } else if ((option == "f" && Is({O::kAdd, O::kDelete, O::kCopy})) ||
                   (option == "y" && Is({O::kExport}))) {
            c.force = true;
        } else {
            return Refuse("the option " + arg + " is not one of this operation");
        }
        return true;
    }

    bool Consistent() {
        const Command& c = command_;
        if (c.operation == Operation::kCompare && c.recursive && c.valueName)
            return Refuse("/s does not go with /v or /ve");
        if (c.operation != Operation::kQuery) return true;
        if (c.keysOnly && c.dataOnly) return Refuse("/k and /d exclude each other");
        if ((c.keysOnly || c.dataOnly || c.caseSensitive || c.exact) && !c.pattern)
            return Refuse("/k, /d, /c and /e go with /f");
        if (!c.types.empty() && !c.pattern) command_.pattern = "*";
        if (command_.pattern && c.valueName) return Refuse("/v and /ve do not go with /f or /t");
        return true;
    }

    const std::vector<std::string>& args_;
    const OperationName& op_;
    std::string* error_;
    Command command_;
    std::size_t i_ = 1;
    std::optional<std::string> view_;
    bool outputGiven_ = false;
};

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::string>& args, std::string* error) {
    if (args.empty()) {
        *error = "ERROR: Invalid syntax: no operation.\nType \"kestrow-reg /?\" for usage.";
        return std::nullopt;
    }
    if (args[0] == "/?" || args[0] == "-?") return Command{};
    for (const auto& candidate : kOperations) {
        if (platform::text::EqualsIgnoreCase(args[0], candidate.name))
            return Parser(args, candidate, error).Parse();
    }
    *error = "ERROR: Invalid syntax: unknown operation \"" + args[0] +
             "\".\nType \"kestrow-reg /?\" for usage.";
    return std::nullopt;
}

}  // namespace reg_tool

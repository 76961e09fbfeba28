#include "reg-tool/command_line.h"

#include <map>
#include <set>

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

constexpr const char* kOptionNames[] = {"v",  "ve", "va", "s", "se", "t",      "d",
                                        "f",  "y",  "k",  "c", "e",  "z",      "oa",
                                        "od", "os", "on", "?", "h",  "reg:32", "reg:64"};

bool IsOptionName(const std::string& name) {
    for (const char* option : kOptionNames) {
        if (name == option) return true;
    }
    return false;
}

// "/name" that is no option name is a path (paths here begin with "/").
bool IsOption(const std::string& arg) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return false;
    return arg[0] == '-' || IsOptionName(platform::text::AsciiLower(arg.substr(1)));
}

// A switch this command knows, as opposed to a name or data that merely
// begins with "-".
bool IsKnownSwitch(const std::string& arg) {
    return IsOption(arg) && IsOptionName(platform::text::AsciiLower(arg.substr(1)));
}

// /?, /h and their "-" forms, in any case.
bool IsHelp(const std::string& arg) {
    const std::string lower = platform::text::AsciiLower(arg);
    return lower == "/?" || lower == "-?" || lower == "/h" || lower == "-h";
}

std::string SyntaxError(const std::string& why, const std::string& usage) {
    return "ERROR: Invalid syntax: " + why + ".\nType \"kestrow-reg " + usage + "/?\" for usage.";
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
        if (args_.size() == 2 && IsHelp(args_[1])) {
            Command help;
            help.helpFor = op_.operation;
            return help;
        }
        if (op_.operation == Operation::kExport && !NamesComeFirst()) {
            return Fail("the key and the file name come first, the options after them");
        }
        std::vector<std::string> positionals;
        for (i_ = 1; i_ < args_.size(); ++i_) {
            if (!IsOption(args_[i_])) {
                positionals.push_back(args_[i_]);
            } else if (!Option(args_[i_])) {
                return std::nullopt;
            }
        }
        if (positionals.size() != op_.positionals) {
            return Fail(positionals.size() < op_.positionals ? "missing arguments"
                                                             : "too many arguments");
        }
        if (!Consistent()) return std::nullopt;
        AssignPositionals(positionals);
        return command_;
    }

  private:
    enum class Taken { kNo, kYes, kRefused };
    using Handler = Taken (Parser::*)(const std::string& option);

    std::nullopt_t Fail(const std::string& why) {
        *error_ = SyntaxError(why, std::string(op_.name) + " ");
        return std::nullopt;
    }

    bool Refuse(const std::string& why) {
        Fail(why);
        return false;
    }

    Taken Refused(const std::string& why) {
        Fail(why);
        return Taken::kRefused;
    }

    bool Is(std::initializer_list<Operation> operations) const {
        for (const Operation o : operations) {
            if (command_.operation == o) return true;
        }
        return false;
    }

    bool NamesComeFirst() const {
        for (std::size_t i = 1; i <= op_.positionals && i < args_.size(); ++i) {
            if (IsOption(args_[i])) return false;
        }
        return true;
    }

    bool TakeArgument(std::string* target) {
        if (i_ + 1 >= args_.size()) return false;
        *target = args_[++i_];
        return true;
    }

    // add's /s and /se both name its separator.
    std::string SwitchIdentity(const std::string& option) const {
        return option == "se" && command_.operation == Operation::kAdd ? "s" : option;
    }

    bool Option(const std::string& arg) {
        const std::string option = platform::text::AsciiLower(arg.substr(1));
        if (IsHelp(arg)) return Refuse(arg + " stands alone after the operation");
        if (!seen_.insert(SwitchIdentity(option)).second) return Refuse(arg + " is given twice");
        for (const Handler handler :
             {&Parser::ViewOption, &Parser::ValueOption, &Parser::SeparatorOption,
              &Parser::TypeOrDataOption, &Parser::SearchOption, &Parser::CompareOption,
              &Parser::ForceOption}) {
            const Taken taken = (this->*handler)(option);
            if (taken != Taken::kNo) return taken == Taken::kYes;
        }
        return Refuse("the option " + arg + " is not one of this operation");
    }

    Taken ViewOption(const std::string& option) {
        if (option != "reg:32" && option != "reg:64") return Taken::kNo;
        // One registry view here: both name it.
        if (view_ && *view_ != option) return Refused("/reg:32 and /reg:64 exclude each other");
        view_ = option;
        return Taken::kYes;
    }

    Taken ValueOption(const std::string& option) {
        using O = Operation;
        Command& c = command_;
        const bool named = option == "v" || option == "ve";
        if (!(named && Is({O::kQuery, O::kAdd, O::kDelete, O::kCompare})) &&
            !(option == "va" && Is({O::kDelete})))
            return Taken::kNo;
        if (c.valueName || c.allValues || c.valueNamesOnly)
            return Refused("/v, /ve and /va exclude each other");
        if (option == "va") {
            c.allValues = true;
        } else if (option == "ve") {
            c.valueName = "";
        } else if (Is({O::kQuery}) && (i_ + 1 == args_.size() || IsKnownSwitch(args_[i_ + 1]))) {
            c.valueNamesOnly = true;  // valid only beside /f, checked once all is read
        } else {
            std::string name;
            if (!TakeArgument(&name)) return Refused("/v needs a value name");
            c.valueName = name;
        }
        return Taken::kYes;
    }

    Taken SeparatorOption(const std::string& option) {
        const bool mine = (Is({Operation::kAdd}) && (option == "s" || option == "se")) ||
                          (Is({Operation::kQuery}) && option == "se");
        if (!mine) return Taken::kNo;
        Command& c = command_;
        if (!TakeArgument(&c.separator)) return Refused("/" + option + " needs a separator");
        if (platform::text::Length(c.separator) != 1)
            return Refused("the separator after /" + option + " is one character");
        c.separatorGiven = true;
        return Taken::kYes;
    }

    Taken TypeOrDataOption(const std::string& option) {
        Command& c = command_;
        std::string argument;
        if (option == "t" && Is({Operation::kAdd})) {
            if (!TakeArgument(&c.type)) return Refused("/t needs a type");
            c.typeGiven = true;
        } else if (option == "t" && Is({Operation::kQuery})) {
            if (!TakeArgument(&argument)) return Refused("/t needs a type");
            c.types = TypeList(argument);
        } else if (option == "d" && Is({Operation::kAdd})) {
            if (!TakeArgument(&argument)) return Refused("/d needs data");
            c.data = argument;
        } else {
            return Taken::kNo;
        }
        return Taken::kYes;
    }

    // query's search: /f with its pattern, and the switches that narrow it.
    Taken SearchOption(const std::string& option) {
        if (!Is({Operation::kQuery})) return Taken::kNo;
        Command& c = command_;
        if (option == "f") {
            // The pattern may be left out: then everything matches.
            c.pattern = i_ + 1 < args_.size() && !IsOption(args_[i_ + 1]) ? args_[++i_] : "*";
            return Taken::kYes;
        }
        static const std::map<std::string, bool Command::*> kSwitches = {
            {"s", &Command::recursive},     {"k", &Command::keysOnly}, {"d", &Command::dataOnly},
            {"c", &Command::caseSensitive}, {"e", &Command::exact},    {"z", &Command::typeNumbers},
        };
        const auto found = kSwitches.find(option);
        if (found == kSwitches.end()) return Taken::kNo;
        c.*(found->second) = true;
        return Taken::kYes;
    }

    Taken CompareOption(const std::string& option) {
        Command& c = command_;
        if (option == "s" && Is({Operation::kCopy, Operation::kCompare})) {
            c.recursive = true;
            return Taken::kYes;
        }
        const bool output = option == "oa" || option == "od" || option == "os" || option == "on";
        if (!output || !Is({Operation::kCompare})) return Taken::kNo;
        if (outputGiven_) return Refused("/oa, /od, /os and /on exclude each other");
        outputGiven_ = true;
        c.compareOutput = option == "oa"   ? CompareOutput::kAll
                          : option == "os" ? CompareOutput::kSame
                          : option == "on" ? CompareOutput::kNothing
                                           : CompareOutput::kDifferences;
        return Taken::kYes;
    }

    Taken ForceOption(const std::string& option) {
        using O = Operation;
        if ((option == "f" && Is({O::kAdd, O::kDelete, O::kCopy})) ||
            (option == "y" && Is({O::kExport}))) {
            command_.force = true;
            return Taken::kYes;
        }
        return Taken::kNo;
    }

    bool Consistent() {
        const Command& c = command_;
        if (c.operation == Operation::kCompare && c.recursive && c.valueName)
            return Refuse("/s does not go with /v or /ve");
        if (c.operation != Operation::kQuery) return true;
        if (c.valueNamesOnly && !c.pattern && c.types.empty())
            return Refuse("/v needs a value name (it goes without one only beside /f)");
        if (c.keysOnly + c.dataOnly + c.valueNamesOnly > 1)
            return Refuse("/k, /d and /v without a name exclude each other");
        if ((c.keysOnly || c.dataOnly || c.caseSensitive || c.exact) && !c.pattern)
            return Refuse("/k, /d, /c and /e go with /f");
        if (!c.types.empty() && !c.pattern) command_.pattern = "*";
        if (command_.pattern && c.valueName) return Refuse("/v and /ve do not go with /f or /t");
        return true;
    }

    void AssignPositionals(const std::vector<std::string>& positionals) {
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
    }

    const std::vector<std::string>& args_;
    const OperationName& op_;
    std::string* error_;
    Command command_;
    std::size_t i_ = 1;
    std::optional<std::string> view_;
    std::set<std::string> seen_;
    bool outputGiven_ = false;
};

}  // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::string>& args, std::string* error) {
    if (args.empty()) {
        *error = SyntaxError("no operation", "");
        return std::nullopt;
    }
    if (IsHelp(args[0])) {
        if (args.size() == 1) return Command{};
        *error = SyntaxError(args[0] + " stands alone", "");
        return std::nullopt;
    }
    for (const auto& candidate : kOperations) {
        if (platform::text::EqualsIgnoreCase(args[0], candidate.name))
            return Parser(args, candidate, error).Parse();
    }
    *error = SyntaxError("unknown operation \"" + args[0] + "\"", "");
    return std::nullopt;
}

}  // namespace reg_tool

// The query operation: a key's listing, one value, or a search below a key.
#include <ostream>

#include "platform/posix/registry/name_folding.h"
#include "reg-tool/command_context.h"
#include "reg-tool/query_printer.h"
#include "reg-tool/registry_tree.h"
#include "reg-tool/wildcard.h"

namespace reg_tool {

namespace {

using platform::kErrorSuccess;

ShowOptions ShowOptionsOf(const Command& command) {
    return ShowOptions{command.separator, command.typeNumbers};
}

// One value looked up by name: as fast for a key of a hundred thousand values as for one.
int OneValue(const Context& c, platform::Registry& registry, const KeyName& key) {
    const std::string& name = *c.command.valueName;
    platform::RegKey handle = 0;
    long rc = registry.RegOpenKeyEx(platform::kHkeyCurrentUser, key.path, 0,
                                    platform::kKeyQueryValue, &handle);
    if (rc != kErrorSuccess) return c.Failed(rc);
    Value value{name, 0, {}};
    std::uint32_t size = 0;
    rc = registry.RegQueryValueEx(handle, name, &value.type, nullptr, &size);
    if (rc == kErrorSuccess) {
        value.data.resize(size);
        rc = registry.RegQueryValueEx(handle, name, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    registry.RegCloseKey(handle);
    if (rc == platform::kErrorFileNotFound && name.empty()) {
        c.out << "\n"
              << FullKeyName(key.path) << "\n    (Default)    REG_SZ    (value not set)\n\n";
        return 0;
    }
    if (rc != kErrorSuccess) return c.Failed(rc);
    c.out << "\n"
          << FullKeyName(key.path) << "\n"
          << ValueLine(value, ShowOptionsOf(c.command)) << "\n";
    return 0;
}

// The key's last component: what /f matches among key names.
std::string LastComponent(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Search {
  public:
    explicit Search(const Command& command) : command_(command) {
        pattern_ = Comparable(*command.pattern);
        if (!command.exact) pattern_ = "*" + pattern_ + "*";
        for (const auto& type : command.types) {
            if (const auto code = TypeFromName(type)) types_.push_back(*code);
        }
    }

    bool TypeWanted(std::uint32_t type) const {
        if (types_.empty()) return true;
        for (const auto wanted : types_) {
            if (wanted == type) return true;
        }
        return false;
    }

    bool KeyMatches(const std::string& path) const {
        return !command_.dataOnly && !command_.valueNamesOnly && Matches(LastComponent(path));
    }

    bool ValueMatches(const Value& value) const {
        if (command_.keysOnly || !TypeWanted(value.type)) return false;
        if (command_.valueNamesOnly) return Matches(value.name);
        const bool dataMatches = Matches(DisplayData(value.type, value.data, command_.separator));
        return command_.dataOnly ? dataMatches : dataMatches || Matches(value.name);
    }

  private:
    std::string Comparable(const std::string& s) const {
        return command_.caseSensitive ? s : platform::posix::FoldName(s);
    }
    bool Matches(const std::string& s) const { return MatchesWildcard(Comparable(s), pattern_); }

    const Command& command_;
    std::string pattern_;
    std::vector<std::uint32_t> types_;
};

int Found(const Context& c, const std::string& listing, std::size_t matches) {
    c.out << listing << "End of search: " << matches << " match(es) found.\n";
    return matches > 0 ? 0 : 1;
}

int SearchKeys(const Context& c, const std::vector<KeyContents>& keys) {
    const Search search(c.command);
    const ShowOptions show = ShowOptionsOf(c.command);
    std::string out = "\n";
    std::size_t matches = 0;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const KeyContents& key = keys[k];
        std::string lines;
        for (const auto& value : key.values) {
            if (!search.ValueMatches(value)) continue;
            lines += ValueLine(value, show);
            ++matches;
        }
        // The key searched from is where the search starts, not one of its finds.
        const bool nameMatches = k > 0 && search.KeyMatches(key.path);
        if (nameMatches) ++matches;
        if (!lines.empty()) {
            out += FullKeyName(key.path) + "\n" + lines + "\n";
        } else if (nameMatches) {
            out += FullKeyName(key.path) + "\n";
        }
    }
    return Found(c, out, matches);
}

// /v NAME /s: the keys holding a value of that name.
int SearchValueName(const Context& c, const std::vector<KeyContents>& keys) {
    const std::string wanted = platform::posix::FoldName(*c.command.valueName);
    const ShowOptions show = ShowOptionsOf(c.command);
    std::string out = "\n";
    std::size_t matches = 0;
    for (const auto& key : keys) {
        for (const auto& value : key.values) {
            if (platform::posix::FoldName(value.name) != wanted) continue;
            out += FullKeyName(key.path) + "\n" + ValueLine(value, show) + "\n";
            ++matches;
        }
    }
    return Found(c, out, matches);
}

}  // namespace

int Query(const Context& c, const KeyName& key) {
    const Command& command = c.command;
    for (const auto& type : command.types) {
        if (!TypeFromName(type)) return c.Fail("ERROR: Invalid type \"" + type + "\" after /t.");
    }
    auto registry = c.openStore();
    if (command.valueName && !command.recursive) return OneValue(c, *registry, key);

    const bool wholeTree = command.recursive || command.pattern.has_value();
    std::vector<KeyContents> keys;
    // One reading transaction: the listing shows one state of the store.
    const bool grouped = registry->BeginTransaction(false) == kErrorSuccess;
    const long rc = ReadKeys(*registry, key.path, wholeTree, &keys);
    if (grouped) registry->EndTransaction(false);
    if (rc != kErrorSuccess) return c.Failed(rc);

    if (command.pattern) return SearchKeys(c, keys);
    if (command.valueName) return SearchValueName(c, keys);
    c.out << KeyListing(keys, command.recursive, ShowOptionsOf(command));
    return 0;
}

}  // namespace reg_tool

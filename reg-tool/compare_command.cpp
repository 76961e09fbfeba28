// The compare operation: two keys' values, and with /s their trees, side by
// side. Exit code 0 when they are the same, 2 when they differ.
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/posix/registry/name_folding.h"
#include "reg-tool/command_context.h"
#include "reg-tool/query_printer.h"
#include "reg-tool/registry_tree.h"

namespace reg_tool {

namespace {

using platform::kErrorSuccess;

constexpr int kDifferent = 2;

class Comparison {
  public:
    explicit Comparison(const Command& command) : command_(command) {}

    void Keys(const KeyContents& first, const KeyContents* second) {
        if (!second) {
            Show('<', FullKeyName(first.path), "");
            return;
        }
        std::map<std::string, const Value*> others;
        for (const auto& value : second->values)
            others[platform::posix::FoldName(value.name)] = &value;
        for (const auto& value : first.values) {
            if (!Wanted(value.name)) continue;
            const auto found = others.find(platform::posix::FoldName(value.name));
            if (found == others.end()) {
                Show('<', FullKeyName(first.path), ValueLine(value));
                continue;
            }
            const Value& other = *found->second;
            if (other.type == value.type && other.data == value.data) {
                Show('=', FullKeyName(first.path), ValueLine(value));
            } else {
                Show('<', FullKeyName(first.path), ValueLine(value));
                Show('>', FullKeyName(second->path), ValueLine(other));
            }
            others.erase(found);
        }
        for (const auto& value : second->values) {
            if (Wanted(value.name) && others.count(platform::posix::FoldName(value.name)))
                Show('>', FullKeyName(second->path), ValueLine(value));
        }
        if (command_.valueName) return;
        SubKeys(first, *second);
    }

    void OnlySecond(const KeyContents& key) { Show('>', FullKeyName(key.path), ""); }

    bool Different() const { return different_; }
    const std::string& Output() const { return out_; }

  private:
    bool Wanted(const std::string& name) const {
        return !command_.valueName ||
               platform::posix::FoldName(name) == platform::posix::FoldName(*command_.valueName);
    }

    // Without /s the sub-keys are compared by name; with it, by their contents too.
    void SubKeys(const KeyContents& first, const KeyContents& second) {
        if (command_.recursive) return;
        std::map<std::string, std::string> others;
        for (const auto& name : second.subKeys) others[platform::posix::FoldName(name)] = name;
        for (const auto& name : first.subKeys) {
            const auto found = others.find(platform::posix::FoldName(name));
            if (found == others.end()) {
                Show('<', FullKeyName(ChildPath(first.path, name)), "");
            } else {
                Show('=', FullKeyName(ChildPath(first.path, name)), "");
                others.erase(found);
            }
        }
        for (const auto& name : second.subKeys) {
            if (others.count(platform::posix::FoldName(name)))
                Show('>', FullKeyName(ChildPath(second.path, name)), "");
        }
    }

    void Show(char symbol, const std::string& key, const std::string& valueLine) {
        const bool same = symbol == '=';
        if (!same) different_ = true;
        const CompareOutput shown = command_.compareOutput;
        if (shown == CompareOutput::kNothing) return;
        if (same && shown == CompareOutput::kDifferences) return;
        if (!same && shown == CompareOutput::kSame) return;
        out_ += std::string(1, symbol) + " " + key + "\n" + valueLine;
    }

    const Command& command_;
    std::string out_;
    bool different_ = false;
};

// A key's path below the top of its tree, folded: what pairs the keys of two trees.
std::string Relative(const std::string& path, const std::string& top) {
    std::string rest = path.substr(top.size());
    if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
    return platform::posix::FoldName(rest);
}

std::map<std::string, const KeyContents*> ByRelativePath(const std::vector<KeyContents>& keys,
                                                         const std::string& top) {
    std::map<std::string, const KeyContents*> map;
    for (const auto& key : keys) map[Relative(key.path, top)] = &key;
    return map;
}

}  // namespace

int Compare(const Context& c, const KeyName& first, const KeyName& second) {
    auto registry = c.openStore();
    std::vector<KeyContents> firstKeys, secondKeys;
    const bool grouped = registry->BeginTransaction(false) == kErrorSuccess;
    long rc = ReadKeys(*registry, first.path, c.command.recursive, &firstKeys);
    if (rc == kErrorSuccess)
        rc = ReadKeys(*registry, second.path, c.command.recursive, &secondKeys);
    if (grouped) registry->EndTransaction(false);
    if (rc != kErrorSuccess) return c.Failed(rc);

    Comparison comparison(c.command);
    auto others = ByRelativePath(secondKeys, second.path);
    // A key on one side only is one difference: what lies below it is not listed again.
    std::vector<std::string> oneSided;
    const auto belowOneSided = [&](const std::string& relative) {
        for (const auto& top : oneSided) {
            if (relative.rfind(top + "\\", 0) == 0) return true;
        }
        return false;
    };
    for (const auto& key : firstKeys) {
        const std::string relative = Relative(key.path, first.path);
        const auto found = others.find(relative);
        if (found == others.end()) {
            if (!belowOneSided(relative)) comparison.Keys(key, nullptr);
            oneSided.push_back(relative);
            continue;
        }
        comparison.Keys(key, found->second);
        others.erase(found);
    }
    for (const auto& key : secondKeys) {
        const std::string relative = Relative(key.path, second.path);
        if (!others.count(relative)) continue;
        if (!belowOneSided(relative)) comparison.OnlySecond(key);
        oneSided.push_back(relative);
    }
    c.out << comparison.Output()
          << "\nResult Compared: " << (comparison.Different() ? "Different" : "Identical") << "\n";
    c.Done();
    return comparison.Different() ? kDifferent : 0;
}

}  // namespace reg_tool

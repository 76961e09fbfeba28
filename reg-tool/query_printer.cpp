#include "reg-tool/query_printer.h"

#include "reg-tool/key_name.h"

namespace reg_tool {

std::string ValueLine(const Value& value, const ShowOptions& show) {
    const std::string name = value.name.empty() ? "(Default)" : value.name;
    std::string type = TypeName(value.type);
    if (show.typeNumbers) type += " (" + std::to_string(value.type) + ")";
    return "    " + name + "    " + type + "    " +
           DisplayData(value.type, value.data, show.separator) + "\n";
}

// A key is named only where values follow it; with recursive every key below
// the first is named, with a blank line after it whether it has values or not.
std::string KeyListing(const std::vector<KeyContents>& keys, bool recursive,
                       const ShowOptions& show) {
    std::string out = "\n";
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const KeyContents& key = keys[k];
        if (!key.values.empty() || (recursive && k > 0)) {
            out += FullKeyName(key.path) + "\n";
            for (const auto& value : key.values) out += ValueLine(value, show);
            out += "\n";
        }
        if (recursive) continue;
        for (const auto& sub : key.subKeys) out += FullKeyName(ChildPath(key.path, sub)) + "\n";
        break;
    }
    return out;
}

}  // namespace reg_tool

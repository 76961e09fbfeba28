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

std::string KeyListing(const std::vector<KeyContents>& keys, bool recursive,
                       const ShowOptions& show) {
    std::string out = "\n";
    for (const auto& key : keys) {
        out += FullKeyName(key.path) + "\n";
        for (const auto& value : key.values) out += ValueLine(value, show);
        if (!key.values.empty()) out += "\n";
        if (recursive) continue;
        for (const auto& sub : key.subKeys) out += FullKeyName(ChildPath(key.path, sub)) + "\n";
        if (!key.subKeys.empty()) out += "\n";
        break;
    }
    return out;
}

}  // namespace reg_tool

#include "query_printer.h"

#include "key_name.h"
#include "text/text.h"

namespace regtool {

std::string ValueLine(const Value& value) {
    const std::string name = value.name.empty() ? "(Default)" : value.name;
    return "    " + name + "    " + TypeName(value.type) + "    " +
           DisplayData(value.type, value.data) + "\n";
}

std::string KeyListing(const std::vector<KeyContents>& keys, bool recursive) {
    std::string out = "\n";
    for (const auto& key : keys) {
        out += FullKeyName(key.path) + "\n";
        for (const auto& value : key.values) out += ValueLine(value);
        if (!key.values.empty()) out += "\n";
        if (recursive) continue;
        for (const auto& sub : key.subKeys) out += FullKeyName(ChildPath(key.path, sub)) + "\n";
        if (!key.subKeys.empty()) out += "\n";
        break;
    }
    return out;
}

std::string ValueSearch(const std::vector<KeyContents>& keys, const std::string& name,
                        std::size_t* matches) {
    std::string out = "\n";
    *matches = 0;
    for (const auto& key : keys) {
        for (const auto& value : key.values) {
            if (!text::EqualsIgnoreCase(value.name, name)) continue;
            out += FullKeyName(key.path) + "\n" + ValueLine(value) + "\n";
            ++*matches;
        }
    }
    return out + "End of search: " + std::to_string(*matches) + " match(es) found.\n";
}

}  // namespace regtool

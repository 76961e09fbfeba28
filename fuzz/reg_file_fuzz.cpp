// Any bytes handed to import: parsed or refused with a reason, never a crash;
// and what a file sets, exported again, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "reg-tool/reg_file_format.h"

namespace {

using reg_tool::RegFileEntry;

// Each value set, one key section apiece, written out and read back.
void ExpectValuesSurviveExport(const std::vector<RegFileEntry>& entries) {
    std::vector<reg_tool::KeyContents> keys;
    for (const auto& entry : entries) {
        if (entry.kind != RegFileEntry::Kind::kSetValue) continue;
        reg_tool::KeyContents key;
        key.path = entry.path;
        key.values.push_back({entry.name, entry.type, entry.data});
        keys.push_back(std::move(key));
    }
    std::string error;
    const auto again = reg_tool::ParseRegFile(reg_tool::ExportRegFile(keys), &error);
    if (!again || again->size() != 2 * keys.size()) std::abort();
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const RegFileEntry& value = (*again)[2 * k + 1];
        const reg_tool::Value& original = keys[k].values.front();
        if (value.path != keys[k].path || value.name != original.name ||
            value.type != original.type || value.data != original.data)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto entries = reg_tool::ParseRegFile(bytes, &error);
    // A refused file must tell the user which line is wrong.
    if (!entries && error.empty()) std::abort();
    if (!entries) return 0;
    for (const auto& entry : *entries) {
        // A section may name the hive itself, whose values it then sets,
        // but nothing deletes the hive.
        if (entry.path.empty() && entry.kind == RegFileEntry::Kind::kDeleteKey) std::abort();
    }
    ExpectValuesSurviveExport(*entries);
    return 0;
}

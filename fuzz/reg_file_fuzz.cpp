// Any bytes handed to import: parsed or refused with a reason, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "reg-tool/reg_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto entries = reg_tool::ParseRegFile(bytes, &error);
    // A refused file must tell the user which line is wrong.
    if (!entries && error.empty()) std::abort();
    if (entries) {
        for (const auto& entry : *entries) {
            // A section may name the hive itself, whose values it then sets,
            // but nothing deletes the hive.
            if (entry.path.empty() && entry.kind == reg_tool::RegFileEntry::Kind::kDeleteKey) {
                std::abort();
            }
        }
    }
    return 0;
}

// Key paths: an accepted path splits into non-empty names of at most 255
// characters that join back into exactly the path; any other is refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry/key_path.h"
#include "platform/text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    const auto parts = platform::registry::SplitKeyPath(path);
    if (!parts) {
        // Refused: there must be an empty or an overlong name.
        bool reason = false;
        std::size_t start = 0;
        while (true) {
            const std::size_t end = path.find('\\', start);
            const std::string name =
                path.substr(start, end == std::string::npos ? end : end - start);
            reason |= name.empty() ||
                      platform::text::Length(name) > platform::registry::kMaxKeyNameLength;
            if (end == std::string::npos) break;
            start = end + 1;
        }
        if (!reason) std::abort();
        return 0;
    }
    std::string joined;
    for (std::size_t i = 0; i < parts->size(); ++i) {
        const std::string& name = (*parts)[i];
        if (name.empty() || name.find('\\') != std::string::npos ||
            platform::text::Length(name) > platform::registry::kMaxKeyNameLength) {
            std::abort();
        }
        joined += (i ? "\\" : "") + name;
    }
    if (joined != path) std::abort();
    return 0;
}

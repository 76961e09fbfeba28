#include "platform/registry/key_path.h"

#include "platform/text/text.h"

namespace platform::registry {

std::optional<std::vector<std::string>> SplitKeyPath(const std::string& path) {
    std::vector<std::string> parts;
    if (path.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        std::string part = path.substr(start, end == std::string::npos ? end : end - start);
        if (part.empty() || text::Length(part) > kMaxKeyNameLength) return std::nullopt;
        parts.push_back(std::move(part));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace platform::registry

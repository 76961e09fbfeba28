#include "platform/shell/quoted_path.h"

namespace platform {

std::string PathInsideQuotes(const std::string& text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return text;
    const std::string inside = text.substr(1, text.size() - 2);
    return inside.find('"') == std::string::npos ? inside : text;
}

}  // namespace platform

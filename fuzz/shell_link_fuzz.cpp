// Shortcut files: any bytes are read or refused, never a crash; and what the
// writer accepts reads back as exactly what was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform_error.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/posix/shell_link/shell_link_writer.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The input's NUL-separated fields, as many as asked for.
std::vector<std::string> Fields(const std::string& input, std::size_t count) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < count) {
        const std::size_t end = input.find('\0', start);
        fields.push_back(input.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    fields.resize(count);
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::vector<std::uint8_t> bytes(data + 1, data + size);
    if (data[0] % 2 == 0) {
        try {
            platform::posix::DecodeShellLink(bytes);
        } catch (const platform::PlatformError&) {
        }
        return 0;
    }
    const auto fields = Fields(std::string(bytes.begin(), bytes.end()), 6);
    platform::posix::ShellLink link;
    link.targetPath = fields[0];
    link.arguments = fields[1];
    link.description = fields[2];
    link.iconLocation = fields[3];
    link.iconIndex = fields[4].empty() ? 0 : static_cast<std::int8_t>(fields[4][0]);
    link.showCommand = fields[4].size() > 1 ? static_cast<std::uint8_t>(fields[4][1]) % 8 : 1;
    link.appUserModelId = fields[5];
    std::vector<std::uint8_t> encoded;
    try {
        encoded = platform::posix::EncodeShellLink(link);
    } catch (const platform::PlatformError&) {
        return 0;
    }
    const platform::posix::ShellLinkContents read = platform::posix::DecodeShellLink(encoded);
    Check(read.link.arguments == link.arguments);
    Check(read.link.description == link.description);
    Check(read.link.iconLocation == link.iconLocation);
    Check(read.link.iconIndex == link.iconIndex);
    Check(read.link.showCommand == link.showCommand);
    Check(read.link.appUserModelId == link.appUserModelId);
    Check(!read.hasWorkingDir && !read.hasRelativePath && read.hotKey == 0);
    return 0;
}

#include "shortcut-maker/default_name.h"

#include "platform/text/text.h"

namespace shortcut_maker {

namespace {

constexpr std::size_t kMaxNameLength = 50;
constexpr std::size_t kNameTailLength = 46;

bool EndsWithSeparator(const std::string& s) {
    return platform::text::EndsWith(s, "\\") || platform::text::EndsWith(s, "/");
}

}  // namespace

std::string GetLastPathComponent(const std::string& strPath, const std::string& strSeparator) {
    if (strPath.empty()) return {};
    if (strSeparator.empty()) return strPath;
    const auto position = strPath.rfind(strSeparator);
    if (position == std::string::npos) return strPath;
    return strPath.substr(position + strSeparator.size());
}

std::string DeriveDefaultName(const std::string& strFolderPath) {
    std::string copy = strFolderPath;
    std::string name;
    if (platform::text::Length(copy) > 3) {
        while (EndsWithSeparator(copy)) copy.pop_back();
        name = GetLastPathComponent(GetLastPathComponent(copy, "\\"), "/");
    } else {
        name = platform::text::Left(copy, 1);
    }
    if (platform::text::Length(name) > kMaxNameLength)
        name = "... " + platform::text::Right(name, kNameTailLength);
    return name;
}

}  // namespace shortcut_maker

#include "platform/posix/start_menu.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A store that could not be read would put the shortcut somewhere else
// without a word: its failure is the run's.
void ThrowWhenStoreFailed(const RegResult& result) {
    if (result.Succeeded() || result.Code() == kErrorFileNotFound || result.Reason().empty())
        return;
    throw PlatformError(result.Reason(), PlatformError::Source::Store);
}

std::string RegisteredStartMenu(Registry& registry) {
    RegKey key = 0;
    const RegResult opened =
        registry.RegOpenKeyEx(kHkeyCurrentUser, kUserShellFolders, 0, kKeyQueryValue, &key);
    ThrowWhenStoreFailed(opened);
    if (!opened.Succeeded()) return {};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string value;
    RegResult read = registry.RegQueryValueEx(key, "Start Menu", &type, nullptr, &size);
    if (read.Succeeded() && (type == kRegSz || type == kRegExpandSz) && size > 0) {
        std::vector<std::uint8_t> data(size);
        read = registry.RegQueryValueEx(key, "Start Menu", &type, data.data(), &size);
        if (read.Succeeded()) {
            value.assign(data.begin(), data.begin() + size);
            value = value.substr(0, value.find('\0'));
        }
    }
    registry.RegCloseKey(key);
    ThrowWhenStoreFailed(read);
    return value;
}

std::string ExpandUserProfile(const std::string& value) {
    std::string result;
    std::size_t i = 0;
    while (i < value.size()) {
        const auto open = value.find('%', i);
        if (open == std::string::npos) break;
        const auto close = value.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::string name = value.substr(open + 1, close - open - 1);
        if (!text::EqualsIgnoreCase(name, "USERPROFILE")) {
            throw PlatformError("The Start Menu folder \"" + value + "\" refers to %" + name +
                                "%, which this system does not know.");
        }
        result += value.substr(i, open - i) + WindowsPathOf(HomeFolder());
        i = close + 1;
    }
    return result + value.substr(i);
}

void MakeFolders(const std::string& posixPath) {
    struct stat st {};
    // Made on an earlier run, as a rule: one look then suffices.
    if (::stat(posixPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
    std::string sofar;
    std::size_t at = 1;
    while (at <= posixPath.size()) {
        const auto slash = posixPath.find('/', at);
        const auto end = slash == std::string::npos ? posixPath.size() : slash;
        sofar = posixPath.substr(0, end);
        if (::mkdir(sofar.c_str(), 0777) != 0 && errno != EEXIST) {
            throw PlatformError("Cannot make the folder \"" + sofar +
                                "\": " + std::strerror(errno));
        }
        at = end + 1;
    }
    if (::stat(posixPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        throw PlatformError("\"" + posixPath + "\" is not a folder.");
    }
}

}  // namespace

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    throw PlatformError("The home folder is not known.");
}

std::string StartMenuFolder(Registry& registry) {
    std::string registered = RegisteredStartMenu(registry);
    if (!registered.empty()) {
        registered = ExpandUserProfile(registered);
        while (registered.size() > 3 && registered.back() == '\\') registered.pop_back();
        return registered;
    }
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative XDG_DATA_HOME.
    const std::string base =
        dataHome && dataHome[0] == '/' ? std::string(dataHome) : HomeFolder() + "/.local/share";
    const std::string folder = base + "/kestrow/Start Menu";
    const std::string windows = WindowsPathOf(folder);
    MakeFolders(PosixPathOf(windows));
    return windows;
}

}  // namespace platform::posix

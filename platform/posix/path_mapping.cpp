#include "platform/posix/path_mapping.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/platform_error.h"

namespace platform::posix {
namespace {

// Components of rest after the normalisation rule of the header.
std::vector<std::string> Normalise(const std::string& rest, bool backslashSeparates) {
    std::vector<std::string> parts;
    std::string part;
    auto finish = [&] {
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : rest) {
        if (c == '/' || (backslashSeparates && c == '\\')) {
            finish();
        } else {
            part.push_back(c);
        }
    }
    finish();
    return parts;
}

std::string JoinPosix(const std::vector<std::string>& parts) {
    if (parts.empty()) return "/";
    std::string path;
    for (const auto& part : parts) path += "/" + part;
    return path;
}

// path resolved through symbolic links as far as it exists; the missing
// rest is appended as it is (it holds no ".." by construction).
std::string ResolveExistingPart(const std::string& posixPath) {
    std::vector<std::string> parts = Normalise(posixPath, false);
    std::vector<std::string> missing;
    while (true) {
        char resolved[PATH_MAX];
        if (::realpath(JoinPosix(parts).c_str(), resolved) != nullptr) {
            std::vector<std::string> result = Normalise(resolved, false);
            result.insert(result.end(), missing.rbegin(), missing.rend());
            return JoinPosix(result);
        }
        if (parts.empty()) return JoinPosix(missing);
        missing.push_back(parts.back());
        parts.pop_back();
    }
}

// base (resolved already) followed by the components of rest, resolved one
// at a time: a plain folder costs one look, a link is resolved whole, and
// the walk ends at the first component that is not there.
std::string ResolveBelow(std::string base, const std::string& rest) {
    const std::vector<std::string> parts = Normalise(rest, false);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string next = (base == "/" ? base : base + "/") + parts[i];
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0) {
            for (std::size_t j = i + 1; j < parts.size(); ++j) next += "/" + parts[j];
            return next;
        }
        base = S_ISLNK(st.st_mode) ? ResolveExistingPart(next) : next;
    }
    return base;
}

bool IsBelow(const std::string& path, const std::string& folder) {
    if (folder == "/") return path.size() > 1;
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

}  // namespace

std::optional<std::string> TryPosixPathOf(const std::string& windowsPath) {
    if (windowsPath.size() < 3 || (windowsPath[0] != 'Z' && windowsPath[0] != 'z') ||
        windowsPath[1] != ':' || (windowsPath[2] != '\\' && windowsPath[2] != '/')) {
        return std::nullopt;
    }
    if (windowsPath.find('\0') != std::string::npos) return std::nullopt;
    return JoinPosix(Normalise(windowsPath.substr(3), true));
}

std::string PosixPathOf(const std::string& windowsPath) {
    auto posix = TryPosixPathOf(windowsPath);
    if (!posix) {
        throw PlatformError("The path \"" + windowsPath +
                            "\" is not on drive Z:, the only drive of this system.");
    }
    return *posix;
}

std::string WindowsPathOf(const std::string& posixPath) {
    if (posixPath.empty() || posixPath[0] != '/') {
        throw PlatformError("The path \"" + posixPath + "\" is not an absolute path.");
    }
    if (posixPath.find('\\') != std::string::npos) {
        throw PlatformError("The path \"" + posixPath +
                            "\" holds a backslash in a name, which a Windows path cannot show.");
    }
    const auto parts = Normalise(posixPath, false);
    std::string path = "Z:";
    for (const auto& part : parts) path += "\\" + part;
    return parts.empty() ? "Z:\\" : path;
}

bool IsInsideFolder(const std::string& windowsPath, const std::string& windowsFolder) {
    const auto path = TryPosixPathOf(windowsPath);
    const auto folder = TryPosixPathOf(windowsFolder);
    if (!path || !folder) return false;
    if (!IsBelow(*path, *folder)) return false;
    // One walk of the path: the folder resolved, then only what lies below it.
    const std::string resolvedFolder = ResolveExistingPart(*folder);
    const std::string rest = path->substr(*folder == "/" ? 1 : folder->size() + 1);
    return IsBelow(ResolveBelow(resolvedFolder, rest), resolvedFolder);
}

}  // namespace platform::posix

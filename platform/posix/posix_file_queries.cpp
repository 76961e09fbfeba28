#include "platform/posix/posix_file_queries.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "platform/platform_error.h"
#include "platform/posix/file_attributes.h"
#include "platform/posix/path_mapping.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

bool Matches(std::string_view name, std::string_view pattern) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == '*') {
        for (std::size_t i = 0; i <= name.size(); ++i) {
            if (Matches(name.substr(i), pattern.substr(1))) return true;
        }
        return false;
    }
    if (name.empty()) return false;
    if (pattern[0] == '?') {
        const auto first = text::Left(name, 1).size();
        return Matches(name.substr(first), pattern.substr(1));
    }
    return pattern[0] == name[0] && Matches(name.substr(1), pattern.substr(1));
}

bool Wanted(int attributes, int mask) {
    if ((attributes & kAttrDirectory) && !(mask & kAttrDirectory)) return false;
    if ((attributes & kAttrHidden) && !(mask & kAttrHidden)) return false;
    if ((attributes & kAttrReadOnly) && !(mask & kAttrReadOnly)) return false;
    return true;
}

bool StatEntry(const std::string& path, struct stat& st) {
    return ::stat(path.c_str(), &st) == 0 || ::lstat(path.c_str(), &st) == 0;
}

std::string SwapAsciiCase(std::string name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}

// The entry's own spelling of name, which st describes. Where the file
// system ignores letter case, as Windows' does, name may be spelt otherwise
// than the entry it found; the name with every letter's case swapped then
// finds the same file, which on any other file system it does not.
std::string StoredName(const std::string& prefix, const std::string& name, const struct stat& st) {
    const std::string swapped = SwapAsciiCase(name);
    struct stat other {};
    if (swapped == name || !StatEntry(prefix + swapped, other) || other.st_ino != st.st_ino ||
        other.st_dev != st.st_dev) {
        return name;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(prefix.c_str()), ::closedir);
    if (!dir) return name;
    // The name as asked wins when it is there itself (links may give a file
    // several spellings); otherwise the spelling the entry has.
    std::string stored;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string candidate = entry->d_name;
        if (candidate == name) return name;
        struct stat found {};
        if (stored.empty() && text::EqualsIgnoreCase(candidate, name) &&
            StatEntry(prefix + candidate, found) && found.st_ino == st.st_ino &&
            found.st_dev == st.st_dev) {
            stored = candidate;
        }
    }
    return stored.empty() ? name : stored;
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    // Collapsing runs of * keeps the recursion linear in practice.
    std::string simple;
    for (char c : pattern) {
        if (!(c == '*' && !simple.empty() && simple.back() == '*')) simple.push_back(c);
    }
    return Matches(name, simple == "*.*" ? "*" : simple);
}

std::string PosixFileQueries::Dir(const std::string& path, int attributeMask) {
    const auto cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    const std::string pattern = cut + 1 < path.size() ? path.substr(cut + 1) : std::string("*");
    const auto folder = TryPosixPathOf(path.substr(0, cut + 1));
    if (!folder || pattern == "." || pattern == "..") return {};

    const std::string prefix = (*folder == "/" ? "" : *folder) + "/";
    // A name without wildcards can match only itself: one stat instead of
    // reading a folder that may hold hundreds of shortcuts.
    if (pattern.find_first_of("*?") == std::string::npos) {
        struct stat st {};
        if (!StatEntry(prefix + pattern, st)) return {};
        const std::string stored = StoredName(prefix, pattern, st);
        return Wanted(AttributesOf(stored, st), attributeMask) ? stored : std::string();
    }

    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder->c_str()), ::closedir);
    if (!dir) return {};
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.find('\\') != std::string::npos) continue;
        if (!MatchesWildcard(name, pattern)) continue;
        const std::string full = prefix + name;
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;
        if (Wanted(AttributesOf(name, st), attributeMask)) matches.push_back(name);
    }
    if (matches.empty()) return {};
    return *std::min_element(matches.begin(), matches.end());
}

int PosixFileQueries::GetAttr(const std::string& path) {
    const auto posix = TryPosixPathOf(path);
    struct stat st {};
    if (!posix || ::stat(posix->c_str(), &st) != 0) {
        throw PlatformError("File not found: \"" + path + "\".");
    }
    return AttributesOf(posix->substr(posix->rfind('/') + 1), st);
}

int PosixFileQueries::GetDriveType(const std::string& root) {
    const bool isDrive = (root.size() == 2 || (root.size() == 3 && root[2] == '\\')) &&
                         std::isalpha(static_cast<unsigned char>(root[0])) && root[1] == ':';
    if (isDrive && std::toupper(static_cast<unsigned char>(root[0])) == 'Z') return kDriveFixed;
    return kDriveNoRootDir;
}

}  // namespace platform::posix

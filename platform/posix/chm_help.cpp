#include "posix/chm_help.h"

#include <chm_lib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform_error.h"
#include "posix/path_mapping.h"

namespace platform {

// The few entry points of libchm, bound by name.
class ChmLibrary {
  public:
    using OpenFn = chmFile* (*)(const char*);
    using CloseFn = void (*)(chmFile*);
    using ResolveFn = int (*)(chmFile*, const char*, chmUnitInfo*);
    using RetrieveFn = LONGINT64 (*)(chmFile*, chmUnitInfo*, unsigned char*, LONGUINT64, LONGINT64);

    explicit ChmLibrary(const std::string& name) {
        // Never closed: help windows may read from it until the program ends.
        void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) throw PlatformError("The help library " + name + " cannot be loaded.");
        open = reinterpret_cast<OpenFn>(::dlsym(handle, "chm_open"));
        close = reinterpret_cast<CloseFn>(::dlsym(handle, "chm_close"));
        resolve = reinterpret_cast<ResolveFn>(::dlsym(handle, "chm_resolve_object"));
        retrieve = reinterpret_cast<RetrieveFn>(::dlsym(handle, "chm_retrieve_object"));
        if (!open || !close || !resolve || !retrieve) {
            throw PlatformError("The help library " + name + " lacks an entry point.");
        }
    }

    OpenFn open = nullptr;
    CloseFn close = nullptr;
    ResolveFn resolve = nullptr;
    RetrieveFn retrieve = nullptr;
};

namespace {

constexpr LONGUINT64 kLargestObject = 64u << 20;

// One open help file, shared by the window's resource loader.
class ChmArchive {
  public:
    ChmArchive(std::shared_ptr<ChmLibrary> library, chmFile* file)
        : library_(std::move(library)), file_(file) {}
    ~ChmArchive() { library_->close(file_); }
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // The bytes of the object at path ("/x.htm"), or nullopt.
    std::optional<std::string> Read(const std::string& path) {
        chmUnitInfo info{};
        if (library_->resolve(file_, path.c_str(), &info) != CHM_RESOLVE_SUCCESS) {
            return std::nullopt;
        }
        if (info.length > kLargestObject) return std::nullopt;
        std::string bytes(static_cast<std::size_t>(info.length), '\0');
        if (info.length == 0) return bytes;
        const LONGINT64 got =
            library_->retrieve(file_, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                               static_cast<LONGINT64>(info.length));
        if (got != static_cast<LONGINT64>(info.length)) return std::nullopt;
        return bytes;
    }

  private:
    std::shared_ptr<ChmLibrary> library_;
    chmFile* file_;
};

// An object path inside the archive: relative names are taken from the
// topic's folder; "." and ".." are resolved and never climb above the root.
std::string ObjectPath(const std::string& base, std::string name) {
    name = name.substr(0, name.find_first_of("#?"));
    std::replace(name.begin(), name.end(), '\\', '/');
    if (const auto marker = name.find("::"); marker != std::string::npos) {
        name = name.substr(marker + 2);
    }
    std::string combined = !name.empty() && name[0] == '/' ? name : base + "/" + name;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= combined.size()) {
        const auto slash = combined.find('/', start);
        const auto end = slash == std::string::npos ? combined.size() : slash;
        const std::string part = combined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string path;
    for (const auto& part : parts) path += "/" + part;
    return path.empty() ? "/" : path;
}

std::string FolderOf(const std::string& objectPath) {
    return objectPath.substr(0, objectPath.rfind('/'));
}

}  // namespace

std::string HtmlTitle(const std::string& html) {
    std::string lower = html;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto open = lower.find("<title");
    if (open == std::string::npos) return {};
    const auto start = lower.find('>', open);
    const auto end = lower.find("</title", start);
    if (start == std::string::npos || end == std::string::npos) return {};
    std::string title = html.substr(start + 1, end - start - 1);
    const auto first = title.find_first_not_of(" \t\r\n");
    const auto last = title.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : title.substr(first, last - first + 1);
}

ChmHelp::ChmHelp(forms::UserInterface& ui, std::string libraryName)
    : ui_(ui), libraryName_(std::move(libraryName)) {}

ChmHelp::~ChmHelp() = default;

ChmLibrary& ChmHelp::Library() {
    if (!library_) library_ = std::make_shared<ChmLibrary>(libraryName_);
    return *library_;
}

std::uintptr_t ChmHelp::HtmlHelp(std::uintptr_t, const std::string& file, unsigned command,
                                 const std::string& data) {
    if (command == kHhCloseAll) {
        if (ui_.BackendLoaded()) ui_.Backend().CloseHelpWindows();
        return 0;
    }
    if (command != kHhDisplayTopic) return 0;

    ChmLibrary& library = Library();
    std::string chmPath = file;
    std::string topic = data;
    if (const auto marker = file.find("::"); marker != std::string::npos) {
        chmPath = file.substr(0, marker);
        if (topic.empty()) topic = file.substr(marker + 2);
    }
    const auto posix = TryPosixPathOf(chmPath);
    if (!posix || topic.empty()) return 0;
    chmFile* opened = library.open(posix->c_str());
    if (!opened) return 0;
    auto archive = std::make_shared<ChmArchive>(library_, opened);

    const std::string topicPath = ObjectPath("", topic);
    const auto html = archive->Read(topicPath);
    if (!html) return 0;
    std::string title = HtmlTitle(*html);
    if (title.empty()) title = topicPath.substr(1);
    const std::string folder = FolderOf(topicPath);
    return ui_.Backend().OpenHelpWindow(title, *html, [archive, folder](const std::string& name) {
        return archive->Read(ObjectPath(folder, name)).value_or(std::string());
    });
}

}  // namespace platform

#include "platform/posix/chm_help.h"

#include <chm_lib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/platform_error.h"
#include "platform/posix/path_mapping.h"

namespace platform::posix {

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
// How the viewer tells a help file it cannot show: MB_OK | MB_ICONEXCLAMATION.
constexpr unsigned kMessageStyle = 0x30;
const char* const kMessageTitle = "HTML Help";

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

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The name of the file a Windows path ends in.
std::string FileNameOf(const std::string& windowsPath) {
    const auto slash = windowsPath.find_last_of("\\/");
    return slash == std::string::npos ? windowsPath : windowsPath.substr(slash + 1);
}

// A topic as the contents and index name it ("/x.htm", "file.chm::/x.htm",
// "sub\x.htm#part"): a path from the file's root without the leading "/".
std::string TopicPath(std::string local) {
    if (const auto marker = local.find("::"); marker != std::string::npos) {
        local = local.substr(marker + 2);
    }
    std::replace(local.begin(), local.end(), '\\', '/');
    const auto first = local.find_first_not_of('/');
    return first == std::string::npos ? std::string() : local.substr(first);
}

// The names the compiler records in the help file's #SYSTEM object: a
// version, then records of a 16-bit code, a 16-bit length and the data.
struct SystemInfo {
    std::string contentsFile;
    std::string indexFile;
    std::string defaultTopic;
    std::string title;
};

SystemInfo ReadSystemInfo(const std::string& bytes) {
    SystemInfo info;
    auto word = [&bytes](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    for (std::size_t at = 4; at + 4 <= bytes.size();) {
        const unsigned code = word(at);
        const std::size_t length = word(at + 2);
        if (at + 4 + length > bytes.size()) break;
        std::string data = bytes.substr(at + 4, length);
        data = data.substr(0, data.find('\0'));
        if (code == 0) info.contentsFile = data;
        if (code == 1) info.indexFile = data;
        if (code == 2) info.defaultTopic = data;
        if (code == 3) info.title = data;
        at += 4 + length;
    }
    return info;
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The named and numbered character references a sitemap's values hold.
std::string DecodeEntities(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text[at] == '&' ? text.find(';', at) : std::string::npos;
        if (end == std::string::npos || end - at > 10) {
            out += text[at++];
            continue;
        }
        const std::string name = text.substr(at + 1, end - at - 1);
        if (name == "amp") {
            out += '&';
        } else if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "quot") {
            out += '"';
        } else if (name == "nbsp") {
            AppendUtf8(out, 0xA0);
        } else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* rest = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &rest, hex ? 16 : 10);
            if (digits.empty() || *rest != '\0') {
                out += text.substr(at, end - at + 1);
            } else {
                AppendUtf8(out, code);
            }
        } else {
            out += text.substr(at, end - at + 1);
        }
        at = end + 1;
    }
    return out;
}

// A tag's name (lower case) and attributes (names lower case), from the
// text between its angle brackets.
struct Tag {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;

    std::string Attribute(const std::string& wanted) const {
        for (const auto& [key, value] : attributes) {
            if (key == wanted) return value;
        }
        return {};
    }
};

Tag ParseTag(const std::string& text) {
    Tag tag;
    std::size_t at = 0;
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    auto skipSpaces = [&] {
        while (at < text.size() && isSpace(text[at])) ++at;
    };
    skipSpaces();
    const std::size_t nameStart = at;
    while (at < text.size() && !isSpace(text[at]) && text[at] != '/') ++at;
    if (at == nameStart && at < text.size()) ++at;  // "</ul>": the slash is the name's
    while (at < text.size() && !isSpace(text[at]) && text[at] != '>') ++at;
    tag.name = Lower(text.substr(nameStart, at - nameStart));
    while (true) {
        skipSpaces();
        if (at >= text.size()) break;
        const std::size_t keyStart = at;
        while (at < text.size() && !isSpace(text[at]) && text[at] != '=') ++at;
        std::string key = Lower(text.substr(keyStart, at - keyStart));
        skipSpaces();
        std::string value;
        if (at < text.size() && text[at] == '=') {
            ++at;
            skipSpaces();
            if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
                const char quote = text[at++];
                const auto close = text.find(quote, at);
                value =
                    text.substr(at, close == std::string::npos ? std::string::npos : close - at);
                at = close == std::string::npos ? text.size() : close + 1;
            } else {
                const std::size_t valueStart = at;
                while (at < text.size() && !isSpace(text[at])) ++at;
                value = text.substr(valueStart, at - valueStart);
            }
        }
        if (key.empty()) {
            ++at;
            continue;
        }
        tag.attributes.emplace_back(std::move(key), DecodeEntities(value));
    }
    return tag;
}

}  // namespace

std::vector<forms::HelpEntry> ParseSitemap(const std::string& html) {
    std::vector<forms::HelpEntry> entries;
    std::optional<forms::HelpEntry> entry;  // inside a sitemap object
    int depth = 0;
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at)) {
        if (html.compare(at, 4, "<!--") == 0) {
            const auto end = html.find("-->", at);
            at = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        const auto end = html.find('>', at);
        if (end == std::string::npos) break;
        const Tag tag = ParseTag(html.substr(at + 1, end - at - 1));
        at = end + 1;
        if (tag.name == "ul") {
            ++depth;
        } else if (tag.name == "/ul") {
            depth = std::max(0, depth - 1);
        } else if (tag.name == "object" && Lower(tag.Attribute("type")) == "text/sitemap") {
            entry = forms::HelpEntry{{}, {}, std::max(0, depth - 1)};
        } else if (tag.name == "param" && entry) {
            // An index entry may name several topics: the first one opens.
            const std::string key = Lower(tag.Attribute("name"));
            if (key == "name" && entry->name.empty()) entry->name = tag.Attribute("value");
            if (key == "local" && entry->topic.empty()) {
                entry->topic = TopicPath(tag.Attribute("value"));
            }
        } else if (tag.name == "/object" && entry) {
            if (!entry->name.empty()) entries.push_back(std::move(*entry));
            entry.reset();
        }
    }
    return entries;
}

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

forms::HelpWindows* ChmHelp::Windows() { return dynamic_cast<forms::HelpWindows*>(&ui_.Backend()); }

std::uintptr_t ChmHelp::HtmlHelp(std::uintptr_t, const std::string& file, unsigned command,
                                 const std::string& data) {
    if (command == kHhCloseAll) {
        if (!ui_.BackendLoaded()) return 0;
        if (forms::HelpWindows* windows = Windows()) windows->CloseHelpWindows();
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
    // A file that cannot be read is told, as the platform's viewer tells it;
    // the caller still gets only the 0.
    const std::string fileName = FileNameOf(chmPath);
    const auto posix = TryPosixPathOf(chmPath);
    chmFile* opened = posix ? library.open(posix->c_str()) : nullptr;
    auto archive = opened ? std::make_shared<ChmArchive>(library_, opened) : nullptr;
    // Every compiled help file holds its #SYSTEM record; a file cut short
    // or damaged may open and still not give it.
    const auto systemBytes = archive ? archive->Read("/#SYSTEM") : std::nullopt;
    if (!systemBytes) {
        ui_.MsgBox("Cannot open the file " + fileName + ".", kMessageStyle, kMessageTitle);
        return 0;
    }
    const SystemInfo system = ReadSystemInfo(*systemBytes);
    if (topic.empty()) topic = system.defaultTopic;
    const std::string topicPath = ObjectPath("", topic);
    const auto html = topic.empty() ? std::nullopt : archive->Read(topicPath);
    if (!html) {
        ui_.MsgBox("The topic " + topic + " cannot be found in the file " + fileName + ".",
                   kMessageStyle, kMessageTitle);
        return 0;
    }

    forms::HelpDocument document;
    document.title = system.title;
    if (document.title.empty()) document.title = HtmlTitle(*html);
    if (document.title.empty()) document.title = topicPath.substr(1);
    document.topic = topicPath.substr(1);
    document.html = *html;
    // The compiler names the contents and index files; a file made without
    // those records may still hold them under the help file's own name.
    const std::string stem = "/" + fileName.substr(0, fileName.rfind('.'));
    auto sitemap = [&archive](const std::string& named, const std::string& fallback) {
        auto text = archive->Read(named.empty() ? fallback : ObjectPath("", named));
        return text ? ParseSitemap(*text) : std::vector<forms::HelpEntry>();
    };
    document.contents = sitemap(system.contentsFile, stem + ".hhc");
    document.index = sitemap(system.indexFile, stem + ".hhk");
    const std::string folder = FolderOf(topicPath);
    document.resource = [archive, folder](const std::string& name) {
        return archive->Read(ObjectPath(folder, name)).value_or(std::string());
    };
    forms::HelpWindows* windows = Windows();
    if (!windows) throw PlatformError("help \"" + document.title + "\" needs a display");
    return windows->OpenHelp(document);
}

}  // namespace platform::posix

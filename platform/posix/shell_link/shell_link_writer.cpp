#include "platform/posix/shell_link/shell_link_writer.h"

#include <array>
#include <cctype>
#include <string_view>

#include "platform/platform_error.h"
#include "platform/posix/shell_link/property_store_block.h"
#include "platform/posix/shell_link/replace_file.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

// Link flags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x00000001;
constexpr std::uint32_t kHasLinkInfo = 0x00000002;
constexpr std::uint32_t kHasName = 0x00000004;
constexpr std::uint32_t kHasArguments = 0x00000020;
constexpr std::uint32_t kHasIconLocation = 0x00000040;
constexpr std::uint32_t kIsUnicode = 0x00000080;

constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;

// {00021401-0000-0000-C000-000000000046}
constexpr std::array<std::uint8_t, 16> kLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// My Computer, {20D04FE0-3AEA-1069-A2D8-08002B30309D}, as a root shell item.
constexpr std::array<std::uint8_t, 18> kMyComputerItem = {0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20,
                                                          0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8,
                                                          0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

class Bytes {
  public:
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    void Append(const std::vector<std::uint8_t>& b) { out_.insert(out_.end(), b.begin(), b.end()); }
    template <std::size_t N>
    void Append(const std::array<std::uint8_t, N>& b) {
        out_.insert(out_.end(), b.begin(), b.end());
    }
    void Ascii(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }
    void AsciiZ(std::string_view s) {
        Ascii(s);
        U8(0);
    }
    void Utf16Z(const std::u16string& s) {
        for (char16_t c : s) U16(static_cast<std::uint16_t>(c));
        U16(0);
    }
    void PatchU16(std::size_t at, std::uint16_t v) {
        out_[at] = static_cast<std::uint8_t>(v);
        out_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void PatchU32(std::size_t at, std::uint32_t v) {
        PatchU16(at, static_cast<std::uint16_t>(v));
        PatchU16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    std::size_t Size() const { return out_.size(); }
    std::vector<std::uint8_t>& Data() { return out_; }

  private:
    std::vector<std::uint8_t> out_;
};

bool IsAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitComponents(std::string_view rest) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : rest) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// The 8.3 name a FAT-style directory entry would carry: the name itself,
// upper-cased, when it fits; otherwise the usual "~1" form.
std::string ShortName(const std::string& name) {
    const auto dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    auto clean = [](const std::string& s) {
        std::string r;
        for (char c : s) {
            if (c == ' ' || c == '.') continue;
            r.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        }
        return r;
    };
    const std::string cleanBase = clean(base);
    const std::string cleanExt = clean(ext);
    const bool fits = cleanBase.size() == base.size() && cleanExt.size() == ext.size() &&
                      !base.empty() && base.size() <= 8 && ext.size() <= 3;
    std::string result = fits ? cleanBase : cleanBase.substr(0, 6) + "~1";
    if (!cleanExt.empty()) result += "." + cleanExt.substr(0, 3);
    return result;
}

// A file-entry shell item with the extension block that carries the long name.
std::vector<std::uint8_t> FileEntryItem(const std::string& name, bool isFolder) {
    Bytes item;
    item.U16(0);  // size, patched below
    item.U8(isFolder ? 0x31 : 0x32);
    item.U8(0);
    item.U32(0);  // file size: unknown
    item.U32(0);  // modification time: unknown
    item.U16(
        static_cast<std::uint16_t>(isFolder ? kFileAttributeDirectory : kFileAttributeArchive));
    item.AsciiZ(ShortName(name));
    if (item.Size() % 2 != 0) item.U8(0);

    const std::size_t blockStart = item.Size();
    item.U16(0);  // block size, patched below
    item.U16(3);  // version
    item.U32(0xBEEF0004);
    item.U32(0);     // creation time
    item.U32(0);     // access time
    item.U16(0x14);  // identifier of this block version
    item.U16(0);     // no localized name
    item.Utf16Z(text::ToUtf16(name));
    item.U16(static_cast<std::uint16_t>(blockStart));
    item.PatchU16(blockStart, static_cast<std::uint16_t>(item.Size() - blockStart));
    item.PatchU16(0, static_cast<std::uint16_t>(item.Size()));
    return std::move(item.Data());
}

void WriteIdList(Bytes& out, char drive, const std::vector<std::string>& components) {
    Bytes list;
    list.U16(static_cast<std::uint16_t>(2 + kMyComputerItem.size()));
    list.Append(kMyComputerItem);

    list.U16(25);
    list.U8(0x2F);
    list.U8(static_cast<std::uint8_t>(drive));
    list.Ascii(":\\");
    list.Zeros(25 - 6);

    for (std::size_t i = 0; i < components.size(); ++i) {
        list.Append(FileEntryItem(components[i], i + 1 < components.size()));
    }
    list.U16(0);  // terminal item

    if (list.Size() > 0xFFFF) throw PlatformError("The shortcut target path is too long.");
    out.U16(static_cast<std::uint16_t>(list.Size()));
    out.Append(list.Data());
}

void WriteLinkInfo(Bytes& out, const std::string& localBasePath) {
    constexpr std::uint32_t kHeaderSize = 0x1C;
    Bytes volume;
    volume.U32(0);  // size, patched below
    volume.U32(kDriveFixed);
    volume.U32(0);     // serial number: unknown
    volume.U32(0x10);  // label offset
    volume.AsciiZ("");
    volume.PatchU32(0, static_cast<std::uint32_t>(volume.Size()));

    const auto volumeOffset = kHeaderSize;
    const auto baseOffset = volumeOffset + static_cast<std::uint32_t>(volume.Size());
    const auto suffixOffset = baseOffset + static_cast<std::uint32_t>(localBasePath.size() + 1);
    const auto total = suffixOffset + 1;

    out.U32(total);
    out.U32(kHeaderSize);
    out.U32(kVolumeIdAndLocalBasePath);
    out.U32(volumeOffset);
    out.U32(baseOffset);
    out.U32(0);  // no network location
    out.U32(suffixOffset);
    out.Append(volume.Data());
    out.AsciiZ(localBasePath);
    out.AsciiZ("");  // common path suffix
}

void WriteCountedString(Bytes& out, const std::string& value, const char* what) {
    // Bytes that are no text would be stored as other characters.
    if (!text::IsValidUtf8(value)) {
        throw PlatformError(std::string("The shortcut's ") + what + " is not valid text.");
    }
    const std::u16string units = text::ToUtf16(value);
    if (units.size() > 0xFFFF) {
        throw PlatformError(std::string("The shortcut's ") + what +
                            " is longer than 65535 characters.");
    }
    out.U16(static_cast<std::uint16_t>(units.size()));
    for (char16_t c : units) out.U16(static_cast<std::uint16_t>(c));
}

void CheckTarget(const std::string& target) {
    const bool onDrive = target.size() >= 3 &&
                         std::isalpha(static_cast<unsigned char>(target[0])) && target[1] == ':' &&
                         target[2] == '\\';
    if (!onDrive) {
        throw PlatformError("The shortcut target \"" + target +
                            "\" is not an absolute path on a drive.");
    }
    if (!IsAscii(target)) {
        throw PlatformError("The shortcut target \"" + target +
                            "\" holds characters a shortcut's link info cannot carry.");
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeShellLink(const ShellLink& link) {
    CheckTarget(link.targetPath);
    if (link.showCommand != kShowNormal && link.showCommand != kShowMaximized &&
        link.showCommand != kShowMinNoActive) {
        throw PlatformError("The window style " + std::to_string(link.showCommand) +
                            " is not one of 1 (normal), 3 (maximized) or 7 (minimized).");
    }
    const auto components = SplitComponents(std::string_view(link.targetPath).substr(3));
    const char drive =
        static_cast<char>(std::toupper(static_cast<unsigned char>(link.targetPath[0])));
    std::string basePath = std::string(1, drive) + ":\\";
    for (std::size_t i = 0; i < components.size(); ++i) {
        basePath += (i ? "\\" : "") + components[i];
    }

    std::uint32_t flags = kHasLinkTargetIdList | kHasLinkInfo | kIsUnicode;
    if (!link.description.empty()) flags |= kHasName;
    if (!link.arguments.empty()) flags |= kHasArguments;
    if (!link.iconLocation.empty()) flags |= kHasIconLocation;
    const bool targetIsFolder = components.empty();

    Bytes out;
    out.U32(0x4C);
    out.Append(kLinkClsid);
    out.U32(flags);
    out.U32(targetIsFolder ? kFileAttributeDirectory : kFileAttributeArchive);
    out.Zeros(3 * 8);  // creation, access and write times: unknown
    out.U32(0);        // target size: unknown
    out.U32(static_cast<std::uint32_t>(link.iconIndex));
    out.U32(link.showCommand);
    out.U16(0);  // no hot key
    out.Zeros(2 + 4 + 4);

    WriteIdList(out, drive, components);
    WriteLinkInfo(out, basePath);
    if (flags & kHasName) WriteCountedString(out, link.description, "description");
    if (flags & kHasArguments) WriteCountedString(out, link.arguments, "arguments");
    if (flags & kHasIconLocation) WriteCountedString(out, link.iconLocation, "icon location");
    if (!link.appUserModelId.empty()) out.Append(EncodeAppUserModelIdBlock(link.appUserModelId));
    out.U32(0);  // terminal extra-data block
    return std::move(out.Data());
}

void WriteShellLinkFile(const std::string& posixPath, const ShellLink& link) {
    ReplaceFileAtomically(posixPath, EncodeShellLink(link));
}

}  // namespace platform::posix

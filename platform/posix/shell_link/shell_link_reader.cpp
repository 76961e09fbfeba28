#include "platform/posix/shell_link/shell_link_reader.h"

#include <fstream>
#include <iterator>

#include "platform/platform_error.h"
#include "platform/posix/shell_link/property_store_block.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

class Cursor {
  public:
    explicit Cursor(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    void Need(std::size_t n) const {
        if (pos_ + n > bytes_.size()) throw PlatformError("The shortcut file is truncated.");
    }
    std::uint16_t U16(std::size_t at) const {
        return static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
    }
    std::uint32_t U32(std::size_t at) const {
        return U16(at) | (static_cast<std::uint32_t>(U16(at + 2)) << 16);
    }
    std::uint16_t ReadU16() {
        Need(2);
        pos_ += 2;
        return U16(pos_ - 2);
    }
    std::uint32_t ReadU32() {
        Need(4);
        pos_ += 4;
        return U32(pos_ - 4);
    }
    void Skip(std::size_t n) {
        Need(n);
        pos_ += n;
    }
    std::string ReadCountedString(bool unicode) {
        const std::size_t count = ReadU16();
        if (!unicode) {
            Need(count);
            pos_ += count;
            return std::string(bytes_.begin() + static_cast<long>(pos_ - count),
                               bytes_.begin() + static_cast<long>(pos_));
        }
        Need(count * 2);
        std::u16string units;
        for (std::size_t i = 0; i < count; ++i) units.push_back(static_cast<char16_t>(ReadU16()));
        return text::FromUtf16(units);
    }
    std::string AsciiZAt(std::size_t at, std::size_t end) const {
        std::string s;
        while (at < end && bytes_[at] != 0) s.push_back(static_cast<char>(bytes_[at++]));
        if (at >= end) throw PlatformError("The shortcut file's link info is damaged.");
        return s;
    }
    std::size_t Pos() const { return pos_; }
    const std::uint8_t* At(std::size_t at) const { return bytes_.data() + at; }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

ShellLinkContents DecodeShellLink(const std::vector<std::uint8_t>& bytes) {
    Cursor in(bytes);
    if (in.ReadU32() != 0x4C) throw PlatformError("Not a shortcut file: wrong header size.");
    const std::uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    in.Need(16);
    for (int i = 0; i < 16; ++i) {
        if (bytes[4 + i] != clsid[i]) throw PlatformError("Not a shortcut file: wrong class id.");
    }
    in.Skip(16);
    ShellLinkContents result;
    result.linkFlags = in.ReadU32();
    in.Skip(4 + 3 * 8 + 4);  // attributes, times, size
    result.link.iconIndex = static_cast<std::int32_t>(in.ReadU32());
    result.link.showCommand = in.ReadU32();
    result.hotKey = in.ReadU16();
    in.Skip(10);

    const auto flags = result.linkFlags;
    if (flags & 0x1) in.Skip(in.ReadU16());
    if (flags & 0x2) {
        const std::size_t start = in.Pos();
        const std::uint32_t size = in.ReadU32();
        in.Skip(size < 4 ? 0 : size - 4);
        if (size >= 0x1C && (in.U32(start + 8) & 0x1)) {
            result.link.targetPath = in.AsciiZAt(start + in.U32(start + 16), start + size);
        }
    }
    const bool unicode = (flags & 0x80) != 0;
    if (flags & 0x04) result.link.description = in.ReadCountedString(unicode);
    if (flags & 0x08) {
        result.hasRelativePath = true;
        in.ReadCountedString(unicode);
    }
    if (flags & 0x10) {
        result.hasWorkingDir = true;
        in.ReadCountedString(unicode);
    }
    if (flags & 0x20) result.link.arguments = in.ReadCountedString(unicode);
    if (flags & 0x40) result.link.iconLocation = in.ReadCountedString(unicode);

    // Extra-data blocks up to the terminal one, whose size is below 4.
    for (;;) {
        const std::size_t start = in.Pos();
        const std::uint32_t size = in.ReadU32();
        if (size < 4) break;
        if (size < 8) throw PlatformError("The shortcut file's extra data is damaged.");
        in.Skip(size - 4);
        if (in.U32(start + 4) == kPropertyStoreBlockSignature &&
            result.link.appUserModelId.empty()) {
            result.link.appUserModelId = AppUserModelIdInPropertyStore(in.At(start + 8), size - 8);
        }
    }
    return result;
}

ShellLinkContents ReadShellLinkFile(const std::string& posixPath) {
    std::ifstream file(posixPath, std::ios::binary);
    if (!file) throw PlatformError("Cannot open the shortcut file \"" + posixPath + "\".");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    return DecodeShellLink(bytes);
}

}  // namespace platform::posix

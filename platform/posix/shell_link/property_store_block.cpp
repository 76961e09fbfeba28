#include "platform/posix/shell_link/property_store_block.h"

#include <algorithm>
#include <array>

#include "platform/platform_error.h"
#include "platform/text/text.h"

namespace platform::posix {
namespace {

constexpr std::uint32_t kStorageVersion = 0x53505331;  // "1SPS"
// {9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}, the application model's properties,
// as a GUID is stored: its first three fields little-endian.
constexpr std::array<std::uint8_t, 16> kAppUserModelFormat = {
    0x55, 0x28, 0x4C, 0x9F, 0x79, 0x9F, 0x39, 0x4B, 0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3};
constexpr std::uint32_t kAppUserModelIdProperty = 5;
constexpr std::uint16_t kVtLpwstr = 0x001F;
// Storage size, version and format id.
constexpr std::size_t kStorageHeaderSize = 4 + 4 + 16;
// Value size, property id and the reserved byte.
constexpr std::size_t kValueHeaderSize = 4 + 4 + 1;
// Windows refuses longer application ids.
constexpr std::size_t kMaxIdLength = 128;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, static_cast<std::uint16_t>(v));
    PutU16(out, static_cast<std::uint16_t>(v >> 16));
}

// Writes the size of what was written since at into the four bytes at at.
void PatchSizeFrom(std::vector<std::uint8_t>& out, std::size_t at) {
    const auto size = static_cast<std::uint32_t>(out.size() - at);
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(size >> (8 * i));
}

std::uint16_t U16At(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32At(const std::uint8_t* p) {
    return U16At(p) | (static_cast<std::uint32_t>(U16At(p + 2)) << 16);
}

[[noreturn]] void Damaged() {
    throw PlatformError("The shortcut file's property store is damaged.");
}

// A TypedPropertyValue that must be a VT_LPWSTR: type, padding, length in
// UTF-16 units with the terminating NUL, the units.
std::string LpwstrValue(const std::uint8_t* value, std::size_t size) {
    if (size < 8 || U16At(value) != kVtLpwstr || U16At(value + 2) != 0) Damaged();
    const std::uint32_t length = U32At(value + 4);
    if (length == 0 || length > (size - 8) / 2) Damaged();
    const std::uint8_t* units = value + 8;
    if (U16At(units + 2 * (length - 1)) != 0) Damaged();
    std::u16string text;
    for (std::uint32_t i = 0; i + 1 < length && U16At(units + 2 * i) != 0; ++i) {
        text.push_back(static_cast<char16_t>(U16At(units + 2 * i)));
    }
    return text::FromUtf16(text);
}

void CheckAppUserModelId(const std::string& id) {
    if (!text::IsValidUtf8(id) || id.empty() ||
        id.find_first_of(std::string(" \0", 2)) != id.npos ||
        text::ToUtf16(id).size() > kMaxIdLength) {
        throw PlatformError("The shortcut's application id \"" + id +
                            "\" is not one Windows takes: 1 to 128 characters, no spaces.");
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeAppUserModelIdBlock(const std::string& appUserModelId) {
    CheckAppUserModelId(appUserModelId);
    const std::u16string units = text::ToUtf16(appUserModelId);

    std::vector<std::uint8_t> out;
    PutU32(out, 0);  // block size, patched below
    PutU32(out, kPropertyStoreBlockSignature);

    const std::size_t storage = out.size();
    PutU32(out, 0);  // storage size, patched below
    PutU32(out, kStorageVersion);
    out.insert(out.end(), kAppUserModelFormat.begin(), kAppUserModelFormat.end());

    const std::size_t value = out.size();
    PutU32(out, 0);  // value size, patched below
    PutU32(out, kAppUserModelIdProperty);
    out.push_back(0);  // reserved
    PutU16(out, kVtLpwstr);
    PutU16(out, 0);  // padding
    PutU32(out, static_cast<std::uint32_t>(units.size() + 1));
    for (char16_t unit : units) PutU16(out, static_cast<std::uint16_t>(unit));
    PutU16(out, 0);
    // The characters are padded with zeros to a multiple of four bytes.
    if ((units.size() + 1) % 2 != 0) PutU16(out, 0);
    PatchSizeFrom(out, value);

    PutU32(out, 0);  // the storage's last value
    PatchSizeFrom(out, storage);
    PutU32(out, 0);  // the store's last storage
    PatchSizeFrom(out, 0);
    return out;
}

std::string AppUserModelIdInPropertyStore(const std::uint8_t* store, std::size_t size) {
    std::string id;
    std::size_t at = 0;
    // A store whose last storage is missing ends with the block.
    while (at < size) {
        if (size - at < 4) Damaged();
        const std::uint32_t storageSize = U32At(store + at);
        if (storageSize == 0) break;
        if (storageSize < kStorageHeaderSize || storageSize > size - at) Damaged();
        if (U32At(store + at + 4) != kStorageVersion) Damaged();
        const bool appUserModel =
            std::equal(kAppUserModelFormat.begin(), kAppUserModelFormat.end(), store + at + 8);
        const std::size_t end = at + storageSize;
        std::size_t value = at + kStorageHeaderSize;
        while (value < end) {
            if (end - value < 4) Damaged();
            const std::uint32_t valueSize = U32At(store + value);
            if (valueSize == 0) break;
            if (valueSize < kValueHeaderSize || valueSize > end - value) Damaged();
            if (appUserModel && U32At(store + value + 4) == kAppUserModelIdProperty) {
                id = LpwstrValue(store + value + kValueHeaderSize, valueSize - kValueHeaderSize);
            }
            value += valueSize;
        }
        at = end;
    }
    return id;
}

}  // namespace platform::posix

// The application id in a shortcut file, read back by our reader and by a
// second reading written from Microsoft's published layouts of the shell link
// and of serialized property storage, which checks every field on the way.
#include "platform/posix/shell_link/property_store_block.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/platform_error.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/posix/shell_link/shell_link_writer.h"

namespace platform::posix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// at(): a wrong size in the file fails the test instead of reading astray.
std::uint32_t U16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::string GuidAt(const Bytes& b, std::size_t at) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  U32(b, at), U16(b, at + 4), U16(b, at + 6), b.at(at + 8), b.at(at + 9),
                  b.at(at + 10), b.at(at + 11), b.at(at + 12), b.at(at + 13), b.at(at + 14),
                  b.at(at + 15));
    return text;
}

// The id in an ASCII-only VT_LPWSTR property 5 of the application model's
// format, found by walking the file as the published layouts describe it.
std::string PublishedLayoutAppId(const Bytes& b) {
    const std::uint32_t flags = U32(b, 0x14);
    std::size_t at = 0x4C;                   // after the header
    if (flags & 0x01) at += 2 + U16(b, at);  // the ID list, after its size
    if (flags & 0x02) at += U32(b, at);      // link info, its size included
    for (std::uint32_t string : {0x04u, 0x08u, 0x10u, 0x20u, 0x40u}) {
        if (flags & string) at += 2 + 2 * U16(b, at);  // counted UTF-16
    }
    std::string id;
    for (std::uint32_t blockSize; (blockSize = U32(b, at)) >= 4; at += blockSize) {
        if (U32(b, at + 4) != 0xA0000009) continue;
        const std::size_t storage = at + 8;
        const std::uint32_t storageSize = U32(b, storage);
        EXPECT_EQ(U32(b, storage + 4), 0x53505331u);
        EXPECT_EQ(GuidAt(b, storage + 8), "{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}");
        const std::size_t value = storage + 24;
        const std::uint32_t valueSize = U32(b, value);
        EXPECT_EQ(U32(b, value + 4), 5u);                 // property id
        EXPECT_EQ(b.at(value + 8), 0u);                   // reserved
        EXPECT_EQ(U16(b, value + 9), 0x1Fu);              // VT_LPWSTR
        EXPECT_EQ(U16(b, value + 11), 0u);                // padding
        const std::uint32_t length = U32(b, value + 13);  // UTF-16 units, NUL included
        const std::size_t characters = value + 17;
        for (std::uint32_t i = 0; i + 1 < length; ++i) {
            EXPECT_LT(U16(b, characters + 2 * i), 0x80u);
            id.push_back(static_cast<char>(U16(b, characters + 2 * i)));
        }
        EXPECT_EQ(U16(b, characters + 2 * (length - 1)), 0u);
        const std::size_t padded = (2 * length + 3) / 4 * 4;
        for (std::size_t i = 2 * length; i < padded; ++i) EXPECT_EQ(b.at(characters + i), 0u);
        EXPECT_EQ(valueSize, 17 + padded);
        EXPECT_EQ(U32(b, value + valueSize), 0u);  // the storage's last value
        EXPECT_EQ(storageSize, 24 + valueSize + 4);
        EXPECT_EQ(U32(b, storage + storageSize), 0u);  // the store's last storage
        EXPECT_EQ(blockSize, 8 + storageSize + 4);
    }
    EXPECT_EQ(at + 4, b.size()) << "the terminal block ends the file";
    return id;
}

ShellLink FolderShortcut(const std::string& appUserModelId) {
    ShellLink link;
    link.targetPath = "C:\\Windows\\explorer.exe";
    link.arguments = "/n,\"Z:\\home\\ann\\Projects\"";
    link.description = "Shortcut to the folder\r\nZ:\\home\\ann\\Projects";
    link.iconLocation = "explorer.exe";
    link.iconIndex = 1;
    link.appUserModelId = appUserModelId;
    return link;
}

TEST(AppUserModelIdBlockTest, BothReadingsAgreeOnTheBytesWithAndWithoutPadding) {
    // 53 characters and a NUL fill whole four-byte groups; 52 and a NUL need two bytes more.
    const std::string full = "Tamsholt.Kestrow2005.0123456789ABCDEF0123456789ABCDEF";
    for (const std::string& id : {full, full.substr(0, 52), std::string("A")}) {
        SCOPED_TRACE(id);
        const Bytes bytes = EncodeShellLink(FolderShortcut(id));
        EXPECT_EQ(PublishedLayoutAppId(bytes), id);
        const ShellLinkContents read = DecodeShellLink(bytes);
        EXPECT_EQ(read.link.appUserModelId, id);
        EXPECT_EQ(read.link.arguments, "/n,\"Z:\\home\\ann\\Projects\"");
    }
    // Without an id there is no block at all.
    const Bytes plain = EncodeShellLink(FolderShortcut(""));
    EXPECT_EQ(PublishedLayoutAppId(plain), "");
    EXPECT_EQ(DecodeShellLink(plain).link.appUserModelId, "");
}

TEST(AppUserModelIdBlockTest, IdsWindowsWouldRefuseAreNotWritten) {
    for (const std::string& id : {std::string("Tamsholt.Kestrow 2005"), std::string(129, 'a'),
                                  std::string("a\0b", 3), std::string("bad\xFF")}) {
        EXPECT_THROW(EncodeShellLink(FolderShortcut(id)), PlatformError) << id;
    }
    EXPECT_NO_THROW(EncodeShellLink(FolderShortcut(std::string(128, 'a'))));
}

TEST(AppUserModelIdBlockTest, OtherPropertiesAreSkippedAndDamageIsRefused) {
    const Bytes block = EncodeAppUserModelIdBlock("Tamsholt.Kestrow2005.X");
    const Bytes store(block.begin() + 8, block.end());
    const auto read = [](const Bytes& s) {
        return AppUserModelIdInPropertyStore(s.data(), s.size());
    };
    EXPECT_EQ(read(store), "Tamsholt.Kestrow2005.X");

    Bytes otherProperty = store;
    otherProperty[24 + 4] = 6;
    EXPECT_EQ(read(otherProperty), "");
    Bytes otherFormat = store;
    otherFormat[8] ^= 1;
    EXPECT_EQ(read(otherFormat), "");
    // The store's closing zero size may be missing: the block ends it.
    EXPECT_EQ(read(Bytes(store.begin(), store.end() - 4)), "Tamsholt.Kestrow2005.X");

    Bytes wrongVersion = store;
    wrongVersion[4] = 0;
    Bytes storageTooLong = store;
    storageTooLong[0] += 8;
    Bytes valueTooLong = store;
    valueTooLong[24] += 40;
    Bytes notText = store;
    notText[24 + 9] = 0x03;  // VT_I4
    Bytes noNul = store;
    noNul[24 + 13] -= 1;  // the last unit counted is no longer the NUL
    Bytes lengthPastValue = store;
    lengthPastValue[24 + 13] += 2;
    for (const Bytes* damaged :
         {&wrongVersion, &storageTooLong, &valueTooLong, &notText, &noNul, &lengthPastValue}) {
        EXPECT_THROW(read(*damaged), PlatformError);
    }
    EXPECT_THROW(read(Bytes(store.begin(), store.begin() + 2)), PlatformError);
}

TEST(AppUserModelIdBlockTest, ABlockReachingPastTheFileIsRefused) {
    Bytes bytes = EncodeShellLink(FolderShortcut("Tamsholt.Kestrow2005.X"));
    bytes.pop_back();  // half of the terminal block
    EXPECT_THROW(DecodeShellLink(bytes), PlatformError);
    bytes.resize(bytes.size() - 8);  // into the property store block
    EXPECT_THROW(DecodeShellLink(bytes), PlatformError);
}

}  // namespace
}  // namespace platform::posix

// The shell link's property store block (PropertyStoreDataBlock of
// MS-SHLLINK, holding serialized property storage as MS-PROPSTORE lays it
// out), reduced to the one property this project writes: the application id
// System.AppUserModel.ID, by which today's Start menu tells shortcuts apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::posix {

constexpr std::uint32_t kPropertyStoreBlockSignature = 0xA0000009;

// The whole extra-data block, size and signature first: one storage of the
// format {9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3} holding property 5 as a
// VT_LPWSTR. Throws PlatformError for an id Windows would not take: not
// valid text, empty, longer than 128 characters or holding a space.
std::vector<std::uint8_t> EncodeAppUserModelIdBlock(const std::string& appUserModelId);

// The application id in a block's property store (the bytes after its
// signature), or empty text when it holds none. Other properties are
// skipped. Throws PlatformError when the store is damaged.
std::string AppUserModelIdInPropertyStore(const std::uint8_t* store, std::size_t size);

}  // namespace platform::posix

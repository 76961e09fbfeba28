// The application id every shortcut we write carries
// (System.AppUserModel.ID). Today's Start menu shows one entry per id and
// derives one from the target for a shortcut without its own; all of ours
// start explorer.exe, so without an id of their own all but one would hide.
// The id follows from the shortcut file's path, so a shortcut written again
// keeps its id (and a pin the user made of it) while two shortcuts never
// share one.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kAppUserModelIdPrefix = "Tamsholt.Kestrow2005.";

// Hexadecimal digits after the prefix: 128 bits of a SHA-256 digest.
inline constexpr std::size_t kAppUserModelIdDigits = 32;

// The id of the shortcut file at a path that the backend has already
// upper-cased the way its file system compares names (Windows compares
// paths without regard to case), so that "C:\Menu\A.lnk" and "c:\menu\a.lnk"
// get one id. Upper-case hexadecimal, no blanks, 53 characters in all.
std::string AppUserModelIdForFoldedPath(std::string_view foldedPath);

// SHA-256 of the bytes, as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace platform

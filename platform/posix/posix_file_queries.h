// Directory-entry, attribute and drive-type queries on the Z: drive.
#pragma once

#include "platform/shell/file_system.h"

namespace platform::posix {

// Dir matches names case-sensitively with * and ? in the last component
// ("*.*" matches every name); of several matches it answers the first in
// byte order. "." and ".." and names holding a backslash are never answered.
// Paths off Z: match nothing. GetDriveType: Z: is fixed, every other drive
// has no root directory.
class PosixFileQueries : public FileQueries {
  public:
    std::string Dir(const std::string& path, int attributeMask) override;
    int GetAttr(const std::string& path) override;
    int GetDriveType(const std::string& root) override;
};

// Whether name matches pattern, with * for any run and ? for one character
// (a character being a UTF-8 sequence).
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace platform::posix

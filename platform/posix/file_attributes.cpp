#include "platform/posix/file_attributes.h"

#include "platform/shell/file_system.h"

namespace platform::posix {

int AttributesOf(const std::string& name, const struct stat& st) {
    int attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    if (!S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kAttrHidden;
    return attributes;
}

}  // namespace platform::posix

// A path handed over wholly in double quotes, the usual way to pass a path
// with blanks (and what a folder command registered with "%1" passes). A
// double quote cannot occur in a Windows path, so one pair around the whole
// text can only be quoting.
#pragma once

#include <string>

namespace platform {

// The text inside one pair of double quotes that encloses all of it and
// holds no other; any other text unchanged.
std::string PathInsideQuotes(const std::string& text);

}  // namespace platform

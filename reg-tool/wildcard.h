// The patterns of query /f: * stands for any run of characters, ? for one.
#pragma once

#include <string_view>

namespace reg_tool {

// True when the whole of text matches pattern. Characters are code points of
// UTF-8 text, compared as they are (callers fold case first when they want).
bool MatchesWildcard(std::string_view text, std::string_view pattern);

}  // namespace reg_tool

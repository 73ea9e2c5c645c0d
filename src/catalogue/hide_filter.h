// The hide filter: which titles the list leaves out while IMEUnShowChk is checked.
#pragma once

#include <string_view>

namespace kelvorin {

// True when the window is left out: the box holds exactly 1 and the title
// starts with one of the hide prefixes (case-sensitive, at the very start).
bool IsHiddenByFilter(std::string_view title, int boxValue);

}  // namespace kelvorin

// Window handles as text: signed 32-bit decimal out, strict decimal back in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace kelvorin {

std::string FormatHandle(WindowHandle h);

// Reads an optional '-' followed by decimal digits, nothing else, within the
// signed 32-bit range. A cell that does not parse gives nullopt.
std::optional<int32_t> ParseInt32(std::string_view text);
std::optional<WindowHandle> ParseHandle(std::string_view text);

}  // namespace kelvorin

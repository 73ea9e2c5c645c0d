// The key-chord reader behind the Ctrl+1 hotkey: the keys held at this moment
// as a name such as "Ctrl+1". The keyboard is polled; nothing is registered.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kelvorin {

// Reads one key; if it is down (0x8000 or 0x8001), appends name to chord and
// returns 1, else leaves chord alone and returns 0.
int CheckKeyDown(IKeyboard& keyboard, int virtualKey, const std::string& name, std::string& chord);

// Modifier prefixes (Shift, Ctrl, Alt) followed by the first table key that is
// down, or "" when no table key is down.
std::string GetKeyChord(IKeyboard& keyboard);

inline constexpr const char* kHideChord = "Ctrl+1";

}  // namespace kelvorin

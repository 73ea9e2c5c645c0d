// Real user input. xdotool makes X events, which Wine turns into input exactly
// as for a person at the screen; SendInput is the Windows way and reaches the
// program's key-state queries too. The virtual desktop sits at X (0,0), so
// screen coordinates are the same in both worlds.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Runs xdotool with these arguments; fails the current test (and returns
// false) when it cannot be run or reports an error.
bool Xdotool(const std::vector<std::string>& args);

// A left click (or another X button: 1 left, 3 right) at a screen point.
bool XClick(POINT screen, int button = 1);
// Press at `from`, move to `to` in steps, release there.
bool XDrag(POINT from, POINT to, int steps = 8);
// Keys in xdotool's names, e.g. "ctrl+1", "Return".
bool XKey(const std::string& keys);

// A left click at a screen point through SendInput. The move travels in the
// same INPUT as each button flag: a separate move can land late.
bool SendClick(POINT screen);
// One key chord: presses the keys in order, releases them in reverse.
bool SendKeys(const std::vector<WORD>& virtualKeys);

// The centre of a window in screen coordinates.
POINT CentreOf(HWND hwnd);

}  // namespace e2e

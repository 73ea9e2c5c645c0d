// The font of the program's windows: the design face, or a proportional
// Japanese gothic face where that is missing (as under Wine), so captions keep
// their designed widths.
#pragma once

#include <windows.h>

#include "app/win32/twips.h"
#include "platform/win32/scoped.h"

namespace kelvorin::win32 {

// The face to create the windows' fonts with.
const wchar_t* ChooseFontFace();
// A font of that face at `points`, for the screen's resolution.
UniqueFont CreateUiFont(const wchar_t* face, int points, const ScreenScale& scale);

}  // namespace kelvorin::win32

// The program's pictures as Win32 objects, each in its owner.
#pragma once

#include <windows.h>

#include "app/art.h"
#include "platform/win32/scoped.h"

namespace kelvorin::win32 {

UniqueIcon CreateMainIcon(int size);
UniqueIcon CreateExtractorIcon(int size);
// The finder's cross-hair as an icon, and as a cursor whose hot spot is its centre.
UniqueIcon CreateCrossHair();
UniqueCursor CreateCrossHairCursor();
UniqueBitmap CreateBanner();

}  // namespace kelvorin::win32

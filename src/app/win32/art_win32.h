// The program's pictures as Win32 objects. The caller owns what it gets.
#pragma once

#include <windows.h>

#include "app/art.h"

namespace kelvorin::win32 {

HICON CreateIconFromArt(const IconArt& art, bool cursor);
HICON CreateMainIcon(int size);
HICON CreateExtractorIcon(int size);
// The finder's cross-hair as an icon, or as a cursor whose hot spot is its centre.
HICON CreateCrossHair(bool cursor);
HBITMAP CreateBanner();

}  // namespace kelvorin::win32

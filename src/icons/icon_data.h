// Whether a file's icons may be handed to the system's icon code. That code
// trusts the file: a damaged executable or .ico (a directory claiming more
// entries than it holds, an icon whose data lies past the end of the file, an
// image header claiming 2^31 pixels) makes it read outside the file and take
// the whole program down. So every file is walked here first, read in small
// ranges through the platform, and only a file whose icon data is whole and
// within sane limits goes on to ExtractIconExA / ExtractIconA.
//
// What passes:
// - an executable (PE32 or PE32+) whose resource directory holds RT_GROUP_ICON
//   entries, every directory, data entry and data lying inside its resource
//   section and the file, every group's images naming an RT_ICON that exists;
// - an .ico file (reserved 0, type 1, at least one image), every image inside
//   the file;
// and in both, every image is a BITMAPINFOHEADER picture (1..1024 pixels
// wide, 1, 4, 8, 16, 24 or 32 bits, its colour, XOR and AND data inside the
// image) or a PNG with a sane header. Anything else, unreadable, malformed or
// of another format, counts as a file without icons.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kelvorin {

bool IconDataIsSound(IFiles& files, const std::string& path);

}  // namespace kelvorin

// Saves a picture as a Windows bitmap file: 24 bits per pixel, uncompressed,
// rows stored bottom-up, the format every Windows viewer opens.
#pragma once

#include <string>

#include "platform/types.h"

namespace kelvorin {

// The complete .bmp file as bytes. An empty picture gives an empty string,
// which callers treat as a failure to save.
std::string EncodeBmp24(const Image& image);

}  // namespace kelvorin

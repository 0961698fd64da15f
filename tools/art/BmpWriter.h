#pragma once

#include <string>

#include "tools/art/Image.h"

namespace ktool {

// Saves a 24-bit BMP through SDL, making missing folders on the way.
bool SaveBmp(const std::string& path, const Image& image, std::string& error);
// Saves a 4-bit palette BMP (16 colours at most), making missing folders on
// the way. The palette lists the picture's colours in order of first use.
bool SavePaletteBmp(const std::string& path, const Image& image, std::string& error);
bool MakeParentDirectories(const std::string& path, std::string& error);

}  // namespace ktool

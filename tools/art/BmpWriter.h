#pragma once

#include <string>

#include "tools/art/Image.h"

namespace ktool {

// Saves a 24-bit BMP through SDL, making missing folders on the way.
bool SaveBmp(const std::string& path, const Image& image, std::string& error);
bool MakeParentDirectories(const std::string& path, std::string& error);

}  // namespace ktool

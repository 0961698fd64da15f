#pragma once

#include <string>

#include "tools/art/Image.h"

namespace ktool {

// Saves an 8-bit RGB PNG through libpng; magenta stays magenta, unless
// `magentaTransparent` asks for an RGBA PNG in which magenta is see-through.
bool SavePng(const std::string& path, const Image& image, std::string& error,
             bool magentaTransparent = false);

// Reads any BMP that SDL can load into an RGB image.
bool LoadBmp(const std::string& path, Image& image, std::string& error);

}  // namespace ktool

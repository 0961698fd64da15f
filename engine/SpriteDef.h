#pragma once

#include <string>
#include <vector>

namespace Quill {

// One entry of the sprite definition file: a horizontal strip of equally
// sized frames in one image.
struct SpriteDefEntry {
    int line = 0;  // where it was defined, for later error messages
    std::string name;
    std::string image;
    int frameWidth = 0;
    int frameHeight = 0;
    int frameCount = 0;
};

// A tile sheet: a grid of equally sized tiles numbered row by row.
struct TileSheetDefEntry {
    int line = 0;
    int sheet = 0;
    std::string image;
    int tileWidth = 0;
    int tileHeight = 0;
};

struct SpriteDefFile {
    std::vector<SpriteDefEntry> sprites;
    std::vector<TileSheetDefEntry> tileSheets;
    // One message per rejected line, each naming the file and line.
    std::vector<std::string> errors;
};

constexpr int kMaxTileSheets = 4;

// Parses the text of a sprite definition file (format in docs/sprite-def.md);
// `fileName` only labels errors.
SpriteDefFile ParseSpriteDef(const std::string& text, const std::string& fileName);

}  // namespace Quill

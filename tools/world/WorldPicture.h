#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/MapFormat.h"

namespace ktool {

// Draws screens of a world from the map tile sheet into a picture for
// review, each tile shrunk to 32 / shrink pixels. Screens that are not part
// of the world are dark, push-block markers are framed in orange and other
// markers in magenta, and thin lines show where screens meet.
class WorldPicture {
public:
    // Loads the sheet (16 × 16 tiles of 32 × 32) with SDL. Throws
    // SourceError naming the file when it cannot.
    explicit WorldPicture(const std::string& sheetPath);

    // Screens sx0..sx1 by sy0..sy1, both ends included. Throws SourceError
    // for a rectangle outside the tile rows or a shrink that is not 1, 2, 4,
    // 8, 16 or 32.
    void Draw(const MapFormat::MapData& map, int sx0, int sy0, int sx1, int sy1, int shrink);
    // The smallest rectangle of screens that holds every designed screen.
    static void DesignedScreens(const MapFormat::MapData& map, int& sx0, int& sy0, int& sx1, int& sy1);

    int Width() const { return width; }
    int Height() const { return height; }
    // 0xRRGGBB of a pixel of the last picture drawn.
    uint32_t At(int x, int y) const;
    // Throws SourceError naming the file when it cannot be written.
    void SavePng(const std::string& path) const;

    static constexpr uint32_t kOutside = 0x181820;
    static constexpr uint32_t kPushBlockFrame = 0xFF8000;
    static constexpr uint32_t kMarkerFrame = 0xFF00FF;

private:
    void Set(int x, int y, uint32_t rgb);

    std::vector<uint32_t> sheet;  // 512 × 512
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

}  // namespace ktool

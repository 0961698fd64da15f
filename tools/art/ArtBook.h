#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/art/Image.h"
#include "tools/common/SourceText.h"

// Runs the art sources (palette, pixel grids and drawing commands) and holds
// every picture they make, ready to be written out.
namespace ktool {

// An image with this path is a work area for other pictures and is not written.
constexpr const char kScratchPath[] = "-";

struct OutputImage {
    std::string name;
    std::string path;  // relative to the data directory, or kScratchPath
    Image image;
    // At most this many colours, written as a palette picture; 0 for true colour.
    int maxColors = 0;
    SourceLine declaration;
};

struct SheetInfo {
    std::string name;
    size_t image = 0;
    int tileW = 0, tileH = 0, columns = 0, rows = 0;
    int index = -1;  // tile sheet number in sprite.def, -1 when not listed
};

struct SpriteInfo {
    std::string name;
    size_t image = 0;
    int frameW = 0, frameH = 0, count = 0;
};

// Seven rows of up to seven bits, the leftmost pixel in the highest bit used.
struct Glyph {
    int width = 5;
    std::array<uint8_t, 7> rows{};
    bool At(int x, int y) const { return rows[size_t(y)] >> (width - 1 - x) & 1; }
};

class ArtBook {
public:
    using Loader = std::function<std::string(const std::string& path)>;
    explicit ArtBook(Loader load);

    // Runs a source file and everything it includes.
    void RunFile(const std::string& path);

    const std::vector<OutputImage>& Images() const { return images_; }
    const std::vector<SheetInfo>& Sheets() const { return sheets_; }
    const std::vector<SpriteInfo>& Sprites() const { return sprites_; }
    std::string SpriteDefText() const;

private:
    struct Macro {
        SourceLine header;
        std::vector<std::string> params;
        std::vector<SourceLine> body;
    };

    void Run(const std::vector<SourceLine>& lines, int depth);
    // Returns true when it handled the line; `i` moves past grid rows it read.
    bool RunTopLevel(const std::vector<SourceLine>& lines, size_t& i, int depth);
    void RunDrawing(const std::vector<SourceLine>& lines, size_t& i);
    void RunGrid(const std::vector<SourceLine>& lines, size_t& i);
    void RunGlyph(const std::vector<SourceLine>& lines, size_t& i);
    void RunText(const SourceLine& line);
    void MakeFont(const SourceLine& line);
    void Use(const SourceLine& line, int depth);

    Rgb ColorArg(const SourceLine& line, size_t index) const;
    double NumberArg(const SourceLine& line, size_t index, const char* what) const;
    int IntArg(const SourceLine& line, size_t index, const char* what) const;
    void NeedWords(const SourceLine& line, size_t count, const char* usage) const;
    std::vector<int> ParseIndexList(const SourceLine& line, size_t from, int count) const;
    const SheetInfo& FindSheet(const SourceLine& line, const std::string& name) const;
    const SpriteInfo& FindSprite(const SourceLine& line, const std::string& name) const;
    Rect CellRect(const SheetInfo& sheet, int index) const;
    Transform ParseTransform(const SourceLine& line, size_t from) const;
    void AddImage(const SourceLine& line, const std::string& name, const std::string& path, int w, int h);
    // Fails on the declaring line of a picture with more colours than it allows.
    void CheckColorLimits() const;
    // `lower` inks the bottom three rows, for a two-tone font.
    void DrawText(Painter& p, Rgb c, Rgb lower, int x, int y, int scale, const std::string& text) const;

    Loader load_;
    std::map<std::string, Rgb> colors_;
    std::map<char, Rgb> keys_;
    std::map<char, Glyph> glyphs_;
    std::map<std::string, Macro> macros_;
    std::vector<OutputImage> images_;
    std::vector<SheetInfo> sheets_;
    std::vector<SpriteInfo> sprites_;

    // Where drawing commands go: one or more rectangles of one image.
    size_t targetImage_ = 0;
    std::vector<Rect> targets_;
    int currentSprite_ = -1;
    int scale_ = 1;  // pixels per drawing unit, set by "scale"
};

// The font's glyph order; the last cell stands in for anything else.
extern const char kFontOrder[];

}  // namespace ktool

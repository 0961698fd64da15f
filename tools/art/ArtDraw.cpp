#include "tools/art/ArtBook.h"

namespace ktool {

const char kFontOrder[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ-.,!'&0123456789?";

void ArtBook::RunDrawing(const std::vector<SourceLine>& lines, size_t& i)
{
    const SourceLine& line = lines[i];
    const std::string& c = line.words[0];
    if (targets_.empty())
        line.Fail("'" + c + "' draws, but no tile, frame or canvas is selected");
    if (c == "grid") {
        RunGrid(lines, i);
        return;
    }
    if (c == "text") {
        RunText(line);
        return;
    }
    Image& image = images_[targetImage_].image;
    for (const Rect& r : targets_) {
        Painter p(image, r, scale_);
        uint32_t cell = uint32_t(r.x / std::max(1, r.w) + 97 * (r.y / std::max(1, r.h)));
        if (c == "fill") {
            NeedWords(line, 2, "fill <colour>");
            p.Fill(ColorArg(line, 1));
        } else if (c == "rect" || c == "box") {
            NeedWords(line, 6, "rect|box <colour> <x> <y> <w> <h>");
            int x = IntArg(line, 2, "x"), y = IntArg(line, 3, "y"), w = IntArg(line, 4, "w"),
                h = IntArg(line, 5, "h");
            if (c == "rect")
                p.FillRect(x, y, w, h, ColorArg(line, 1));
            else
                p.Box(x, y, w, h, ColorArg(line, 1));
        } else if (c == "disc") {
            NeedWords(line, 5, "disc <colour> <cx> <cy> <r>");
            double radius = NumberArg(line, 4, "r");
            p.Ellipse(NumberArg(line, 2, "cx"), NumberArg(line, 3, "cy"), radius, radius, ColorArg(line, 1));
        } else if (c == "ellipse") {
            NeedWords(line, 6, "ellipse <colour> <cx> <cy> <rx> <ry>");
            p.Ellipse(NumberArg(line, 2, "cx"), NumberArg(line, 3, "cy"), NumberArg(line, 4, "rx"),
                      NumberArg(line, 5, "ry"), ColorArg(line, 1));
        } else if (c == "ball") {
            NeedWords(line, 7, "ball <cx> <cy> <rx> <ry> <colour> <colour> ... (shadow to highlight)");
            std::vector<Rgb> ramp;
            for (size_t w = 5; w < line.words.size(); ++w) ramp.push_back(ColorArg(line, w));
            p.Ball(NumberArg(line, 1, "cx"), NumberArg(line, 2, "cy"),
                   ParseNumber(line, line.words[3], 0.5, 4096, "rx"),
                   ParseNumber(line, line.words[4], 0.5, 4096, "ry"), ramp);
        } else if (c == "ring") {
            NeedWords(line, 6, "ring <colour> <cx> <cy> <r> <thickness>");
            p.Ring(NumberArg(line, 2, "cx"), NumberArg(line, 3, "cy"), NumberArg(line, 4, "r"),
                   NumberArg(line, 5, "thickness"), ColorArg(line, 1));
        } else if (c == "line") {
            NeedWords(line, 6, "line <colour> <x0> <y0> <x1> <y1> [width]");
            int width = line.words.size() > 6 ? ParseInt(line, line.words[6], 1, 64, "width") : 1;
            p.Line(IntArg(line, 2, "x0"), IntArg(line, 3, "y0"), IntArg(line, 4, "x1"), IntArg(line, 5, "y1"),
                   width, ColorArg(line, 1));
        } else if (c == "tri") {
            NeedWords(line, 8, "tri <colour> <x0> <y0> <x1> <y1> <x2> <y2>");
            p.Triangle(NumberArg(line, 2, "x0"), NumberArg(line, 3, "y0"), NumberArg(line, 4, "x1"),
                       NumberArg(line, 5, "y1"), NumberArg(line, 6, "x2"), NumberArg(line, 7, "y2"),
                       ColorArg(line, 1));
        } else if (c == "speckle") {
            NeedWords(line, 4, "speckle <colour> <count> <seed> [dot width] [dot height]");
            int w = line.words.size() > 4 ? ParseInt(line, line.words[4], 1, 64, "dot width") : 1;
            int h = line.words.size() > 5 ? ParseInt(line, line.words[5], 1, 64, "dot height") : w;
            // The cell joins the seed so a range of tiles does not repeat one pattern.
            p.Speckle(ColorArg(line, 1), ParseInt(line, line.words[2], 0, 100000, "count"),
                      uint32_t(ParseInt(line, line.words[3], 0, 1000000, "seed")) * 7919u + cell, w, h);
        } else if (c == "checker") {
            NeedWords(line, 3, "checker <colour> <size> [x y w h]");
            int x = 0, y = 0, w = p.Width(), h = p.Height();
            if (line.words.size() > 3) {
                NeedWords(line, 7, "checker <colour> <size> [x y w h]");
                x = IntArg(line, 3, "x");
                y = IntArg(line, 4, "y");
                w = IntArg(line, 5, "w");
                h = IntArg(line, 6, "h");
            }
            p.Checker(ColorArg(line, 1), ParseInt(line, line.words[2], 1, 256, "size"), x, y, w, h);
        } else if (c == "recolor") {
            NeedWords(line, 3, "recolor <from colour> <to colour>");
            p.Recolor(ColorArg(line, 1), ColorArg(line, 2));
        } else if (c == "rim") {
            NeedWords(line, 4, "rim <colour> <light colour> <dark colour>");
            p.Rim(ColorArg(line, 1), ColorArg(line, 2), ColorArg(line, 3));
        } else if (c == "outline") {
            NeedWords(line, 2, "outline <colour>");
            p.Outline(ColorArg(line, 1));
        } else if (c == "copy" || c == "copyrel") {
            // copyrel counts from the tile being drawn, so one line serves a range.
            bool relative = c == "copyrel";
            NeedWords(
                line, 3,
                relative ? "copyrel <sheet> <offset> [transforms]" : "copy <sheet> <tile> [transforms]");
            const SheetInfo& s = FindSheet(line, line.words[1]);
            int count = s.columns * s.rows;
            int n = relative ? r.y / s.tileH * s.columns + r.x / s.tileW + IntArg(line, 2, "offset")
                             : ParseInt(line, line.words[2], 0, count - 1, "tile");
            if (n < 0 || n >= count)
                line.Fail("copyrel reaches tile " + std::to_string(n) + ", outside the sheet");
            PasteOver(p, CutOut(images_[s.image].image, CellRect(s, n), ParseTransform(line, 3)), 0, 0);
        } else if (c == "copypart") {
            NeedWords(line, 7, "copypart <sheet> <tile> <x> <y> <w> <h>");
            const SheetInfo& s = FindSheet(line, line.words[1]);
            Rect from = CellRect(s, ParseInt(line, line.words[2], 0, s.columns * s.rows - 1, "tile"));
            int x = IntArg(line, 3, "x"), y = IntArg(line, 4, "y"), w = IntArg(line, 5, "w"),
                h = IntArg(line, 6, "h");
            const Image& src = images_[s.image].image;
            int u = p.Unit();
            for (int yy = y * u; yy < (y + h) * u; ++yy) {
                for (int xx = x * u; xx < (x + w) * u; ++xx) {
                    if (xx >= 0 && yy >= 0 && xx < from.w && yy < from.h &&
                        src.At(from.x + xx, from.y + yy) != kMagenta)
                        p.PlotPixel(xx, yy, src.At(from.x + xx, from.y + yy));
                }
            }
        } else if (c == "from" || c == "take") {
            bool own = c == "from";
            NeedWords(line, own ? 2 : 3,
                      own ? "from <frame> [transforms]" : "take <sprite> <frame> [transforms]");
            if (own && currentSprite_ < 0)
                line.Fail("from needs a sprite");
            const SpriteInfo& s = own ? sprites_[size_t(currentSprite_)] : FindSprite(line, line.words[1]);
            int n = ParseInt(line, line.words[own ? 1 : 2], 0, s.count - 1, "frame");
            Image piece = CutOut(images_[s.image].image, Rect{n * s.frameW, 0, s.frameW, s.frameH},
                                 ParseTransform(line, own ? 2 : 3));
            PasteOver(p, piece, 0, 0);
        } else if (c == "takeall") {
            NeedWords(line, 2, "takeall <sprite>");
            const SpriteInfo& s = FindSprite(line, line.words[1]);
            const Image& src = images_[s.image].image;
            PasteOver(p, CutOut(src, Rect{0, 0, src.width, src.height}, Transform{}), 0, 0);
        } else {
            line.Fail("unknown command '" + c + "'");
        }
    }
}

// "grid <scale> [x y]" then rows of key characters up to "end"; '.' leaves
// the pixel as it is.
void ArtBook::RunGrid(const std::vector<SourceLine>& lines, size_t& i)
{
    const SourceLine& line = lines[i];
    int scale = line.words.size() > 1 ? ParseInt(line, line.words[1], 1, 32, "scale") : 1;
    int ox = line.words.size() > 3 ? IntArg(line, 2, "x") : 0;
    int oy = line.words.size() > 3 ? IntArg(line, 3, "y") : 0;
    std::vector<const SourceLine*> rows;
    size_t width = 0;
    while (true) {
        if (++i >= lines.size())
            line.Fail("grid has no 'end'");
        const SourceLine& row = lines[i];
        if (!row.words.empty() && row.words[0] == "end")
            break;
        if (row.words.empty())
            row.Fail("blank line inside a grid");
        if (row.words.size() != 1)
            row.Fail("grid rows are one run of characters without blanks");
        if (rows.empty())
            width = row.words[0].size();
        else if (row.words[0].size() != width)
            row.Fail("grid row has " + std::to_string(row.words[0].size()) + " characters, expected " +
                     std::to_string(width));
        for (char ch : row.words[0]) {
            if (ch != '.' && !keys_.count(ch))
                row.Fail(std::string("unknown grid key '") + ch + "'");
        }
        rows.push_back(&row);
    }
    Image& image = images_[targetImage_].image;
    for (const Rect& r : targets_) {
        Painter p(image, r, scale_);
        for (size_t y = 0; y < rows.size(); ++y) {
            const std::string& text = rows[y]->words[0];
            for (size_t x = 0; x < text.size(); ++x) {
                if (text[x] != '.')
                    p.FillRect(ox + int(x) * scale, oy + int(y) * scale, scale, scale, keys_.at(text[x]));
            }
        }
    }
}

void ArtBook::RunGlyph(const std::vector<SourceLine>& lines, size_t& i)
{
    const SourceLine& line = lines[i];
    if (line.words.size() != 2 || line.words[1].size() != 1)
        line.Fail("usage: glyph <character>, then 7 rows of up to 7 of 'X' and '.'");
    Glyph g;
    for (int r = 0; r < 7; ++r) {
        if (++i >= lines.size())
            line.Fail("glyph ends early");
        const SourceLine& row = lines[i];
        if (row.words.size() != 1 || row.words[0].size() > 7)
            row.Fail("glyph rows are up to 7 characters of 'X' and '.'");
        if (r == 0)
            g.width = int(row.words[0].size());
        else if (int(row.words[0].size()) != g.width)
            row.Fail("glyph row has " + std::to_string(row.words[0].size()) + " characters, expected " +
                     std::to_string(g.width));
        for (int x = 0; x < g.width; ++x) {
            char ch = row.words[0][size_t(x)];
            if (ch != 'X' && ch != '.')
                row.Fail(std::string("glyph rows hold only 'X' and '.', not '") + ch + "'");
            if (ch == 'X')
                g.rows[size_t(r)] = uint8_t(g.rows[size_t(r)] | (1 << (g.width - 1 - x)));
        }
    }
    glyphs_[line.words[1][0]] = g;
}

void ArtBook::DrawText(Painter& p, Rgb c, Rgb lower, int x, int y, int scale, const std::string& text) const
{
    for (char ch : text) {
        auto found = glyphs_.find(ch);
        if (ch != ' ' && found == glyphs_.end())
            found = glyphs_.find('?');
        int width = 5;
        if (ch != ' ' && found != glyphs_.end()) {
            const Glyph& g = found->second;
            width = g.width;
            for (int r = 0; r < 7; ++r) {
                for (int b = 0; b < g.width; ++b) {
                    if (g.At(b, r))
                        p.FillRect(x + b * scale, y + r * scale, scale, scale, r < 4 ? c : lower);
                }
            }
        }
        x += (width + 1) * scale;
    }
}

// "text <colour> <x> <y> <scale> <words...>"
void ArtBook::RunText(const SourceLine& line)
{
    NeedWords(line, 6, "text <colour> <x> <y> <scale> <text>");
    std::string text;
    for (size_t w = 5; w < line.words.size(); ++w) text += (w > 5 ? " " : "") + line.words[w];
    for (char ch : text) {
        if (ch != ' ' && !glyphs_.count(ch))
            line.Fail(std::string("no glyph for '") + ch + "'");
    }
    Image& image = images_[targetImage_].image;
    for (const Rect& r : targets_) {
        Painter p(image, r, scale_);
        DrawText(p, ColorArg(line, 1), ColorArg(line, 1), IntArg(line, 2, "x"), IntArg(line, 3, "y"),
                 ParseInt(line, line.words[4], 1, 8, "scale"), text);
    }
}

// "font <name> <path> <colour> <outline colour> [<lower colour>]": one 16x16
// cell per glyph in kFontOrder, drawn at twice size, centred, outlined.
void ArtBook::MakeFont(const SourceLine& line)
{
    NeedWords(line, 5, "font <name> <path> <colour> <outline colour> [<lower colour>]");
    for (const char* ch = kFontOrder; *ch; ++ch) {
        if (!glyphs_.count(*ch))
            line.Fail(std::string("the font needs a glyph for '") + *ch + "'");
        if (glyphs_.at(*ch).width > 7)
            line.Fail(std::string("glyph '") + *ch + "' is too wide for a 16-pixel cell");
    }
    Rgb ink = ColorArg(line, 3);
    Rgb lower = line.words.size() > 5 ? ColorArg(line, 5) : ink;
    int cells = int(sizeof kFontOrder) - 1;
    AddImage(line, line.words[1], line.words[2], 16 * cells, 16);
    Image& image = images_.back().image;
    for (int n = 0; n < cells; ++n) {
        Painter p(image, Rect{16 * n, 0, 16, 16});
        int width = glyphs_.at(kFontOrder[n]).width;
        DrawText(p, ink, lower, (16 - 2 * width) / 2, 1, 2, std::string(1, kFontOrder[n]));
        p.Outline(ColorArg(line, 4));
    }
}

}  // namespace ktool

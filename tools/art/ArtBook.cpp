#include "tools/art/ArtBook.h"

#include <set>
#include <sstream>

namespace ktool {

ArtBook::ArtBook(Loader load) : load_(std::move(load)) {}

void ArtBook::RunFile(const std::string& path)
{
    Run(SplitSource(load_(path), path), 0);
    CheckColorLimits();
}

void ArtBook::CheckColorLimits() const
{
    for (const OutputImage& image : images_) {
        if (image.maxColors == 0)
            continue;
        const size_t used = std::set<Rgb>(image.image.pixels.begin(), image.image.pixels.end()).size();
        if (used > size_t(image.maxColors))
            image.declaration.Fail("image '" + image.name + "' uses " + std::to_string(used) +
                                   " colours, more than its " + std::to_string(image.maxColors));
    }
}

void ArtBook::Run(const std::vector<SourceLine>& lines, int depth)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].Empty())
            continue;
        if (!RunTopLevel(lines, i, depth))
            RunDrawing(lines, i);
    }
}

void ArtBook::NeedWords(const SourceLine& line, size_t count, const char* usage) const
{
    if (line.words.size() < count)
        line.Fail(std::string("usage: ") + usage);
}

double ArtBook::NumberArg(const SourceLine& line, size_t index, const char* what) const
{
    return ParseNumber(line, line.words[index], -4096, 4096, what);
}

int ArtBook::IntArg(const SourceLine& line, size_t index, const char* what) const
{
    return ParseInt(line, line.words[index], -4096, 4096, what);
}

Rgb ArtBook::ColorArg(const SourceLine& line, size_t index) const
{
    if (index >= line.words.size())
        line.Fail("a colour name is missing");
    auto found = colors_.find(line.words[index]);
    if (found == colors_.end())
        line.Fail("unknown colour '" + line.words[index] + "'");
    return found->second;
}

const SheetInfo& ArtBook::FindSheet(const SourceLine& line, const std::string& name) const
{
    for (const SheetInfo& s : sheets_) {
        if (s.name == name)
            return s;
    }
    line.Fail("unknown sheet '" + name + "'");
}

const SpriteInfo& ArtBook::FindSprite(const SourceLine& line, const std::string& name) const
{
    for (const SpriteInfo& s : sprites_) {
        if (s.name == name)
            return s;
    }
    line.Fail("unknown sprite '" + name + "'");
}

Rect ArtBook::CellRect(const SheetInfo& sheet, int index) const
{
    return Rect{index % sheet.columns * sheet.tileW, index / sheet.columns * sheet.tileH, sheet.tileW,
                sheet.tileH};
}

// "3 5-7 12": each number or range must lie below `count`.
std::vector<int> ArtBook::ParseIndexList(const SourceLine& line, size_t from, int count) const
{
    std::vector<int> out;
    for (size_t i = from; i < line.words.size(); ++i) {
        std::vector<std::string> parts = SplitOn(line.words[i], '-');
        if (parts.size() > 2)
            line.Fail("'" + line.words[i] + "' is not a number or a range like 3-7");
        int lo = ParseInt(line, parts[0], 0, count - 1, "index");
        int hi = parts.size() == 2 ? ParseInt(line, parts[1], lo, count - 1, "range end") : lo;
        for (int n = lo; n <= hi; ++n) out.push_back(n);
    }
    if (out.empty())
        line.Fail("no index given");
    return out;
}

Transform ArtBook::ParseTransform(const SourceLine& line, size_t from) const
{
    Transform t;
    for (size_t i = from; i < line.words.size(); ++i) {
        const std::string& w = line.words[i];
        if (w == "flipx") {
            t.flipX = true;
        } else if (w == "flipy") {
            t.flipY = true;
        } else {
            std::string key, value;
            SplitKeyValue(line, w, key, value);
            if (key == "rot") {
                t.degrees = ParseNumber(line, value, -360, 360, "rot");
            } else if (key == "shift") {
                std::vector<std::string> parts = SplitOn(value, ',');
                if (parts.size() != 2)
                    line.Fail("shift is <dx>,<dy>");
                t.shiftX = ParseInt(line, parts[0], -256, 256, "shift");
                t.shiftY = ParseInt(line, parts[1], -256, 256, "shift");
            } else {
                line.Fail("unknown transform '" + w + "' (flipx, flipy, rot=<deg>, shift=<dx>,<dy>)");
            }
        }
    }
    return t;
}

void ArtBook::AddImage(const SourceLine& line, const std::string& name, const std::string& path, int w, int h)
{
    for (const OutputImage& image : images_) {
        if (image.name == name || (image.path == path && path != kScratchPath))
            line.Fail("image '" + name + "' (" + path + ") is made twice");
    }
    images_.push_back(OutputImage{name, path, Image(w, h), 0, line});
}

bool ArtBook::RunTopLevel(const std::vector<SourceLine>& lines, size_t& i, int depth)
{
    const SourceLine& line = lines[i];
    const std::string& command = line.words[0];
    if (command == "include") {
        NeedWords(line, 2, "include <file>");
        if (depth > 8)
            line.Fail("includes nest too deeply");
        std::string path = JoinPath(DirectoryOf(line.file), line.words[1]);
        std::string text;
        try {
            text = load_(path);
        } catch (const SourceError& e) {
            line.Fail(std::string("cannot include: ") + e.what());
        }
        Run(SplitSource(text, path), depth + 1);
    } else if (command == "color") {
        NeedWords(line, 5, "color <name> <red> <green> <blue>");
        colors_[line.words[1]] = MakeRgb(ParseInt(line, line.words[2], 0, 255, "red"),
                                         ParseInt(line, line.words[3], 0, 255, "green"),
                                         ParseInt(line, line.words[4], 0, 255, "blue"));
    } else if (command == "key") {
        NeedWords(line, 3, "key <character> <colour>");
        if (line.words[1].size() != 1 || line.words[1] == ".")
            line.Fail("a key is one character other than '.', which leaves pixels as they are");
        keys_[line.words[1][0]] = ColorArg(line, 2);
    } else if (command == "sheet") {
        NeedWords(line, 7, "sheet <name> <path> <tile width> <tile height> <columns> <rows> [index=<n>]");
        SheetInfo s;
        s.name = line.words[1];
        s.tileW = ParseInt(line, line.words[3], 1, 256, "tile width");
        s.tileH = ParseInt(line, line.words[4], 1, 256, "tile height");
        s.columns = ParseInt(line, line.words[5], 1, 64, "columns");
        s.rows = ParseInt(line, line.words[6], 1, 64, "rows");
        for (size_t w = 7; w < line.words.size(); ++w) {
            std::string key, value;
            SplitKeyValue(line, line.words[w], key, value);
            if (key != "index")
                line.Fail("unknown sheet setting '" + key + "'");
            s.index = ParseInt(line, value, 0, 3, "sheet index");
        }
        AddImage(line, s.name, line.words[2], s.tileW * s.columns, s.tileH * s.rows);
        s.image = images_.size() - 1;
        sheets_.push_back(s);
    } else if (command == "sprite") {
        NeedWords(line, 5, "sprite <name> <frame width> <frame height> <frames>");
        SpriteInfo s;
        s.name = line.words[1];
        s.frameW = ParseInt(line, line.words[2], 1, 256, "frame width");
        s.frameH = ParseInt(line, line.words[3], 1, 256, "frame height");
        s.count = ParseInt(line, line.words[4], 1, 64, "frame count");
        AddImage(line, s.name, "sprites/" + s.name + ".bmp", s.frameW * s.count, s.frameH);
        s.image = images_.size() - 1;
        sprites_.push_back(s);
        currentSprite_ = int(sprites_.size() - 1);
        targetImage_ = s.image;
        targets_.clear();
    } else if (command == "image") {
        NeedWords(line, 5, "image <name> <path> <width> <height> [colors=<n>]");
        AddImage(line, line.words[1], line.words[2], ParseInt(line, line.words[3], 1, 4096, "width"),
                 ParseInt(line, line.words[4], 1, 4096, "height"));
        for (size_t w = 5; w < line.words.size(); ++w) {
            std::string key, value;
            SplitKeyValue(line, line.words[w], key, value);
            if (key != "colors")
                line.Fail("unknown image setting '" + key + "'");
            images_.back().maxColors = ParseInt(line, value, 2, 16, "colors");
        }
    } else if (command == "tile") {
        NeedWords(line, 3, "tile <sheet> <index or range> ...");
        const SheetInfo& s = FindSheet(line, line.words[1]);
        targetImage_ = s.image;
        targets_.clear();
        for (int n : ParseIndexList(line, 2, s.columns * s.rows)) targets_.push_back(CellRect(s, n));
    } else if (command == "frame") {
        NeedWords(line, 2, "frame <index or range> ... | frame all");
        if (currentSprite_ < 0)
            line.Fail("frame outside a sprite");
        const SpriteInfo& s = sprites_[size_t(currentSprite_)];
        targetImage_ = s.image;
        targets_.clear();
        if (line.words[1] == "all") {
            targets_.push_back(Rect{0, 0, s.frameW * s.count, s.frameH});
        } else {
            for (int n : ParseIndexList(line, 1, s.count))
                targets_.push_back(Rect{n * s.frameW, 0, s.frameW, s.frameH});
        }
    } else if (command == "canvas") {
        NeedWords(line, 2, "canvas <image> [x y w h]");
        size_t found = images_.size();
        for (size_t n = 0; n < images_.size(); ++n) {
            if (images_[n].name == line.words[1])
                found = n;
        }
        if (found == images_.size())
            line.Fail("unknown image '" + line.words[1] + "'");
        targetImage_ = found;
        targets_.clear();
        const Image& image = images_[found].image;
        if (line.words.size() >= 6)
            targets_.push_back(Rect{IntArg(line, 2, "x"), IntArg(line, 3, "y"), IntArg(line, 4, "width"),
                                    IntArg(line, 5, "height")});
        else
            targets_.push_back(Rect{0, 0, image.width, image.height});
    } else if (command == "macro") {
        NeedWords(line, 2, "macro <name> [$param ...]");
        Macro m;
        m.header = line;
        m.params.assign(line.words.begin() + 2, line.words.end());
        for (const std::string& p : m.params) {
            if (p.size() < 2 || p[0] != '$')
                line.Fail("macro parameters start with '$', not '" + p + "'");
        }
        while (true) {
            if (++i >= lines.size())
                line.Fail("macro " + line.words[1] + " has no 'endmacro'");
            if (!lines[i].Empty() && lines[i].words[0] == "endmacro")
                break;
            m.body.push_back(lines[i]);
        }
        macros_[line.words[1]] = m;
    } else if (command == "scale") {
        NeedWords(line, 2, "scale <pixels per unit>");
        scale_ = ParseInt(line, line.words[1], 1, 8, "scale");
    } else if (command == "use") {
        Use(line, depth);
    } else if (command == "glyph") {
        RunGlyph(lines, i);
    } else if (command == "font") {
        MakeFont(line);
    } else {
        return false;
    }
    return true;
}

void ArtBook::Use(const SourceLine& line, int depth)
{
    NeedWords(line, 2, "use <macro> [arguments]");
    auto found = macros_.find(line.words[1]);
    if (found == macros_.end())
        line.Fail("unknown macro '" + line.words[1] + "'");
    const Macro& m = found->second;
    if (line.words.size() - 2 != m.params.size())
        line.Fail("macro " + line.words[1] + " takes " + std::to_string(m.params.size()) + " arguments");
    if (depth > 8)
        line.Fail("macros nest too deeply");
    std::string text;
    for (const SourceLine& body : m.body) {
        std::string raw = body.raw;
        // Longer names first, so $ab is not taken for $a followed by b.
        for (size_t len = 64; len > 1; --len) {
            for (size_t p = 0; p < m.params.size(); ++p) {
                if (m.params[p].size() != len)
                    continue;
                size_t at = 0;
                while ((at = raw.find(m.params[p], at)) != std::string::npos) {
                    raw.replace(at, len, line.words[p + 2]);
                    at += line.words[p + 2].size();
                }
            }
        }
        text += raw + "\n";
    }
    std::vector<SourceLine> expanded = SplitSource(text, m.header.file);
    for (size_t n = 0; n < expanded.size(); ++n) expanded[n].number = m.body[n].number;
    try {
        Run(expanded, depth + 1);
    } catch (const SourceError& e) {
        throw SourceError(std::string(e.what()) + " (in macro " + line.words[1] + " used at " + line.file +
                          ":" + std::to_string(line.number) + ")");
    }
}

std::string ArtBook::SpriteDefText() const
{
    std::ostringstream out;
    out << "# Generated by karsk-mkart from data/art; edit those sources instead.\n";
    for (const SheetInfo& s : sheets_) {
        if (s.index >= 0)
            out << "tilesheet " << s.index << " " << images_[s.image].path << " " << s.tileW << " " << s.tileH
                << "\n";
    }
    for (const SpriteInfo& s : sprites_)
        out << "sprite " << s.name << " " << images_[s.image].path << " " << s.frameW << " " << s.frameH
            << " " << s.count << "\n";
    return out.str();
}

}  // namespace ktool

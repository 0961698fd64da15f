#include "engine/SpriteDef.h"

#include <map>

#include "engine/TextUtil.h"

namespace Quill {

namespace {
// Sizes are positive and fit in 16 bits; a product of two needs more than an int.
constexpr unsigned long kMaxSize = 65535;

class Parser {
public:
    explicit Parser(const std::string& fileName) : fileName(fileName) {}

    void Line(int number, const std::vector<std::string>& words)
    {
        lineNumber = number;
        if (words[0] == "sprite") {
            Sprite(words);
        } else if (words[0] == "tilesheet") {
            TileSheet(words);
        } else {
            Error("unknown keyword '" + words[0] + "' (want sprite or tilesheet)");
        }
    }

    SpriteDefFile result;

private:
    void Error(const std::string& what)
    {
        result.errors.push_back(fileName + ":" + std::to_string(lineNumber) + ": " + what);
    }

    bool Size(const std::string& word, const char* what, int& out)
    {
        unsigned long value = 0;
        if (!ParseDecimal(word, kMaxSize, value) || value == 0) {
            Error(std::string(what) + " must be a whole number from 1 to " + std::to_string(kMaxSize) +
                  ", got '" + word + "'");
            return false;
        }
        out = static_cast<int>(value);
        return true;
    }

    void Sprite(const std::vector<std::string>& words)
    {
        if (words.size() != 6) {
            Error("sprite needs 5 fields: <name> <image.bmp> <frameWidth> <frameHeight> <frameCount>, got " +
                  std::to_string(words.size() - 1));
            return;
        }
        SpriteDefEntry entry;
        entry.line = lineNumber;
        entry.name = words[1];
        entry.image = words[2];
        if (!Size(words[3], "frame width", entry.frameWidth) ||
            !Size(words[4], "frame height", entry.frameHeight) ||
            !Size(words[5], "frame count", entry.frameCount)) {
            return;
        }
        auto seen = spriteLines.find(entry.name);
        if (seen != spriteLines.end()) {
            Error("sprite '" + entry.name + "' already defined on line " + std::to_string(seen->second));
            return;
        }
        spriteLines[entry.name] = lineNumber;
        result.sprites.push_back(entry);
    }

    void TileSheet(const std::vector<std::string>& words)
    {
        if (words.size() != 5) {
            Error("tilesheet needs 4 fields: <index> <image.bmp> <tileWidth> <tileHeight>, got " +
                  std::to_string(words.size() - 1));
            return;
        }
        TileSheetDefEntry entry;
        entry.line = lineNumber;
        unsigned long index = 0;
        if (!ParseDecimal(words[1], kMaxTileSheets - 1, index)) {
            Error("tile sheet index must be 0 to " + std::to_string(kMaxTileSheets - 1) + ", got '" +
                  words[1] + "'");
            return;
        }
        entry.sheet = static_cast<int>(index);
        entry.image = words[2];
        if (!Size(words[3], "tile width", entry.tileWidth) ||
            !Size(words[4], "tile height", entry.tileHeight)) {
            return;
        }
        auto seen = sheetLines.find(entry.sheet);
        if (seen != sheetLines.end()) {
            Error("tile sheet " + std::to_string(entry.sheet) + " already defined on line " +
                  std::to_string(seen->second));
            return;
        }
        sheetLines[entry.sheet] = lineNumber;
        result.tileSheets.push_back(entry);
    }

    const std::string& fileName;
    int lineNumber = 0;
    std::map<std::string, int> spriteLines;
    std::map<int, int> sheetLines;
};
}  // namespace

SpriteDefFile ParseSpriteDef(const std::string& text, const std::string& fileName)
{
    Parser parser(fileName);
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> words = SplitWords(StripCommentAndTrim(lines[i]));
        if (!words.empty()) {
            parser.Line(static_cast<int>(i + 1), words);
        }
    }
    return parser.result;
}

}  // namespace Quill

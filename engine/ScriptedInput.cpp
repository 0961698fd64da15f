#include <algorithm>
#include <cctype>

#include "engine/InputSystem.h"
#include "engine/TextUtil.h"

namespace Quill {

namespace {
struct NamedKey {
    const char* name;
    int key;
};

constexpr NamedKey kNamedKeys[] = {
    {"up", Key::Up},         {"down", Key::Down},      {"left", Key::Left}, {"right", Key::Right},
    {"space", Key::Space},   {"lctrl", Key::LeftCtrl}, {"tab", Key::Tab},   {"d", Key::D},
    {"escape", Key::Escape}, {"return", Key::Return},
};

// Frames are "N" or "N-M", both inclusive.
bool ParseFrames(const std::string& word, unsigned& first, unsigned& last)
{
    const unsigned long limit = 0xFFFFFFFFul;
    size_t dash = word.find('-');
    unsigned long a = 0;
    unsigned long b = 0;
    if (dash == std::string::npos) {
        if (!ParseDecimal(word, limit, a)) {
            return false;
        }
        b = a;
    } else if (!ParseDecimal(word.substr(0, dash), limit, a) ||
               !ParseDecimal(word.substr(dash + 1), limit, b)) {
        return false;
    }
    if (b < a) {
        return false;
    }
    first = static_cast<unsigned>(a);
    last = static_cast<unsigned>(b);
    return true;
}
}  // namespace

int ScriptedInput::KeyFromName(const std::string& name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const NamedKey& named : kNamedKeys) {
        if (lower == named.name) {
            return named.key;
        }
    }
    unsigned long code = 0;
    if (ParseDecimal(lower, Key::Count - 1, code)) {
        return static_cast<int>(code);
    }
    return -1;
}

bool ScriptedInput::Parse(const std::string& text, std::string& error)
{
    std::vector<Span> parsed;
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        std::vector<std::string> words = SplitWords(StripCommentAndTrim(lines[i]));
        if (words.empty()) {
            continue;
        }
        Span span;
        if (!ParseFrames(words[0], span.first, span.last)) {
            error = where + "bad frame range '" + words[0] + "' (want N or N-M with N <= M)";
            return false;
        }
        if (words.size() < 2) {
            error = where + "no keys after the frames";
            return false;
        }
        for (size_t w = 1; w < words.size(); ++w) {
            int key = KeyFromName(words[w]);
            if (key < 0) {
                error = where + "unknown key '" + words[w] + "'";
                return false;
            }
            span.keys.push_back(key);
        }
        parsed.push_back(std::move(span));
    }
    spans = std::move(parsed);
    error.clear();
    return true;
}

bool ScriptedInput::LoadFile(const std::string& path, std::string& error)
{
    std::string text;
    if (!ReadTextFile(path, text, error)) {
        return false;
    }
    if (!Parse(text, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void ScriptedInput::BeginFrame(unsigned frame)
{
    ReleaseAll();
    for (const Span& span : spans) {
        if (frame >= span.first && frame <= span.last) {
            for (int key : span.keys) {
                SetKey(key, true);
            }
        }
    }
}

unsigned ScriptedInput::LastFrame() const
{
    unsigned last = 0;
    for (const Span& span : spans) {
        last = std::max(last, span.last);
    }
    return last;
}

}  // namespace Quill

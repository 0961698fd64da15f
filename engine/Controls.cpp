#include "engine/Controls.h"

#include <SDL_keysym.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/ConfigFiles.h"
#include "engine/Keys.h"
#include "engine/QuillLogger.h"

namespace Quill {

namespace {

struct ActionInfo {
    const char* name;
    int key;
    const char* defaults;
    const char* what;
};

// In Action order.
const ActionInfo kActions[kActionCount] = {
    {"up", Key::Up, "up, pad hat up, pad axis 1-", "walk up"},
    {"down", Key::Down, "down, pad hat down, pad axis 1+", "walk down"},
    {"left", Key::Left, "left, pad hat left, pad axis 0-", "walk left"},
    {"right", Key::Right, "right, pad hat right, pad axis 0+", "walk right"},
    {"sword", Key::Space, "space, pad button 0", "swing the sword"},
    {"item", Key::LeftCtrl, "left ctrl, pad button 1", "use the selected item"},
    {"next_item", Key::Tab, "tab, pad button 2", "select the next item"},
    {"stairs", Key::D, "d, pad button 3", "take the stairs down"},
    {"pause", Key::P, "p, pad button 7", "pause or resume a game without a second player"},
    {"mute_music", Key::M, "m, pad button 6", "mute or unmute the music"},
    {"volume_down", Key::Minus, "-, pad button 4", "sound effects 10 % quieter"},
    {"volume_up", Key::Equals, "=, pad button 5", "sound effects 10 % louder"},
};

struct KeyName {
    const char* name;
    int key;
};

// SDL 1.2's own names (SDL_GetKeyName) for the keys that have no single
// character; letters, digits and punctuation are named by themselves.
const KeyName kKeyNames[] = {
    {"backspace", SDLK_BACKSPACE},
    {"tab", SDLK_TAB},
    {"return", SDLK_RETURN},
    {"pause", SDLK_PAUSE},
    {"escape", SDLK_ESCAPE},
    {"space", SDLK_SPACE},
    {"delete", SDLK_DELETE},
    {"[0]", SDLK_KP0},
    {"[1]", SDLK_KP1},
    {"[2]", SDLK_KP2},
    {"[3]", SDLK_KP3},
    {"[4]", SDLK_KP4},
    {"[5]", SDLK_KP5},
    {"[6]", SDLK_KP6},
    {"[7]", SDLK_KP7},
    {"[8]", SDLK_KP8},
    {"[9]", SDLK_KP9},
    {"[.]", SDLK_KP_PERIOD},
    {"[/]", SDLK_KP_DIVIDE},
    {"[*]", SDLK_KP_MULTIPLY},
    {"[-]", SDLK_KP_MINUS},
    {"[+]", SDLK_KP_PLUS},
    {"enter", SDLK_KP_ENTER},
    {"equals", SDLK_KP_EQUALS},
    {"up", SDLK_UP},
    {"down", SDLK_DOWN},
    {"right", SDLK_RIGHT},
    {"left", SDLK_LEFT},
    {"insert", SDLK_INSERT},
    {"home", SDLK_HOME},
    {"end", SDLK_END},
    {"page up", SDLK_PAGEUP},
    {"page down", SDLK_PAGEDOWN},
    {"f1", SDLK_F1},
    {"f2", SDLK_F2},
    {"f3", SDLK_F3},
    {"f4", SDLK_F4},
    {"f5", SDLK_F5},
    {"f6", SDLK_F6},
    {"f7", SDLK_F7},
    {"f8", SDLK_F8},
    {"f9", SDLK_F9},
    {"f10", SDLK_F10},
    {"f11", SDLK_F11},
    {"f12", SDLK_F12},
    {"right shift", SDLK_RSHIFT},
    {"left shift", SDLK_LSHIFT},
    {"right ctrl", SDLK_RCTRL},
    {"left ctrl", SDLK_LCTRL},
    {"right alt", SDLK_RALT},
    {"left alt", SDLK_LALT},
    {"right super", SDLK_RSUPER},
    {"left super", SDLK_LSUPER},
    {"menu", SDLK_MENU},
    // Not SDL's: a comma would split the list of inputs.
    {"comma", SDLK_COMMA},
};

const char* const kHatNames[] = {"up", "right", "down", "left"};  // bits 1, 2, 4, 8

// Lower case, blanks trimmed and runs of blanks made one space.
std::string Normalize(const std::string& text)
{
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// A whole decimal number in 0..max, or -1.
int SmallNumber(const std::string& text, int max)
{
    if (text.empty() || text.size() > 3)
        return -1;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n <= max ? n : -1;
}

bool StartsWith(const std::string& text, const char* prefix, std::string& rest)
{
    const size_t n = std::strlen(prefix);
    if (text.compare(0, n, prefix) != 0)
        return false;
    rest = text.substr(n);
    return true;
}

std::vector<Binding> DefaultBindings(size_t index)
{
    std::vector<Binding> list;
    std::stringstream parts(kActions[index].defaults);
    std::string part, reason;
    while (std::getline(parts, part, ',')) {
        Binding b;
        if (Controls::ParseBinding(part, b, reason))
            list.push_back(b);
    }
    return list;
}

}  // namespace

Controls::Controls()
{
    for (size_t i = 0; i < kActionCount; ++i) bindings[i] = DefaultBindings(i);
}

int Controls::LogicalKey(Action action)
{
    return kActions[Index(action)].key;
}

const char* Controls::ActionName(Action action)
{
    return kActions[Index(action)].name;
}

int Controls::KeyFromName(const std::string& name)
{
    const std::string n = Normalize(name);
    for (const KeyName& k : kKeyNames) {
        if (n == k.name)
            return k.key;
    }
    // Letters, digits and punctuation: SDL 1.2 codes them as their ASCII.
    if (n.size() == 1 && n[0] > ' ' && n[0] < 127)
        return n[0];
    return -1;
}

bool Controls::ParseBinding(const std::string& text, Binding& out, std::string& reason)
{
    const std::string n = Normalize(text);
    std::string rest;
    if (n.empty()) {
        reason = "an empty input";
        return false;
    }
    if (StartsWith(n, "pad button ", rest)) {
        const int button = SmallNumber(rest, 31);
        if (button < 0) {
            reason = "'" + n + "': pad buttons are numbered 0 to 31";
            return false;
        }
        out = {Binding::PadButton, button, 0};
        return true;
    }
    if (StartsWith(n, "pad hat ", rest)) {
        for (int bit = 0; bit < 4; ++bit) {
            if (rest == kHatNames[bit]) {
                out = {Binding::PadHat, 0, 1 << bit};
                return true;
            }
        }
        reason = "'" + n + "': a pad hat goes up, down, left or right";
        return false;
    }
    if (StartsWith(n, "pad axis ", rest)) {
        const char sign = rest.empty() ? '\0' : rest.back();
        const int axis = SmallNumber(rest.substr(0, rest.empty() ? 0 : rest.size() - 1), 31);
        if ((sign != '-' && sign != '+') || axis < 0) {
            reason = "'" + n + "': a pad axis is its number (0 to 31) and - or +";
            return false;
        }
        out = {Binding::PadAxis, axis, sign == '-' ? -1 : 1};
        return true;
    }
    const int key = KeyFromName(n);
    if (key < 0) {
        reason = "'" + n + "' is no key name";
        return false;
    }
    out = {Binding::KeyboardKey, key, 0};
    return true;
}

std::string Controls::BindingName(const Binding& binding)
{
    switch (binding.kind) {
        case Binding::PadButton:
            return "pad button " + std::to_string(binding.code);
        case Binding::PadAxis:
            return "pad axis " + std::to_string(binding.code) + (binding.direction < 0 ? "-" : "+");
        case Binding::PadHat:
            for (int bit = 0; bit < 4; ++bit) {
                if (binding.direction == 1 << bit)
                    return std::string("pad hat ") + kHatNames[bit];
            }
            return "pad hat ?";
        case Binding::KeyboardKey:
            break;
    }
    for (const KeyName& k : kKeyNames) {
        if (binding.code == k.key)
            return k.name;
    }
    return std::string(1, char(binding.code));
}

void Controls::Parse(const std::string& text, std::vector<std::string>& problems)
{
    std::stringstream lines(text);
    std::string line;
    std::vector<bool> seen(kActionCount, false);
    for (int number = 1; std::getline(lines, line); ++number) {
        auto problem = [&](const std::string& what) {
            problems.push_back("line " + std::to_string(number) + ": " + what);
        };
        const std::string trimmed = Normalize(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const size_t equals = trimmed.find('=');
        if (equals == std::string::npos || equals == 0) {
            problem("'" + trimmed + "' is not 'action = input, ...'; ignored");
            continue;
        }
        const std::string name = Normalize(trimmed.substr(0, equals));
        size_t index = kActionCount;
        for (size_t i = 0; i < kActionCount; ++i) {
            if (name == kActions[i].name)
                index = i;
        }
        if (index == kActionCount) {
            problem("'" + name + "' is no action; ignored");
            continue;
        }
        // "volume_up = =": the first '=' splits, the rest is the input list.
        std::vector<Binding> list;
        std::stringstream parts(trimmed.substr(equals + 1));
        std::string part, reason;
        bool ok = true;
        while (ok && std::getline(parts, part, ',')) {
            Binding b;
            ok = ParseBinding(part, b, reason);
            list.push_back(b);
        }
        if (ok && list.empty())
            reason = "no input given";
        if (!ok || list.empty()) {
            problem(std::string(kActions[index].name) + ": " + reason + "; the default (" +
                    kActions[index].defaults + ") is kept");
            bindings[index] = DefaultBindings(index);
            continue;
        }
        if (seen[index])
            problem(std::string(kActions[index].name) + " is given again; the last line counts");
        seen[index] = true;
        bindings[index] = list;
    }
}

bool Controls::LoadOrCreate(const std::string& path)
{
    if (path.empty())
        return true;
    std::ifstream in(path);
    if (!in) {
        if (errno != ENOENT) {
            Logger()->Log("controls: cannot read %s: %s; the default keys are used", path.c_str(),
                          std::strerror(errno));
            return false;
        }
        std::string error;
        if (WriteFileWhole(path, DefaultFileText(), error))
            Logger()->Log("controls: wrote the default keys to %s", path.c_str());
        else
            Logger()->Log("controls: cannot write %s: %s", path.c_str(), error.c_str());
        return true;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> problems;
    Parse(text.str(), problems);
    for (const std::string& p : problems) Logger()->Log("controls: %s, %s", path.c_str(), p.c_str());
    return true;
}

std::string Controls::DefaultFileText()
{
    std::string text =
        "# Karsk's controls: one line per action, \"action = input, input, ...\".\n"
        "# A line replaces all of that action's inputs; an action without a line\n"
        "# keeps its default, and so does one whose line cannot be used (the log\n"
        "# says why). Two actions may share an input. Escape always quits.\n"
        "#\n"
        "# Keys by their SDL 1.2 names: a letter, digit or punctuation mark by\n"
        "# itself (a, 7, -, =, [, /), or up, down, left, right, space, tab, return,\n"
        "# backspace, insert, delete, home, end, page up, page down, f1 ... f12,\n"
        "# left ctrl, right ctrl, left shift, right shift, left alt, right alt,\n"
        "# left super, right super, menu, pause, comma (the ',' key), and on the keypad [0] ... [9],\n"
        "# [.], [/], [*], [-], [+], enter, equals.\n"
        "# Gamepad or joystick (the first one found at start):\n"
        "#   pad button N      button N (0-31)\n"
        "#   pad hat up        the hat or d-pad: up, down, left or right\n"
        "#   pad axis N-       axis N (0-31) pushed to its negative end (N+ the\n"
        "#                     positive); the first 8000 of 32767 do nothing\n"
        "# Case and extra blanks do not matter; '#' starts a comment line.\n\n";
    for (const ActionInfo& a : kActions) {
        text += "# " + std::string(a.what) + "\n" + a.name + " = " + a.defaults + "\n";
    }
    return text;
}

}  // namespace Quill

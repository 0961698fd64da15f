#pragma once

#include <array>
#include <string>
#include <vector>

// The player's controls: which keyboard keys and pad inputs stand for each
// of the game's actions. The input system turns them into the game's own key
// codes (Keys.h), so the game reads Key::Up whatever the player pressed.
// The file format is described in docs/controls.md.
namespace Quill {

enum class Action {
    Up,
    Down,
    Left,
    Right,
    Sword,
    Item,
    NextItem,
    Stairs,
    Pause,
    MuteMusic,
    VolumeDown,
    VolumeUp,
    Count
};
constexpr size_t kActionCount = static_cast<size_t>(Action::Count);

// One physical input.
struct Binding {
    enum Kind { KeyboardKey, PadButton, PadHat, PadAxis };
    Kind kind = KeyboardKey;
    // The SDL key code, the button or the axis number.
    int code = 0;
    // PadHat: the hat direction bit (1 up, 2 right, 4 down, 8 left);
    // PadAxis: -1 or +1.
    int direction = 0;
    bool operator==(const Binding& o) const
    {
        return kind == o.kind && code == o.code && direction == o.direction;
    }
};

class Controls {
public:
    // A pad axis within this distance of the centre counts as centred.
    static constexpr int kDeadZone = 8000;

    // The game's key table: arrows, Space, Left Ctrl, Tab, d, p, m, - and =,
    // with the pad's hat and left stick for walking, buttons 0-3 for sword,
    // item, next item and stairs, and button 7 (start) for pause.
    Controls();

    const std::vector<Binding>& Bindings(Action action) const { return bindings[Index(action)]; }
    void SetBindings(Action action, std::vector<Binding> list) { bindings[Index(action)] = std::move(list); }

    // Reads "action = input, input ..." lines over the defaults. A line that
    // cannot be used leaves its action as it was and adds a problem (with the
    // line number) to `problems`.
    void Parse(const std::string& text, std::vector<std::string>& problems);
    // Reads the file, or writes it with the defaults when there is none.
    // Every problem is logged. False only when an existing file is unreadable
    // (the defaults stay).
    bool LoadOrCreate(const std::string& path);

    // The defaults as a commented controls file.
    static std::string DefaultFileText();

    // The game's key code for the action (Key::Up for Action::Up ...).
    static int LogicalKey(Action action);
    static const char* ActionName(Action action);
    // False with a reason when the text names no input.
    static bool ParseBinding(const std::string& text, Binding& out, std::string& reason);
    static std::string BindingName(const Binding& binding);
    // The key code for a key name, or -1.
    static int KeyFromName(const std::string& name);

private:
    static size_t Index(Action action) { return static_cast<size_t>(action); }
    std::array<std::vector<Binding>, kActionCount> bindings;
};

}  // namespace Quill

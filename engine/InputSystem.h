#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/Controls.h"
#include "engine/Keys.h"

namespace Quill {

enum InputSystemType { INPUT_NONE = 0, INPUT_KEYBOARD = 1 };

// Key state for the game. The engine feeds it once per frame, either from the
// keyboard or from a key script, so the game never knows which.
class InputSystem {
public:
    virtual ~InputSystem() = default;
    virtual bool Initialize() { return true; }
    // True while the key (an SDL 1.2 key code) is held this frame.
    virtual bool IsKeyDown(int key) const;
    // Called by the engine at the start of every frame with its frame number.
    virtual void BeginFrame(unsigned frame) { (void)frame; }
    // While suspended (the view is scrolling between screens) every key reads
    // as released, so the hero stands still until the new screen is shown.
    virtual void SetSuspended(bool suspended) { this->suspended = suspended; }
    bool IsSuspended() const { return suspended; }

    // Raw state of the game's key codes, written by scripts and tests.
    void SetKey(int key, bool down);
    // Releases every key, button, hat and axis.
    void ReleaseAll();

    // Physical input from the event pump, turned into the game's key codes
    // through the controls: an action's key is down while any of its inputs
    // is. A keyboard key that no action uses passes through as itself.
    void SetControls(const Controls& controls);
    const Controls& GetControls() const { return controls; }
    void SetPhysicalKey(int key, bool down);
    void SetPadButton(int button, bool down);
    // The hat's direction bits (1 up, 2 right, 4 down, 8 left).
    void SetPadHat(int bits);
    // An axis position, -32768..32767; within the dead zone it is centred.
    void SetPadAxis(int axis, int value);

protected:
    static constexpr int kPadInputs = 32;
    bool IsBindingActive(const Binding& binding) const;
    void ApplyControls();

    std::array<bool, Key::Count> keys{};
    bool suspended = false;
    Controls controls;
    std::array<bool, Key::Count> physicalKeys{};
    std::array<bool, kPadInputs> padButtons{};
    std::array<int, kPadInputs> padAxes{};
    int padHat = 0;
};

// Holds keys as a script says, frame by frame.
// Script lines: "<first>[-<last>] <key> [<key> ...]", frames inclusive and
// counted from 0; '#' starts a comment. Key names: up down left right space
// lctrl tab d escape return, or a decimal SDL key code (0-511). See
// docs/input-script.md.
class ScriptedInput : public InputSystem {
public:
    struct Span {
        unsigned first = 0;
        unsigned last = 0;
        std::vector<int> keys;
    };

    // Parses script text; on failure returns false and puts the reason (with
    // the line number) in `error`.
    bool Parse(const std::string& text, std::string& error);
    bool LoadFile(const std::string& path, std::string& error);
    void BeginFrame(unsigned frame) override;
    // The last frame any span mentions, so a run can stop after the script.
    unsigned LastFrame() const;
    const std::vector<Span>& Spans() const { return spans; }

    static int KeyFromName(const std::string& name);

private:
    std::vector<Span> spans;
};

}  // namespace Quill

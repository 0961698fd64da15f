#pragma once

#include <array>
#include <string>
#include <vector>

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

    // Raw key state, written by the keyboard event pump and by tests.
    void SetKey(int key, bool down);
    void ReleaseAll() { keys.fill(false); }

protected:
    std::array<bool, Key::Count> keys{};
    bool suspended = false;
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

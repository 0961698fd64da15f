#pragma once

#include <string>

union SDL_Event;
struct _SDL_Joystick;

namespace Quill {

class InputSystem;

// The first gamepad or joystick present at start, through SDL 1.2's joystick
// API. Its events reach the input system as pad buttons, hat and axes, which
// the controls turn into the game's keys.
class Gamepad {
public:
    ~Gamepad() { Close(); }
    // Starts SDL's joystick part and opens joystick 0. False (logged) when
    // there is none or it cannot be opened; the game plays on the keyboard.
    bool Open();
    void Close();
    bool IsOpen() const { return joystick != nullptr; }
    const std::string& Name() const { return name; }

private:
    _SDL_Joystick* joystick = nullptr;
    std::string name;
    bool subsystemStarted = false;
};

// Hands a joystick event to the input system; false for any other event.
bool FeedPadEvent(const SDL_Event& event, InputSystem& input);

}  // namespace Quill

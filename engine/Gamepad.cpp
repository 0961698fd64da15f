#include "engine/Gamepad.h"

#include <SDL.h>

#include "engine/InputSystem.h"
#include "engine/QuillLogger.h"

namespace Quill {

bool Gamepad::Open()
{
    if (joystick)
        return true;
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
            Logger()->Log("gamepad: cannot start SDL's joysticks: %s", SDL_GetError());
            return false;
        }
        subsystemStarted = true;
    }
    if (SDL_NumJoysticks() < 1) {
        Logger()->Log("gamepad: none found; the keyboard plays");
        Close();
        return false;
    }
    joystick = SDL_JoystickOpen(0);
    if (!joystick) {
        Logger()->Log("gamepad: cannot open the first joystick: %s", SDL_GetError());
        Close();
        return false;
    }
    const char* found = SDL_JoystickName(0);
    name = found ? found : "joystick 0";
    SDL_JoystickEventState(SDL_ENABLE);
    Logger()->Log("gamepad: %s (%d buttons, %d axes, %d hats)", name.c_str(),
                  SDL_JoystickNumButtons(joystick), SDL_JoystickNumAxes(joystick),
                  SDL_JoystickNumHats(joystick));
    return true;
}

void Gamepad::Close()
{
    if (joystick && SDL_WasInit(SDL_INIT_JOYSTICK))
        SDL_JoystickClose(joystick);
    joystick = nullptr;
    if (subsystemStarted && SDL_WasInit(SDL_INIT_JOYSTICK))
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    subsystemStarted = false;
}

bool FeedPadEvent(const SDL_Event& event, InputSystem& input)
{
    switch (event.type) {
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            input.SetPadButton(event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
            return true;
        case SDL_JOYHATMOTION:
            // Every hat steers alike; pads have one.
            input.SetPadHat(event.jhat.value);
            return true;
        case SDL_JOYAXISMOTION:
            input.SetPadAxis(event.jaxis.axis, event.jaxis.value);
            return true;
        default:
            return false;
    }
}

}  // namespace Quill

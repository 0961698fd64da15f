#include "engine/InputSystem.h"

namespace Quill {

namespace {
bool InRange(int key)
{
    return key >= 0 && key < Key::Count;
}

bool IsActionKey(int key)
{
    for (size_t i = 0; i < kActionCount; ++i) {
        if (Controls::LogicalKey(static_cast<Action>(i)) == key)
            return true;
    }
    return false;
}
}  // namespace

bool InputSystem::IsKeyDown(int key) const
{
    return !suspended && InRange(key) && keys[static_cast<size_t>(key)];
}

void InputSystem::SetKey(int key, bool down)
{
    if (InRange(key)) {
        keys[static_cast<size_t>(key)] = down;
    }
}

void InputSystem::ReleaseAll()
{
    keys.fill(false);
    physicalKeys.fill(false);
    padButtons.fill(false);
    padAxes.fill(0);
    padHat = 0;
}

void InputSystem::SetControls(const Controls& newControls)
{
    controls = newControls;
    ApplyControls();
}

void InputSystem::SetPhysicalKey(int key, bool down)
{
    if (!InRange(key))
        return;
    physicalKeys[static_cast<size_t>(key)] = down;
    if (!IsActionKey(key))
        keys[static_cast<size_t>(key)] = down;
    ApplyControls();
}

void InputSystem::SetPadButton(int button, bool down)
{
    if (button >= 0 && button < kPadInputs) {
        padButtons[static_cast<size_t>(button)] = down;
        ApplyControls();
    }
}

void InputSystem::SetPadHat(int bits)
{
    padHat = bits & 15;
    ApplyControls();
}

void InputSystem::SetPadAxis(int axis, int value)
{
    if (axis >= 0 && axis < kPadInputs) {
        padAxes[static_cast<size_t>(axis)] = value;
        ApplyControls();
    }
}

bool InputSystem::IsBindingActive(const Binding& b) const
{
    switch (b.kind) {
        case Binding::KeyboardKey:
            return InRange(b.code) && physicalKeys[static_cast<size_t>(b.code)];
        case Binding::PadButton:
            return b.code >= 0 && b.code < kPadInputs && padButtons[static_cast<size_t>(b.code)];
        case Binding::PadHat:
            return (padHat & b.direction) != 0;
        case Binding::PadAxis: {
            if (b.code < 0 || b.code >= kPadInputs)
                return false;
            const int value = padAxes[static_cast<size_t>(b.code)] * b.direction;
            return value > Controls::kDeadZone;
        }
    }
    return false;
}

void InputSystem::ApplyControls()
{
    for (size_t i = 0; i < kActionCount; ++i) {
        const Action action = static_cast<Action>(i);
        bool down = false;
        for (const Binding& b : controls.Bindings(action)) down = down || IsBindingActive(b);
        SetKey(Controls::LogicalKey(action), down);
    }
}

}  // namespace Quill

#include "engine/InputSystem.h"

namespace Quill {

namespace {
bool InRange(int key)
{
    return key >= 0 && key < Key::Count;
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

}  // namespace Quill

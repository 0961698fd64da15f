#include "app/TestApp.h"
#include "engine/Keys.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"

namespace {

// Fires on the frame the key goes down; `held` remembers the last frame. A
// suspended input reads every key as up, so `held` keeps what it knew before:
// a key still held when a scroll ends must not fire again.
bool Pressed(bool down, bool& held, bool suspended)
{
    if (suspended)
        return false;
    bool pressed = down && !held;
    held = down;
    return pressed;
}

}  // namespace

void CTestApp::HandleInput()
{
    Quill::InputSystem* input = GetInputSystem();
    if (!input || !localPlayer)
        return;
    using namespace Quill;
    auto send = [this](int event) { localPlayer->SendEvent(event, nullptr, nullptr); };
    const bool suspended = input->IsSuspended();

    if (input->IsKeyDown(Key::D))
        send(12);

    const bool up = input->IsKeyDown(Key::Up), down = input->IsKeyDown(Key::Down);
    const bool right = input->IsKeyDown(Key::Right), left = input->IsKeyDown(Key::Left);
    if (up)
        send(1);
    else if (down)
        send(2);
    else if (right)
        send(4);
    else if (left)
        send(3);
    else
        send(7);

    if (Pressed(input->IsKeyDown(Key::Space), attackKeyHeld, suspended)) {
        send(5);
        SendButtonPressed(session, MSG_SWORD_PRESSED, localPlayer->GetPosition());
    }
    if (Pressed(input->IsKeyDown(Key::LeftCtrl), itemKeyHeld, suspended)) {
        send(6);
        SendButtonPressed(session, MSG_ITEM_PRESSED, localPlayer->GetPosition());
    }
    if (Pressed(input->IsKeyDown(Key::Tab), switchKeyHeld, suspended))
        send(15);
}

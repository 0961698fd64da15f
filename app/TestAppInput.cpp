#include "app/TestApp.h"
#include "engine/Keys.h"
#include "engine/QuillLogger.h"
#include "net/GameMessages.h"
#include "player/Tavin.h"
#include "world/KarskRenderer.h"

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

void CTestApp::HandleSystemKeys()
{
    Quill::InputSystem* input = GetInputSystem();
    if (!input)
        return;
    namespace Key = Quill::Key;
    const bool suspended = input->IsSuspended();
    if (Pressed(input->IsKeyDown(Key::P), pauseKeyHeld, suspended))
        SetPaused(!paused);
    const bool mute = Pressed(input->IsKeyDown(Key::M), muteKeyHeld, suspended);
    const bool quieter = Pressed(input->IsKeyDown(Key::Minus), volumeDownKeyHeld, suspended);
    const bool louder = Pressed(input->IsKeyDown(Key::Equals), volumeUpKeyHeld, suspended);
    if (mute || quieter != louder)
        ChangeSoundSettings(int(louder) - int(quieter), mute);
}

bool CTestApp::SetPaused(bool on)
{
    if (on && session)
        return false;  // the other player's game runs on
    if (on != paused)
        Quill::Logger()->Log(on ? "game paused" : "game resumed");
    paused = on;
    if (world)
        world->SetFrozen(paused);
    return true;
}

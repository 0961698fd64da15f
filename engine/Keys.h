#pragma once

// Key codes of the input system. They are the SDL 1.2 key symbols, so that a
// script or a bot can name keys exactly as the keyboard reports them. The
// game reads its actions under these codes whatever keys or pad buttons the
// player's controls file maps onto them.
namespace Quill {
namespace Key {
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Minus = 45;
constexpr int Equals = 61;
constexpr int D = 100;
constexpr int M = 109;
constexpr int P = 112;
constexpr int Up = 273;
constexpr int Down = 274;
constexpr int Right = 275;
constexpr int Left = 276;
constexpr int LeftCtrl = 306;
constexpr int Count = 512;
}  // namespace Key
}  // namespace Quill

#pragma once

// Key codes of the input system. They are the SDL 1.2 key symbols, so that a
// script or a bot can name keys exactly as the keyboard reports them.
namespace Quill {
namespace Key {
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int D = 100;
constexpr int Up = 273;
constexpr int Down = 274;
constexpr int Right = 275;
constexpr int Left = 276;
constexpr int LeftCtrl = 306;
constexpr int Count = 512;
}  // namespace Key
}  // namespace Quill

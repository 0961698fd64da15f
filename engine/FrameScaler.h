#pragma once

struct SDL_Surface;

namespace Quill {

// The game draws a fixed-size frame; the window shows it enlarged by a whole
// number with sharp (nearest-neighbour) pixels.
constexpr int kFrameWidth = 512;
constexpr int kFrameHeight = 512;
constexpr int kMaxScale = 8;

// The window scale for a desktop of the given size: the largest whole
// multiple of the frame that fits, leaving room for panels (a tenth of the
// height, at least 96 pixels, and a little at the sides). 1 when the size is
// unknown (zero or negative) or too small; never above kMaxScale.
int ChooseWindowScale(int desktopWidth, int desktopHeight);
// The largest whole scale that fits the screen with no margin (fullscreen);
// at least 1.
int ChooseFullscreenScale(int screenWidth, int screenHeight);

// Where the enlarged frame sits on a target: centred, `scale` times the frame.
struct FramePlacement {
    int x = 0;
    int y = 0;
    int scale = 1;
};
FramePlacement PlaceFrame(int targetWidth, int targetHeight, int frameWidth, int frameHeight, int scale);

// Copies `source` into `target` with every source pixel an N × N block, the
// top-left at (x, y). Both surfaces must have 4 bytes per pixel and the same
// pixel layout; parts falling outside the target are cut off. False (nothing
// drawn) when the surfaces do not qualify.
bool ScaleFrame(SDL_Surface* source, SDL_Surface* target, const FramePlacement& place);
// Paints black the parts of `target` outside the placed frame.
void FillLetterbox(SDL_Surface* target, int frameWidth, int frameHeight, const FramePlacement& place);

}  // namespace Quill

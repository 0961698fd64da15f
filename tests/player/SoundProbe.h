#pragma once

// Loads the whole sound table as short looping tones, so that a sound the
// hero starts keeps playing until it is stopped and can be checked afterwards.
namespace SoundProbe {

// Loads the table once per process; false when any sound failed.
bool Load();
bool IsPlaying(int index);
void StopAll();

}  // namespace SoundProbe

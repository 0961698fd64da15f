#pragma once

// The game's sound layer. A sound is addressed by its index in the sound
// table; the index is also the sample slot and the mixer channel it plays on,
// so replaying a sound restarts it and different sounds never cut each other.

// Starts the mixer (22050 Hz, 64 channels). Without an audio device the game
// runs silently; the result is true either way.
bool InitSound();
// Loads the next slot from a WAV or MP3 file: 1 on success, −1 on failure with
// the reason in GetSoundError() (the slot is then reused by the next load).
int LoadSound(const char* file, bool loop);
// False when the index is not a loaded slot or no channel was started.
bool PlaySound(int index);
void StopSound(int index);
// Relative loudness: 1 is the recording's own level, 2 twice as loud.
void SetVolume(int index, float volume);
// Loop region in samples; an end at or before the start loops to the end.
bool SetLoopPoints(int index, int start, int end);
const char* GetSoundError();
void ShutdownSound();

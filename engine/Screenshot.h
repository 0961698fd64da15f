#pragma once

#include <ctime>
#include <string>

struct SDL_Surface;

namespace Quill {

// Where screenshots go: $XDG_PICTURES_DIR, else the XDG_PICTURES_DIR line of
// user-dirs.dirs in $XDG_CONFIG_HOME (else ~/.config), else ~/Pictures.
// Null arguments stand for unset variables. Empty when no home is known.
std::string ChoosePicturesDirectory(const char* xdgPicturesDir, const char* xdgConfigHome, const char* home);
// The same from the process environment.
std::string PicturesDirectory();
// The XDG_PICTURES_DIR value in the text of a user-dirs.dirs file, with
// $HOME expanded; empty when there is no usable line.
std::string ParseUserDirsPictures(const std::string& text, const std::string& home);

// "karsk-2026-12-07-013512.png" for the local time given; `take` 2 and up
// adds "-2", "-3" for more shots in the same second.
std::string ScreenshotFileName(const std::tm& when, int take);
// The first name for `when` not yet taken in `dir`.
std::string NextScreenshotPath(const std::string& dir, const std::tm& when);
// Creates `dir` and its parents; false with the reason in `error`.
bool MakeDirectories(const std::string& dir, std::string& error);

// Writes a 32-bit surface as an 8-bit RGB PNG; false with the reason in `error`.
bool WritePng(const std::string& path, SDL_Surface* surface, std::string& error);

}  // namespace Quill

#pragma once

#include <string>

// Where the game keeps its per-user files, and how it writes them.
namespace Quill {

// $XDG_CONFIG_HOME/karsk/<name>, or ~/.config/karsk/<name> when that
// variable is unset, empty or not an absolute path. Empty without a home.
std::string ConfigFilePath(const char* xdgConfigHome, const char* home, const std::string& name);
// The same from the environment; the password database stands in for $HOME.
std::string ConfigFilePath(const std::string& name);

// Creates every missing folder above `path` (mode 0700); false when one
// cannot be made.
bool MakeParentFolders(const std::string& path);
// Creates the folders as needed and replaces the file whole (through
// "<path>.new"), so a half-written file never replaces a good one. False,
// with the reason in `error`, when it cannot.
bool WriteFileWhole(const std::string& path, const std::string& text, std::string& error);

}  // namespace Quill

#pragma once

#include <string>

#include "app/LaunchDialog.h"

enum class LaunchAnswer {
    Launch,    // start the game with the settings read from the dialog
    Quit,      // "Quit", Escape or the close button: no game
    NoWindow,  // the dialog could not be shown
};

// Offers the choices remembered in `settingsPath`, then `name` when it is not
// empty (a name given on the command line wins over the remembered one).
void PrepareLaunchDialog(LaunchDialog& dialog, const std::string& settingsPath, const std::string& name);
// Remembers the choices of a launch; any other answer leaves the file alone.
void FinishLaunchDialog(const LaunchDialog& dialog, const std::string& settingsPath);

// Shows the dialog in its own window until it is answered, and closes the
// window again. On Launch, `settings` holds the answer.
LaunchAnswer RunLaunchDialog(const std::string& name, LaunchSettings& settings);

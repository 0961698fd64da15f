#pragma once

#include <string>

#include "app/LaunchDialog.h"

// The launch dialog's memory: the last name, role and address, kept in an
// INI file so that the next start offers them again.
//
//   [launch]
//   name=Tavi
//   server=0
//   address=127.0.0.1
//
// Values are written with '%', ';' and blanks at either end as %XX, since
// the INI reader would take them for escapes, comments or padding.

// $XDG_CONFIG_HOME/karsk/launch.ini, or ~/.config/karsk/launch.ini when that
// variable is unset, empty or not an absolute path. Empty without a home.
std::string LaunchSettingsPath(const char* xdgConfigHome, const char* home);
// The same from the environment; the password database stands in for $HOME.
std::string LaunchSettingsPath();

// False when there is nothing to offer: no file (quietly), or a file that
// cannot be read or makes no sense (logged). `out` is changed only on success.
bool LoadRememberedLaunch(const std::string& path, RememberedLaunch& out);
// Creates the folder as needed and replaces the file whole; false (logged)
// when it cannot.
bool SaveRememberedLaunch(const std::string& path, const RememberedLaunch& remembered);

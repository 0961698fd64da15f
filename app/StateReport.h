#pragma once

#include <string>

class CTestApp;

// A running game writes its state when asked by SIGUSR1, so that a watcher
// can compare two copies without stopping them. The signal only sets a flag;
// the file is written from the frame loop.
//
// The file (written whole, then renamed into place) holds tab-separated lines:
//   frame      <frames run>
//   role       host | client
//   connected  0 | 1
//   scrolling  0 | 1
//   hero       <uid> <x> <y> <health> <direction>
//   enemy      <uid> <x> <y> <health> <state> <name>
// one hero line per hero in the world and one enemy line per live enemy,
// positions in pixels with two decimals.
bool WriteStateReport(CTestApp& app, const std::string& path);

// Where the state goes: beside the log, "<log without .log>.state". Empty
// without a log file.
std::string StateReportPath(const std::string& logFile);

// Called once a frame: installs the SIGUSR1 handler on the first call and
// writes the state when one was asked for since the last call.
void ServeStateRequest(CTestApp& app);

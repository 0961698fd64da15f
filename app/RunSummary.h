#pragma once

#include <string>

class CTestApp;

// A short, stable, human-readable account of the world when a run ends: the
// heroes (position, screen, health, currency, keys, bombs), the doors opened
// during the run and the enemies still alive. Replays are checked against it.
// False, logged, when the file cannot be written.
bool WriteRunSummary(CTestApp& app, const std::string& path);
std::string DescribeRun(CTestApp& app);

#pragma once

#include <string>

class EntityList;

// Writes one line per entity, in list order, for comparing runs and for bug
// reports. After a '#' header line each line holds, separated by tabs:
//   uid  x  y  state  health  name
// x, y (pixels) and health with two decimals; the name comes last because it
// may hold spaces (tabs and line breaks in it become spaces). False, logged,
// when the file cannot be written.
bool WriteWorldDump(const EntityList& entities, const std::string& path);

#pragma once

#include <string>

class EntityList;
class KarskRenderer;

// Writes one line per entity, in list order, for comparing runs and for bug
// reports. After a '#' header line each line holds, separated by tabs:
//   uid  x  y  state  health  name
// x, y (pixels) and health with two decimals; the name comes last because it
// may hold spaces (tabs and line breaks in it become spaces). False, logged,
// when the file cannot be written.
bool WriteWorldDump(const EntityList& entities, const std::string& path);

// The same entity lines, then the doors of every screen that has any, in
// screen order (rows, then columns): a second '#' header line, then one line
// per door, separated by tabs:
//   door  screen-x  screen-y  side  state
// side is north, south, east or west; state is the door's state now: open,
// push (opens when a block is pushed), clear (opens when no enemy is left)
// or locked. Readers that want only the entities stop at the second '#' line
// or skip the lines that start with "door".
bool WriteWorldDump(KarskRenderer& world, const std::string& path);

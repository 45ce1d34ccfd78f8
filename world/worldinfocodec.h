// The stored world set-up: TTRVWorldInfo as saves and campaign files hold it (names, date,
// mission, player, and every side's counters, colour, rally cells, base and flags). Strings
// are Windows-1250 in the stream and UTF-8 in memory, converted here and nowhere else.
#pragma once

#include <cstddef>
#include <string>

#include "platform/bytestream.h"
#include "world/world.h"

// The game has at most nine sides: the player's and eight enemies, one per naval base and colour.
inline constexpr int kMaxSides = 9;
// The smallest stored side: an empty name and the fixed fields.
inline constexpr std::size_t kStoredSideMinBytes = 1 + 4 * 2 + 8 * 4 + 4 * 4 + 4 + 3 * 8 + 2 * 4 + 5;

// Appends the set-up with `writtenAt` (days since 1899-12-30) as its date and "- - -" for an
// empty mission name. False, with nothing appended and `error` saying why, when it cannot be
// stored as it is: more than kMaxSides sides, or a name longer than 255 bytes in Windows-1250.
bool WriteWorldInfo(platform::ByteWriter& out, const TTRVWorldInfo& info, double writtenAt, std::string& error);

// Reads a set-up into `out`: worldName, missionName (as stored, "- - -" included), savedAt
// (the stored date), missionType, playerUnitType, playerSide and sides (with sideIndex set);
// other fields are left as they were. Checks every count and length against the bytes left,
// at most kMaxSides sides, a mission type and a player's vehicle the game has (helicopter, tank
// or boat), a player side among the sides, a finite date and base positions, before it
// allocates or indexes anything. False with a message naming what is wrong and where; `out` is
// then as it was.
bool ReadWorldInfo(platform::ByteReader& in, TTRVWorldInfo& out, std::string& error);

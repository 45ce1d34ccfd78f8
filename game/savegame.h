// Saved games (save/<name>.TRV, magic "TRVSAVE"): the world's set-up, the sides and every
// unit's state. The island itself is not stored: a save names its world file, which is
// loaded first and then given the saved sides and units.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// A save's summary for the load list. Names are UTF-8.
struct TTRVExtractLoadGameData {
  bool valid = false;
  bool campaignSave = false;  // a campaign between games: only the campaign and the time are known
  std::string worldName;
  std::string campaignName;  // empty outside any campaign
  std::uint8_t playerUnitType = 0;
  std::uint8_t missionType = 0;
  int sideCount = 0;
  int allies = 0;      // units of the player's side alive when saved
  int enemies = 0;     // units of every other side alive when saved
  double savedAt = 0;  // days since 1899-12-30
};

// Reads the summary of a save file; invalid when it is missing or does not read as a save.
// Never throws on bad input.
TTRVExtractLoadGameData ReadSaveHeader(const std::filesystem::path& file);

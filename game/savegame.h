// Saved games (save/<name>.TRV, magic "TRVSAVE"): the world's set-up, the sides and every
// unit's state. The island itself is not stored: a save names its world file, which is
// loaded first and then given the saved sides and units. This is the file alone, as bytes;
// building a game from it is game/saveload.*.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "units/unitstate.h"
#include "world/world.h"

inline constexpr std::string_view kSaveMagic = "TRVSAVE";
inline constexpr std::string_view kCampaignSaveMagic = "TRVCAMPSAVE";
// A unit as stored: its state block, then position and direction as four floats each.
inline constexpr std::size_t kStoredUnitBytes = TTRVUnitState::kBytes + 2 * 16;
// Nine sides of 65535 units stay below this; anything larger is not a save.
inline constexpr std::uintmax_t kMaxSaveFileSize = 128u << 20;

struct TTRVSavedUnit {
  TTRVUnitState state;
  TVector position{0, 0, 0, 1};
  TVector direction{0, 0, 1, 0};
};

// A game save as the file holds it. Names are UTF-8.
struct TTRVSaveData {
  TTRVWorldInfo setup;  // worldName, missionName, savedAt, mission, player and sides
  std::vector<std::vector<TTRVSavedUnit>> units;  // per side container, in child order
};

// The stored form with `savedAt` as its date. Empty, with `error` saying why, for a game the
// format cannot hold or the reader would misread: one that names a campaign (its block comes
// with campaigns), no sides or more than nine, containers not one per side, more than 65535
// units on a side, or a name longer than 255 bytes.
std::vector<std::uint8_t> WriteSaveFile(const TTRVSaveData& data, double savedAt, std::string& error);

// Reads a whole game save. Checks the magic, the set-up, that the game names no campaign,
// that the side count is the set-up's, every unit count against the bytes left, and every
// unit's type, side and player flag (at most one player's unit, on the player's side) and a
// finite position and direction. False with a message naming what is wrong; never throws.
bool ParseSaveFile(std::span<const std::uint8_t> bytes, TTRVSaveData& out, std::string& error);

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

// The summary of a save's bytes: a game save is valid only when the whole file reads (one of a
// campaign's games only as far as its set-up, the rest comes with campaigns); a campaign save
// when its title and date read.
TTRVExtractLoadGameData SaveHeaderOf(std::span<const std::uint8_t> bytes);
// Reads the summary of a save file; invalid when it is missing or does not read as a save.
// Never throws on bad input.
TTRVExtractLoadGameData ReadSaveHeader(const std::filesystem::path& file);

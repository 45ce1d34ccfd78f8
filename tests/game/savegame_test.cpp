// The save file as bytes: the writer's refusals, the reader's checks of every count, index and
// cut, and the summary the load list shows.
#include "game/savegame.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/bytestream.h"
#include "world/worldinfocodec.h"

namespace {

TTRVSavedUnit Unit(std::uint8_t type, std::uint8_t side, bool player = false) {
  TTRVSavedUnit u;
  u.state.unitType = type;
  u.state.side = side;
  u.state.isPlayer = player ? 1 : 0;
  u.state.armour = 10;
  u.position = {20, 1, 30, 1};
  u.direction = {1, 0, 0, 0};
  return u;
}

TTRVSaveData TwoSides() {
  TTRVSaveData d;
  d.setup.worldName = "Isle";
  d.setup.playerSide = 1;
  d.setup.sides.resize(2);
  d.setup.sides[0].name = "Enemy";
  d.setup.sides[0].aliveCounts = {0, 2, 0, 1};
  d.setup.sides[1].name = "Player";
  d.setup.sides[1].aliveCounts = {1, 0, 0, 0};
  d.units = {{Unit(utTank, 0), Unit(utTank, 0), Unit(utTurret, 0)}, {Unit(utHeli, 1, true)}};
  return d;
}

std::vector<std::uint8_t> Bytes(const TTRVSaveData& d) {
  std::string error;
  std::vector<std::uint8_t> bytes = WriteSaveFile(d, 45000, error);
  EXPECT_FALSE(bytes.empty()) << error;
  return bytes;
}

// Where the side count after the set-up lies.
std::size_t SideCountAt(const TTRVSaveData& d) {
  platform::ByteWriter w;
  w.ShortString(std::string(kSaveMagic));
  std::string error;
  WriteWorldInfo(w, d.setup, 0, error);
  return w.bytes.size();
}

TEST(SaveFile, ASaveReadsBackUnitByUnit) {
  const TTRVSaveData d = TwoSides();
  TTRVSaveData back;
  std::string error;
  ASSERT_TRUE(ParseSaveFile(Bytes(d), back, error)) << error;
  EXPECT_EQ(back.setup.missionName, "- - -");
  ASSERT_EQ(back.units.size(), 2u);
  ASSERT_EQ(back.units[0].size(), 3u);
  EXPECT_EQ(back.units[1][0].state.ToBytes(), d.units[1][0].state.ToBytes());
  EXPECT_EQ(back.units[1][0].position.z, 30);
  EXPECT_EQ(back.units[1][0].direction.x, 1);
  EXPECT_EQ(Bytes(d).size(), SideCountAt(d) + 1 + 2 * 2 + 4 * kStoredUnitBytes);
}

TEST(SaveFile, WhatTheReaderWouldMisreadIsNeverWritten) {
  struct Case {
    const char* what;
    std::function<void(TTRVSaveData&)> change;
    const char* says;
  };
  const Case cases[] = {
      {"a game of a campaign", [](TTRVSaveData& d) { d.setup.missionName = "Islands"; }, "campaign"},
      {"a game without sides", [](TTRVSaveData& d) { d.setup.sides.clear(); d.units.clear(); }, "without sides"},
      {"more unit groups than sides", [](TTRVSaveData& d) { d.units.emplace_back(); }, "unit groups"},
      {"a name too long to store", [](TTRVSaveData& d) { d.setup.worldName = std::string(300, 'a'); }, "255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVSaveData d = TwoSides();
    c.change(d);
    std::string error;
    EXPECT_TRUE(WriteSaveFile(d, 1, error).empty());
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

TEST(SaveFile, DamagedSavesAreRefusedBeforeAnythingIndexesByThem) {
  const TTRVSaveData d = TwoSides();
  const std::vector<std::uint8_t> good = Bytes(d);
  const std::size_t sides = SideCountAt(d);
  const std::size_t firstUnit = sides + 1 + 2;       // side 0's first unit
  const std::size_t playerUnit = sides + 1 + 2 + 3 * kStoredUnitBytes + 2;
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> change;
    const char* says;
  };
  auto put = [](std::size_t at, std::vector<std::uint8_t> v) {
    return [at, v](std::vector<std::uint8_t>& b) { std::copy(v.begin(), v.end(), b.begin() + static_cast<long>(at)); };
  };
  const Case cases[] = {
      {"another magic", put(1, {'X'}), "TRVSAVE"},
      {"a campaign save",
       [](std::vector<std::uint8_t>& b) { b = {11, 'T', 'R', 'V', 'C', 'A', 'M', 'P', 'S', 'A', 'V', 'E'}; },
       "campaign save"},
      {"a second side count of fewer sides", put(sides, {1}), "units of 1 sides"},
      {"a second side count of more sides", put(sides, {3}), "units of 3 sides"},
      {"a unit count beyond the bytes left", put(sides + 1, {0xFF, 0xFF}), "ends inside the units of side 0"},
      {"a unit count of more units than follow", put(sides + 1, {5, 0}), "ends inside"},
      {"an unknown unit type", put(firstUnit, {4}), "unknown type"},
      {"a unit of a side the game lacks", put(firstUnit + 1, {2}), "does not have"},
      {"a player flag that is not 0 or 1", put(firstUnit + 3, {2}), "player flag"},
      {"a second player's unit", put(firstUnit + 3, {1}), "second player"},
      {"the player's unit on another side", put(playerUnit + 1, {0}), "another side"},
      {"a position that is not a number", put(firstUnit + TTRVUnitState::kBytes, {0, 0, 0xC0, 0x7F}), "not a number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = good;
    c.change(bytes);
    TTRVSaveData out;
    std::string error;
    EXPECT_FALSE(ParseSaveFile(bytes, out, error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    EXPECT_FALSE(SaveHeaderOf(bytes).valid) << "the list shows no save it could not load";
  }
}

TEST(SaveFile, ASaveCutAtAnyByteIsRefused) {
  const std::vector<std::uint8_t> good = Bytes(TwoSides());
  for (std::size_t n = 0; n < good.size(); ++n) {
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    TTRVSaveData out;
    std::string error;
    EXPECT_FALSE(ParseSaveFile(cut, out, error)) << "cut at " << n;
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(SaveHeaderOf(cut).valid) << "cut at " << n;
  }
}

TEST(SaveFile, TheListSummaryCountsAlliesAndEnemiesAliveWhenSaved) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    TTRVExtractLoadGameData want;
  };
  TTRVSaveData campaignGame = TwoSides();
  campaignGame.setup.missionName = "Islands";
  platform::ByteWriter campaignGameBytes;  // as a campaign's game will be written: set-up, then its block
  campaignGameBytes.ShortString(std::string(kSaveMagic));
  std::string error;
  ASSERT_TRUE(WriteWorldInfo(campaignGameBytes, campaignGame.setup, 45000, error));
  campaignGameBytes.U8(0xAB);
  platform::ByteWriter campaignSave;
  campaignSave.ShortString(std::string(kCampaignSaveMagic));
  campaignSave.ShortString("Ostrovy \x9A");  // Windows-1250 for "š"
  campaignSave.F64(45001.5);

  const Case cases[] = {
      {"a game outside any campaign", Bytes(TwoSides()),
       {true, false, "Isle", "", utHeli, mtSuperiority, 2, 1, 3, 45000}},
      {"a campaign's game, read as far as its set-up", campaignGameBytes.bytes,
       {true, false, "Isle", "Islands", utHeli, mtSuperiority, 2, 1, 3, 45000}},
      {"a campaign between games", campaignSave.bytes, {true, true, "", "Ostrovy š", 0, 0, 0, 0, 0, 45001.5}},
      {"an empty file", {}, {}},
      {"a campaign save without its date",
       std::vector<std::uint8_t>(campaignSave.bytes.begin(), campaignSave.bytes.end() - 1),
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TTRVExtractLoadGameData h = SaveHeaderOf(c.bytes);
    EXPECT_EQ(h.valid, c.want.valid);
    EXPECT_EQ(h.campaignSave, c.want.campaignSave);
    EXPECT_EQ(h.worldName, c.want.worldName);
    EXPECT_EQ(h.campaignName, c.want.campaignName);
    EXPECT_EQ(h.playerUnitType, c.want.playerUnitType);
    EXPECT_EQ(h.missionType, c.want.missionType);
    EXPECT_EQ(h.sideCount, c.want.sideCount);
    EXPECT_EQ(h.allies, c.want.allies);
    EXPECT_EQ(h.enemies, c.want.enemies);
    EXPECT_EQ(h.savedAt, c.want.savedAt);
  }
  EXPECT_FALSE(ReadSaveHeader("").valid);
  EXPECT_FALSE(ReadSaveHeader("/nonexistent/folder/save.TRV").valid);
}

}  // namespace

// The stored world set-up: every field back as written, names through Windows-1250 in the
// stream, "- - -" for no campaign, and every damaged count or cut refused with a message.
#include "world/worldinfocodec.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/world/side_expect.h"

namespace {

TTRVWorldInfo TwoSides() {
  TTRVWorldInfo info;
  info.worldName = "Žlutý ostrov";
  info.missionName = "";
  info.missionType = mtDefence;
  info.playerUnitType = utBoat;
  info.playerSide = 1;
  info.sides.resize(2);
  TTRVWorldFractionInfo& a = info.sides[0];
  a.name = "Sever";
  a.unitCounts = {1, 2, 3, 4};
  a.aliveCounts = {0, 2, 1, 4};
  a.victoryLosses = {-1, 2, -1, 7};
  a.survivalMinimum = {1, -1, -1, 3};
  a.sideColour = 0x00FF8000;
  a.rallyCell = {TTRVCell{10, 11}, TTRVCell{12, 13}, TTRVCell{14, 15}};
  a.basePosition = {40.5f, 0, 41.25f};
  a.scatterSpawn = 1;
  a.roaming = 1;
  TTRVWorldFractionInfo& b = info.sides[1];
  b.name = "Jižní flotila";
  b.unitCounts = {0, 0, 5, 16};
  b.aliveCounts = {0, 0, 5, 16};
  b.rallyCell = {TTRVCell{100, 3}, TTRVCell{101, 4}, TTRVCell{102, 5}};
  b.basePosition = {110, 0, 64};
  b.defending = 1;
  b.attacking = 1;
  b.navalBase = 1;
  return info;
}

std::vector<std::uint8_t> Written(const TTRVWorldInfo& info, double at = 45123.5) {
  platform::ByteWriter out;
  std::string error;
  EXPECT_TRUE(WriteWorldInfo(out, info, at, error)) << error;
  return out.bytes;
}

bool Read(const std::vector<std::uint8_t>& bytes, TTRVWorldInfo& out, std::string& error) {
  platform::ByteReader in(bytes);
  return ReadWorldInfo(in, out, error);
}

TEST(WorldInfoCodec, EveryFieldComesBackAsWritten) {
  const TTRVWorldInfo info = TwoSides();
  const std::vector<std::uint8_t> bytes = Written(info);
  TTRVWorldInfo back;
  std::string error;
  ASSERT_TRUE(Read(bytes, back, error)) << error;
  EXPECT_EQ(back.worldName, info.worldName);
  EXPECT_EQ(back.missionName, "- - -") << "an empty mission name is stored as no campaign";
  EXPECT_EQ(back.savedAt, 45123.5);
  EXPECT_EQ(back.missionType, mtDefence);
  EXPECT_EQ(back.playerUnitType, utBoat);
  EXPECT_EQ(back.playerSide, 1);
  ASSERT_EQ(back.sides.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const TTRVWorldFractionInfo &a = back.sides[i], &b = info.sides[i];
    SCOPED_TRACE("side " + std::to_string(i));
    ExpectSameStoredSide(a, b);
    EXPECT_EQ(a.basePosition.y, 0);
    EXPECT_EQ(a.sideIndex, i);
  }
}

TEST(WorldInfoCodec, TheStreamHoldsWindows1250AndTheLayoutOfTheFile) {
  TTRVWorldInfo info;
  info.worldName = "Žár";
  info.missionName = "Ostrovy";
  info.sides.resize(1);
  info.sides[0].name = "A";
  info.sides[0].aliveCounts = {-1, 0, 0, 0};  // the low half of the 32-bit field only
  const std::vector<std::uint8_t> bytes = Written(info, 2.0);
  const std::vector<std::uint8_t> head = {3, 0x8E, 0xE1, 'r', 7, 'O', 's', 't', 'r', 'o', 'v', 'y'};
  ASSERT_GE(bytes.size(), head.size());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(head.size())), head);
  EXPECT_EQ(bytes.size(), head.size() + 8 + 4 + kStoredSideMinBytes + 1) << "date, four bytes, one side named \"A\"";
  const std::size_t alive = head.size() + 8 + 4 + 2 + 8 + 32;
  const auto aliveAt = bytes.begin() + static_cast<long>(alive);
  EXPECT_EQ(std::vector<std::uint8_t>(aliveAt, aliveAt + 4), (std::vector<std::uint8_t>{0xFF, 0xFF, 0, 0}));
  TTRVWorldInfo back;
  std::string error;
  ASSERT_TRUE(Read(bytes, back, error)) << error;
  EXPECT_EQ(back.worldName, "Žár");
  EXPECT_EQ(back.missionName, "Ostrovy");
  EXPECT_EQ(back.sides[0].aliveCounts[0], -1);
}

TEST(WorldInfoCodec, ASetUpThatCannotBeStoredIsRefusedAndNothingWritten) {
  struct Case {
    const char* what;
    std::function<void(TTRVWorldInfo&)> change;
  };
  const Case cases[] = {
      {"ten sides", [](TTRVWorldInfo& i) { i.sides.resize(10); }},
      {"a world name of 256 bytes", [](TTRVWorldInfo& i) { i.worldName = std::string(256, 'w'); }},
      {"a side name of 256 bytes", [](TTRVWorldInfo& i) { i.sides[1].name = std::string(256, 's'); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVWorldInfo info = TwoSides();
    c.change(info);
    platform::ByteWriter out;
    std::string error;
    EXPECT_FALSE(WriteWorldInfo(out, info, 1, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(out.bytes.empty());
  }
}

TEST(WorldInfoCodec, DamagedFieldsAreRefusedWithWhatIsWrong) {
  const std::vector<std::uint8_t> good = Written(TwoSides());
  // Offsets of the fields after the two names.
  const std::size_t names = 1 + std::string("Žlutý ostrov").size() - 2 + 1 + 5;  // two letters take two UTF-8 bytes
  const std::size_t date = names, mission = date + 8, vehicle = mission + 1, player = vehicle + 1, count = player + 1;
  const std::size_t baseX = count + 1 + 1 + 5 + 8 + 32 + 16 + 4 + 24;
  struct Case {
    const char* what;
    std::size_t at;
    std::vector<std::uint8_t> put;
    const char* says;
  };
  const Case cases[] = {
      {"an unknown mission type", mission, {4}, "mission type"},
      {"a turret for the player", vehicle, {utTurret}, "vehicle"},
      {"the player on a side the game does not have", player, {2}, "player's side"},
      {"ten sides", count, {10}, "at most 9"},
      {"more sides than bytes left", count, {9}, "ends inside"},
      {"a date that is not a number", date, {0, 0, 0, 0, 0, 0, 0xF8, 0x7F}, "date"},
      {"a base that is not a position", baseX, {0, 0, 0xC0, 0x7F}, "base"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = good;
    ASSERT_LE(c.at + c.put.size(), bytes.size());
    std::copy(c.put.begin(), c.put.end(), bytes.begin() + static_cast<long>(c.at));
    TTRVWorldInfo out;
    std::string error;
    EXPECT_FALSE(Read(bytes, out, error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

TEST(WorldInfoCodec, ASetUpCutAtAnyByteIsRefused) {
  const std::vector<std::uint8_t> good = Written(TwoSides());
  for (std::size_t n = 0; n < good.size(); ++n) {
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    TTRVWorldInfo out;
    out.sides.resize(3);
    out.worldName = "Before";
    std::string error;
    EXPECT_FALSE(Read(cut, out, error)) << "cut at " << n;
    EXPECT_NE(error.find("ends inside"), std::string::npos) << "cut at " << n << ": " << error;
    EXPECT_EQ(out.sides.size(), 3u) << "a refused read leaves the set-up as it was";
    EXPECT_EQ(out.worldName, "Before");
  }
}

}  // namespace

// Side standings: strength near the camera, the main enemy and the defending switch.
#include "game/sidestanding.h"

#include <gtest/gtest.h>

#include "tests/units/unit_fixture.h"

namespace {

using unittest::UnitWorld;

TTRVEntity& Near(TTRVEntity& unit) {
  unit.isFar = 0;
  return unit;
}

TEST(SideStanding, StrengthCountsLiveVehiclesNearTheCameraUpToOne) {
  UnitWorld w(100, 3);
  Near(w.Add(utHeli, {10, 7, 10}, false, 0));
  Near(w.Add(utTank, {12, 7, 10}, false, 0));
  Near(w.Add(utBoat, {14, 7, 10}, false, 0));
  Near(w.Add(utTurret, {16, 7, 10}, false, 0));          // turrets count nothing
  w.Add(utTank, {18, 7, 10}, false, 0).isFar = 1;        // nor far units
  Near(w.Add(utTank, {20, 7, 10}, false, 0)).state.armour = 0;  // nor wrecks
  for (int i = 0; i < 10; ++i) Near(w.Add(utBoat, {10, 7, 20.0f + i}, false, 1));
  UpdateSideStandings(*w.world);
  EXPECT_FLOAT_EQ(w.world->sideStrength[0], 0.06f + 0.12f + 0.18f);
  EXPECT_FLOAT_EQ(w.world->sideStrength[1], 1.0f) << "capped";
  EXPECT_FLOAT_EQ(w.world->sideStrength[2], 0.0f);
}

TEST(SideStanding, TheMainEnemyIsTheOtherSideWithMostUnitsAlive) {
  const struct {
    const char* name;
    std::array<int, 3> alive;  // live units of sides 0, 1, 2
    std::array<int, 3> mainEnemy;
  } cases[] = {
      {"most alive", {3, 1, 2}, {2, 0, 0}},
      {"a tie goes to the lower side", {2, 2, 2}, {1, 0, 0}},
      {"no other side alive: the first other side, never itself", {4, 0, 0}, {1, 0, 0}},
      {"nobody alive anywhere", {0, 0, 0}, {1, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w(100, 3);
    for (int s = 0; s < 3; ++s) {
      for (int k = 0; k < c.alive[s]; ++k) w.Add(utTurret, {10.0f + k, 2, 10.0f + 4 * s}, false, s);
      w.Add(utTurret, {30, 2, 10.0f + 4 * s}, false, s).state.armour = -1;  // wrecks are not counted
    }
    CountAliveUnits(*w.world);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(w.world->sides[s].aliveCounts[utTurret], c.alive[s]) << "side " << s;
    UpdateSideStandings(*w.world);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(w.world->sides[s].mainEnemy, c.mainEnemy[s]) << "side " << s;
  }
}

TEST(SideStanding, BeatenComputerSidesFallBackToDefend) {
  const struct {
    const char* name;
    std::array<std::int16_t, 4> start;
    int aliveVehicles;
    bool preset;
    std::uint8_t defending;
  } cases[] = {
      {"a quarter left: not yet", {4, 4, 0, 2}, 2, false, 0},
      {"under a quarter", {4, 4, 0, 2}, 1, false, 1},
      {"no vehicles to start with", {0, 0, 0, 5}, 0, false, 1},
      {"preset stances stay", {4, 4, 0, 2}, 0, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w(100, 2);
    w.world->playerSide = 0;
    w.world->stancesPreset = c.preset ? 1 : 0;
    for (auto& side : w.world->sides) side.unitCounts = c.start;
    for (int k = 0; k < c.aliveVehicles; ++k) w.Add(utTank, {10.0f + k, 2, 30}, false, 1);
    CountAliveUnits(*w.world);
    UpdateSideStandings(*w.world);
    EXPECT_EQ(w.world->sides[1].defending, c.defending);
    EXPECT_EQ(w.world->sides[0].defending, 0) << "the player's side keeps its stance";
  }
}

}  // namespace

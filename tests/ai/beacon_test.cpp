// Unit beacons: the window field around a unit and the walks other units take down it.
#include "ai/beacon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "scene/baseobject.h"

namespace {

// An open map with the unit standing in it; the map's outermost cells are never passable.
struct BeaconMap {
  TTRVPathFinder finder;
  TGLDummyCube unit;

  explicit BeaconMap(int size, TAffineVector at = {60.2f, 0, 60.2f}) {
    finder.Reset(size, size, true);
    unit.Position.SetPoint(at);
  }
  void Block(std::initializer_list<TTRVCell> cells) {
    for (const TTRVCell& c : cells) finder.SetPassable(c.x, c.z, false);
  }
  void BlockAllBut(std::initializer_list<TTRVCell> cells) {
    finder.grid.Fill(0);
    for (const TTRVCell& c : cells) finder.SetPassable(c.x, c.z, true);
  }
};

TAffineVector At(float x, float z) { return {x, 0, z}; }

int CountedCells(const TTRVAIBeacon& beacon) {
  int counted = 0;
  for (std::uint8_t v : beacon.field) counted += v > 0 && v < kBeaconBlocked;
  return counted;
}

TEST(AIBeacon, AnswersFromARealFieldAsSoonAsItIsMade) {
  BeaconMap map(120);
  map.Block({{65, 60}});
  const TTRVAIBeacon beacon(map.unit, map.finder);  // no Compute: the constructor built it

  EXPECT_EQ(beacon.origin, (TTRVCell{12, 12}));
  const struct {
    TTRVCell cell;
    int value;
    const char* why;
  } cells[] = {
      {{60, 60}, 2, "the unit's cell: the second wave comes back to it"},
      {{61, 60}, 1, "a neighbour"},
      {{59, 59}, 2, "a diagonal is two steps"},
      {{60, 95}, 35, "straight along z"},
      {{65, 60}, kBeaconBlocked, "blocked in the grid"},
      {{66, 60}, 8, "behind the blocked cell, reached round it"},
      {{12, 60}, 48, "the window's first column"},
      {{11, 60}, kBeaconBlocked, "outside the window"},
      {{60, 109}, kBeaconBlocked, "outside the window on +z"},
  };
  for (const auto& c : cells) EXPECT_EQ(beacon.At(c.cell), c.value) << c.why;
}

TEST(AIBeacon, WindowAtTheMapBorderCountsOnlyInnerCells) {
  BeaconMap map(40, At(3.5f, 37.5f));  // near the corner (0, 39): most of the window lies off the map
  const TTRVAIBeacon beacon(map.unit, map.finder);
  const struct {
    TTRVCell cell;
    int value;
  } cells[] = {{{3, 37}, 2}, {{1, 38}, 3}, {{0, 37}, kBeaconBlocked}, {{3, 39}, kBeaconBlocked},
               {{-1, 37}, kBeaconBlocked}, {{3, 40}, kBeaconBlocked}, {{38, 1}, 71}};
  for (const auto& c : cells) EXPECT_EQ(beacon.At(c.cell), c.value) << c.cell.x << ", " << c.cell.z;
}

TEST(AIBeacon, ShallowBuildLeavesFartherCellsUnreached) {
  BeaconMap map(120);
  TTRVAIBeacon beacon(map.unit, map.finder);
  beacon.Compute(3);
  EXPECT_EQ(beacon.At({63, 60}), 3);
  EXPECT_EQ(beacon.At({64, 60}), kBeaconBlocked);
}

TEST(AIBeacon, UnitOnABlockedCellCountsFromTheNearestFreeCellAlongTheAxes) {
  const struct {
    const char* name;
    std::vector<TTRVCell> blocked;
    TTRVCell seed;
  } cases[] = {
      {"-z is nearer than -x", {{60, 60}, {59, 60}}, {60, 59}},
      {"-x wins a tie", {{60, 60}}, {59, 60}},
      {"+z is the nearest",
       {{56, 60}, {57, 60}, {58, 60}, {59, 60}, {60, 60}, {60, 57}, {60, 58}, {60, 59}, {61, 60}, {62, 60}, {60, 61}},
       {60, 62}},
  };
  for (const auto& c : cases) {
    BeaconMap map(120);
    for (const TTRVCell& b : c.blocked) map.Block({b});
    const TTRVAIBeacon beacon(map.unit, map.finder);
    EXPECT_EQ(beacon.At(c.seed), 2) << c.name;
    EXPECT_EQ(beacon.At({60, 60}), kBeaconBlocked) << c.name;
  }
}

TEST(AIBeacon, SeedOnTheWindowEdgeOrNowhereLeavesNoStepCounts) {
  {
    BeaconMap map(120);
    map.BlockAllBut({{12, 60}, {12, 61}, {11, 60}});  // 48 cells along -x: the window's edge
    const TTRVAIBeacon beacon(map.unit, map.finder);
    EXPECT_EQ(CountedCells(beacon), 0);
    EXPECT_EQ(beacon.At({12, 60}), 0);  // free, but without a count
    EXPECT_EQ(beacon.At({12, 61}), 0);
    EXPECT_EQ(beacon.At({60, 60}), kBeaconBlocked);
  }
  {
    BeaconMap map(120);
    map.BlockAllBut({{11, 60}, {59, 59}});  // nothing free along the axes within 48 cells
    const TTRVAIBeacon beacon(map.unit, map.finder);
    EXPECT_EQ(CountedCells(beacon), 0);
    EXPECT_EQ(beacon.At({59, 59}), kBeaconBlocked);
  }
}

TEST(AIBeacon, ApproachStopsWithinRangeBeforeObstaclesAndNeverOnTheUnit) {
  const struct {
    const char* name;
    TAffineVector from;
    int range;
    TTRVCell offset;
    TTRVCell expected;
  } cases[] = {
      {"walks until fewer than range steps away", At(50.5f, 60.5f), 3, {0, 0}, {58, 60}},
      {"range 0 ends next to the unit", At(50.5f, 60.5f), 0, {0, 0}, {59, 60}},
      {"the offset moves the start", At(50.5f, 50.5f), 3, {0, 10}, {58, 60}},
      {"already within range of the unit's own cell", At(60.9f, 60.9f), 5, {0, 0}, {0, 0}},
      {"the step beside an obstacle is the last", At(50.5f, 55.5f), 0, {0, 0}, {56, 56}},
      {"leaving the window answers where it left", At(60.5f, 108.5f), 0, {0, 0}, {60, 108}},
      {"a blocked start stays", At(57.5f, 55.5f), 0, {0, 0}, {57, 55}},
  };
  for (const auto& c : cases) {
    BeaconMap map(120);
    map.Block({{57, 55}});
    TTRVAIBeacon beacon(map.unit, map.finder);
    EXPECT_EQ(beacon.Approach(c.from, c.range, c.offset), c.expected) << c.name;
  }
}

TEST(AIBeacon, ApproachNeverAnswersTheUnitsRoundedCell) {
  // The field is centred on floor(x) but the unit counts as standing on floor(x + 0.5): a
  // walk that ends on the seed's neighbour on that side is the unit's own cell.
  BeaconMap map(120, At(60.7f, 60.2f));
  TTRVAIBeacon beacon(map.unit, map.finder);
  EXPECT_EQ(beacon.Approach(At(70.5f, 60.5f), 0, {0, 0}), (TTRVCell{0, 0}));
  EXPECT_EQ(beacon.Approach(At(50.5f, 60.5f), 0, {0, 0}), (TTRVCell{59, 60}));
}

TEST(AIBeacon, StepTowardMovesAlongTheShorterAxis) {
  const struct {
    const char* name;
    TAffineVector from, to;
    std::vector<TTRVCell> blocked;
    TTRVCell expected;
  } cases[] = {
      {"x is the shorter: along x", At(50.5f, 50.5f), At(60.2f, 70.2f), {}, {51, 50}},
      {"x is the shorter, toward -x", At(50.5f, 50.5f), At(45.2f, 70.2f), {}, {49, 50}},
      {"z is the shorter: along z", At(50.5f, 50.5f), At(70.2f, 55.2f), {}, {50, 51}},
      {"z is the shorter, toward -z", At(50.5f, 50.5f), At(70.2f, 45.2f), {}, {50, 49}},
      {"a tie goes along z", At(50.5f, 50.5f), At(55.2f, 55.2f), {}, {50, 51}},
      {"lined up in x: along z", At(50.5f, 50.5f), At(50.2f, 70.2f), {}, {50, 51}},
      {"lined up in z: along x", At(50.5f, 50.5f), At(40.2f, 50.2f), {}, {49, 50}},
      {"on the goal's cell: stays", At(50.5f, 50.5f), At(50.2f, 50.7f), {}, {50, 50}},
      {"blocked: the last free neighbour", At(50.5f, 50.5f), At(60.2f, 70.2f), {{51, 50}}, {50, 51}},
      {"enclosed: stays", At(50.5f, 50.5f), At(60.2f, 70.2f), {{51, 50}, {49, 50}, {50, 49}, {50, 51}}, {50, 50}},
      {"outside the window: stays", At(5.5f, 5.5f), At(60.2f, 70.2f), {}, {5, 5}},
  };
  for (const auto& c : cases) {
    BeaconMap map(120);
    for (const TTRVCell& b : c.blocked) map.Block({b});
    const TTRVAIBeacon beacon(map.unit, map.finder);
    EXPECT_EQ(beacon.StepToward(c.from, c.to), c.expected) << c.name;
  }
}

TEST(AIBeacon, StepDownhillTakesTheLowestCellAStrideAway) {
  const struct {
    const char* name;
    TAffineVector from;
    int stride;
    TTRVCell offset;
    int threshold;
    TTRVCell expected;
  } cases[] = {
      {"three cells toward the unit", At(50.5f, 60.5f), 3, {0, 0}, 0, {53, 60}},
      {"the offset moves the start", At(55.5f, 60.5f), 3, {-5, 0}, 0, {53, 60}},
      {"at the threshold", At(50.5f, 60.5f), 3, {0, 0}, 10, {53, 60}},
      {"below the threshold", At(50.5f, 60.5f), 3, {0, 0}, 11, {0, 0}},
      {"next to the unit nothing is lower", At(59.5f, 60.5f), 1, {0, 0}, 0, {0, 0}},
      {"the stride would leave the window", At(14.5f, 60.5f), 3, {0, 0}, 0, {0, 0}},
      {"no stride", At(50.5f, 60.5f), 0, {0, 0}, 0, {0, 0}},
  };
  for (const auto& c : cases) {
    BeaconMap map(120);
    TTRVAIBeacon beacon(map.unit, map.finder);
    EXPECT_EQ(beacon.StepDownhill(c.from, c.stride, c.offset, c.threshold), c.expected) << c.name;
  }
}

TEST(AIBeacon, RebuildsOnlyWhenTheUnitMovedMoreThanFourAlongTheGround) {
  BeaconMap map(120);
  TTRVAIBeacon beacon(map.unit, map.finder);
  const struct {
    TAffineVector to;
    TTRVCell origin;
  } moves[] = {
      {{63.2f, 0, 60.2f}, {12, 12}},   // 3 along x
      {{60.2f, 30, 60.2f}, {12, 12}},  // a climb changes nothing on the ground
      {{64.3f, 0, 60.2f}, {16, 12}},   // 4.1 along x
  };
  for (const auto& m : moves) {
    map.unit.Position.SetPoint(m.to);
    beacon.Approach(At(30.5f, 60.5f), 3, {0, 0});
    EXPECT_EQ(beacon.origin, m.origin) << m.to.x << ", " << m.to.y;
  }
}

TEST(AIBeacon, NanPositionsGiveNoCountsAndNoWildIndex) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  BeaconMap map(120, At(nan, nan));
  TTRVAIBeacon beacon(map.unit, map.finder);
  EXPECT_EQ(CountedCells(beacon), 0);
  EXPECT_EQ(beacon.StepDownhill(At(nan, 60.5f), 1, {0, 0}, 0), (TTRVCell{0, 0}));
  EXPECT_EQ(beacon.FreeNeighbour(At(60.5f, nan)).x, 60);
  beacon.StepToward(At(nan, nan), At(nan, nan));

  map.unit.Position.SetPoint(At(60.2f, 60.2f));  // back on the map: the next query rebuilds
  EXPECT_EQ(beacon.Approach(At(50.5f, 60.5f), 3, {0, 0}), (TTRVCell{58, 60}));
}

TEST(AIBeacon, UnitBeaconsStaySmallBecauseTheyShareTheirWaveFronts) {
  // Three beacons per unit and hundreds of units on a nine-side map: each holds its window
  // and little else.
  EXPECT_LE(sizeof(TTRVAIBeacon), 10u * 1024u);
}

}  // namespace

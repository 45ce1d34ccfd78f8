// Roads and settlements on hand-made land: what the road grid blocks, how many main roads
// fit the 128-cell blocks, the side-road target that a fractional value never meets, the
// end of the side-road draws on land too rough for roads, and what settlements build on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "generator/roads.h"
#include "tests/generator/gen_fixture.h"

namespace {

using namespace gentest;

TEST(GenRoads, RoadGridBlocksWaterSidesAndSteepSteps) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 1, 1, 127, 127, 50);
  s.classGrid(20, 20) = tcRiver;
  s.elevation(60, 60) = 57;  // a step of 7 to (59, 60), (60, 59) and (59, 59)
  s.elevation(90, 90) = 56;  // a step of 6: still passable
  s.elevation(30, 30) = 201;
  s.elevation(31, 31) = 2;
  TTRVPathFinder f;
  FillRoadGrid(s, f);
  const struct {
    int x, z;
    bool passable;
  } cases[] = {
      {20, 20, false}, {19, 20, false}, {20, 19, false}, {19, 19, false},  // river and its low-side neighbours
      {21, 20, true},  {20, 21, true},                                      // its high side stays open
      {60, 60, false}, {59, 60, false}, {60, 59, false}, {59, 59, false},  // steep step
      {90, 90, true},  {89, 90, true},
      {30, 30, false}, {31, 31, false},                                     // too high, too low
      {0, 0, false},   {70, 40, true},
  };
  for (const auto& c : cases) EXPECT_EQ(f.Passable(c.x, c.z), c.passable) << c.x << "," << c.z;
}

TEST(GenRoads, MainRoadsFillWholeBlocksAndSideRoadsMeetAnExactTarget) {
  const struct {
    int sectorsX, sectorsZ;
    int mainRoads, sideRoads, attempts;
  } cases[] = {
      {10, 10, 4, 10, -1},    // 2 x 2 blocks over cells 0..255; 10 side roads
      {11, 13, 6, -1, 101},   // target 14.3 is never met: every attempt is made
  };
  for (const auto& c : cases) {
    TTRVGenState s = SeaState(c.sectorsX, c.sectorsZ);
    s.params.landPercent = 50;
    Land(s, 0, 0, c.sectorsX * 32, c.sectorsZ * 32, 60);
    platform::RandomGenerator rng(6);
    TTRVGenProgress progress;
    TTRVRoadStats stats;
    ASSERT_EQ(BuildRoads(s, rng, progress, &stats), "");
    EXPECT_EQ(stats.mainRoads, c.mainRoads);
    if (c.sideRoads >= 0) {
      EXPECT_EQ(stats.sideRoads, c.sideRoads);
    }
    if (c.attempts >= 0) {
      EXPECT_EQ(stats.sideRoadAttempts, c.attempts);
    }
    EXPECT_EQ(s.nodes.size(), static_cast<std::size_t>(2 * (stats.mainRoads + stats.sideRoads)));
    // Main roads lie in the blocks, so their nodes do too.
    for (int i = 0; i < 2 * stats.mainRoads; ++i) {
      EXPECT_LT(s.nodes[static_cast<std::size_t>(i)].x, (c.sectorsX * 32 - 1) / 128 * 128);
      EXPECT_LT(s.nodes[static_cast<std::size_t>(i)].z, (c.sectorsZ * 32 - 1) / 128 * 128);
    }
  }
}

TEST(GenRoads, MainRoadsAreTwoCellsWideAndSideRoadsEndWhereTheyMeetARoad) {
  // A main road with straight and diagonal steps covers each cell and its +x, +z and
  // diagonal neighbours, and nothing else.
  TTRVGenState s = SeaState(4, 4);
  Land(s, 0, 0, 128, 128, 50);
  const std::vector<TTRVCell> main = {{10, 10}, {11, 10}, {12, 11}, {12, 12}, {13, 13}};
  PaveMainRoad(s, main);
  for (int x = 0; x < 128; ++x)
    for (int z = 0; z < 128; ++z) {
      const bool under = std::ranges::any_of(main, [&](const TTRVCell& c) { return x - c.x >= 0 && x - c.x <= 1 && z - c.z >= 0 && z - c.z <= 1; });
      EXPECT_EQ(s.classGrid(x, z) == tcRoad, under) << x << "," << z;
    }

  // A side road across a road joins it there; the rest of its way stays open ground.
  for (int z = 0; z < 128; ++z) s.classGrid(40, z) = tcRoad;
  std::vector<TTRVCell> side;
  for (int x = 30; x <= 50; ++x) side.push_back({x, 70});
  PaveSideRoad(s, side);
  for (int x = 30; x <= 50; ++x) EXPECT_EQ(s.classGrid(x, 70), x <= 40 ? tcRoad : tcOpenGround) << x;
  EXPECT_EQ(s.classGrid(35, 71), tcOpenGround) << "side roads are one cell wide";

  // BuildRoads lays its main roads that way along the routes the road grid gives.
  TTRVGenState island = SeaState(5, 5);
  Land(island, 0, 0, 160, 160, 60);
  TTRVPathFinder finder;
  FillRoadGrid(island, finder);
  platform::RandomGenerator rng(3);
  TTRVGenProgress progress;
  TTRVRoadStats stats;
  ASSERT_EQ(BuildRoads(island, rng, progress, &stats), "");
  ASSERT_EQ(stats.mainRoads, 1);
  finder.start = island.nodes[0];
  finder.goal = island.nodes[1];
  ASSERT_TRUE(finder.FindPath());
  for (const TTRVCell& c : finder.path)
    for (const TTRVCell& o : {TTRVCell{0, 0}, {1, 0}, {0, 1}, {1, 1}})
      EXPECT_EQ(island.classGrid(c.x + o.x, c.z + o.z), tcRoad) << c.x + o.x << "," << c.z + o.z;
}

TEST(GenRoads, SettlementGroundIsLevelledToItsStreetWithinTwoUnits) {
  // A street at height 50 along z = 40, forest rows beside it so that no new street grows,
  // and open ground beyond at heights 1 and 2 off the street (built on, and levelled) and 3
  // off (never).
  TTRVGenState s = SeaState(4, 4);
  Land(s, 4, 4, 124, 124, 50);
  for (int x = 4; x < 124; ++x) {
    s.classGrid(x, 40) = tcRoad;
    s.classGrid(x, 39) = s.classGrid(x, 41) = tcForest;
    s.elevation(x, 41) = 52;
    s.elevation(x, 39) = 53;
    s.elevation(x, 42) = 51;
    s.elevation(x, 43) = 48;
    s.elevation(x, 38) = 47;
    s.elevation(x, 37) = 53;
  }
  const TTRVGrid<std::uint8_t> before = s.elevation;
  platform::RandomGenerator rng(21);
  GrowSettlement(s, {64, 40}, rng);
  int built = 0;
  for (int x = 0; x < 128; ++x)
    for (int z = 0; z < 128; ++z) {
      const bool near = std::abs(before(x, z) - 50) < 3;
      if (!near) {
        EXPECT_EQ(s.elevation(x, z), before(x, z)) << "3 or more off the street, at " << x << "," << z;
        EXPECT_NE(s.classGrid(x, z), tcSettlement) << x << "," << z;
      }
      if (s.classGrid(x, z) == tcSettlement) {
        ++built;
        EXPECT_EQ(s.elevation(x, z), 50) << "built-up ground is level with its street, at " << x << "," << z;
      }
      if (z == 40 && x >= 4 && x < 124) {
        EXPECT_EQ(s.classGrid(x, z), tcRoad);
      }
    }
  EXPECT_GT(built, 10);
  // Levelling goes by height, not by class: forest beside the street sinks to it too.
  int levelledForest = 0;
  for (int x = 0; x < 128; ++x) levelledForest += s.classGrid(x, 41) == tcForest && s.elevation(x, 41) == 50;
  EXPECT_GT(levelledForest, 0);
  for (int z : {42, 43}) {
    int levelled = 0;
    for (int x = 0; x < 128; ++x) levelled += s.classGrid(x, z) == tcSettlement;
    EXPECT_GT(levelled, 0) << "row " << z;
  }
}

TEST(GenRoads, AnIslandWithNoGroundForRoadsEndsTheSideRoadsWithAnError) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 0, 0, 128, 128, 230);  // all mountain, above every road
  platform::RandomGenerator rng(1);
  TTRVGenProgress progress;
  TTRVRoadStats stats;
  EXPECT_NE(BuildRoads(s, rng, progress, &stats), "");
  EXPECT_EQ(stats.mainRoads, 0);
}

TEST(GenRoads, SettlementsGrowOnGroundNearTheNodeOnly) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 10, 10, 118, 118, 50);
  Land(s, 50, 10, 118, 118, 65);  // 15 above the node: never built on
  for (int x = 20; x < 110; ++x) s.classGrid(x, 40) = tcRoad;
  platform::RandomGenerator rng(12);
  GrowSettlement(s, {40, 40}, rng);
  int settled = 0;
  for (int x = 0; x < 128; ++x)
    for (int z = 0; z < 128; ++z) {
      if (s.classGrid(x, z) != tcSettlement) continue;
      ++settled;
      EXPECT_LT(x, 50) << "settlement on the cliff at " << x << "," << z;
      EXPECT_LE(std::abs(x - 40), 14 + 4);
      EXPECT_LE(std::abs(z - 40), 14 + 4);
    }
  EXPECT_GT(settled, 20);
}

TEST(GenRoads, BuildingsStandOnSettlementsAndNodesStayOpen) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 10, 10, 118, 118, 50);
  for (int x = 20; x < 110; ++x) s.classGrid(x, 40) = tcRoad;
  s.nodes = {{40, 40}};
  s.zoneGrid(60, 60) = 1;  // a zone whose theme has no buildings
  platform::RandomGenerator rng(12);
  TTRVGenProgress progress;
  BuildCities(s, rng, progress);
  for (const TTRVCell& n : s.nodes) EXPECT_EQ(s.classGrid(n.x, n.z), tcOpenGround);
  EXPECT_GT(s.nodes.size(), 1u) << "sectors crossed by road got centres of their own";
  ASSERT_FALSE(s.placements.empty());
  for (const TTRVGenPlacement& p : s.placements) {
    EXPECT_EQ(s.classGrid(p.x, p.z), tcSettlement);
    EXPECT_EQ(p.purpose, ppBuilding);
    // The zone's own buildings, or those of the last theme that has any.
    EXPECT_EQ(p.theme, s.zoneGrid(p.x, p.z) == 1 ? 2 : 0);
    EXPECT_EQ(s.themes[p.theme].objectKinds[p.object], 1);
    EXPECT_EQ(p.rotation % 2, 0);
    EXPECT_EQ(p.list, 2);
  }
}

}  // namespace

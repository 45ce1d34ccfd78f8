// The path finder's route search and the whole-map waves: the routes they give, the searches
// they refuse, the wave numbers they leave, the 256-wave cap of the pursuit field and the
// uncapped flood that drops enclosed water.
#include <gtest/gtest.h>

#include <cstdlib>

#include "world/floatingwave.h"
#include "world/pathfinder.h"

namespace {

TTRVPathFinder Open(int sx, int sz) {
  TTRVPathFinder f;
  f.Reset(sx, sz, true);
  return f;
}

TEST(PathFinder, StraightRunTakesTheAxisNotTheDiagonal) {
  TTRVPathFinder f = Open(16, 16);
  f.start = {5, 5};
  f.goal = {10, 5};
  ASSERT_TRUE(f.FindPath());
  EXPECT_EQ(f.path, (std::vector<TTRVCell>{{6, 5}, {7, 5}, {8, 5}, {9, 5}}));
}

TEST(PathFinder, SearchesThatCannotSucceedAnswerFalse) {
  const struct {
    const char* name;
    TTRVCell start, goal;
    std::vector<TTRVCell> blocked;
    int size = 16;
  } cases[] = {
      {"start equals goal", {5, 5}, {5, 5}, {}},
      {"start on a blocked cell", {5, 5}, {10, 5}, {{5, 5}}},
      {"goal on the first column", {5, 5}, {0, 5}, {}},
      {"goal on the last row", {5, 5}, {5, 15}, {}},
      {"start on the border", {15, 5}, {5, 5}, {}},
      {"start outside the grid", {-3, 5}, {5, 5}, {}},
      {"goal outside the grid", {5, 5}, {40, 5}, {}},
      {"empty grid", {5, 5}, {10, 5}, {}, 0},
      {"start walled off", {5, 5}, {12, 5}, {{8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 6}, {8, 7},
                                             {8, 8}, {8, 9}, {8, 10}, {8, 11}, {8, 12}, {8, 13}, {8, 14}}},
  };
  for (const auto& c : cases) {
    TTRVPathFinder f = Open(c.size, c.size);
    for (const TTRVCell& b : c.blocked) f.SetPassable(b.x, b.z, false);
    f.start = c.start;
    f.goal = c.goal;
    EXPECT_FALSE(f.FindPath()) << c.name;
    EXPECT_TRUE(f.path.empty()) << c.name;
  }
}

TEST(PathFinder, WaveNumbersAreFourConnectedDistancesFromTheGoal) {
  TTRVPathFinder f = Open(14, 14);
  f.start = {11, 11};
  f.goal = {5, 5};
  ASSERT_TRUE(f.FindPath());
  const int reach = 12;  // the start's distance: every cell up to it has been marked
  for (int x = 1; x <= 12; ++x)
    for (int z = 1; z <= 12; ++z) {
      const int d = std::abs(x - 5) + std::abs(z - 5);
      if (d > reach) continue;
      EXPECT_EQ(f.Distance()(x, z), d == 0 ? 2 : d) << x << "," << z;
    }
  EXPECT_EQ(f.Distance()(0, 5), kPathBlocked);
  EXPECT_EQ(f.Distance()(13, 5), kPathBlocked);
}

TEST(PathFinder, RouteGoesAroundAWallThroughFreeNeighbouringCells) {
  TTRVPathFinder f = Open(20, 20);
  for (int z = 1; z <= 15; ++z) f.SetPassable(10, z, false);
  f.start = {5, 5};
  f.goal = {15, 5};
  ASSERT_TRUE(f.FindPath());
  TTRVCell previous = f.start;
  bool passedTheEnd = false;
  for (const TTRVCell& c : f.path) {
    EXPECT_LE(std::abs(c.x - previous.x), 1);
    EXPECT_LE(std::abs(c.z - previous.z), 1);
    EXPECT_TRUE(f.Passable(c.x, c.z)) << c.x << "," << c.z;
    passedTheEnd = passedTheEnd || c.z >= 16;
    previous = c;
  }
  EXPECT_TRUE(passedTheEnd);
  EXPECT_LE(std::abs(previous.x - f.goal.x), 1);
  EXPECT_LE(std::abs(previous.z - f.goal.z), 1);
}

TEST(PathFinder, StartBesideTheGoalGivesTheStartAlone) {
  TTRVPathFinder f = Open(16, 16);
  f.start = {5, 5};
  f.goal = {6, 5};
  ASSERT_TRUE(f.FindPath());
  EXPECT_EQ(f.path, (std::vector<TTRVCell>{{5, 5}}));
}

TEST(PathFinder, OneFinderServesSearchesOnGridsOfAnySize) {
  TTRVPathFinder f;
  for (int size : {40, 12, 64, 12}) {
    f.Reset(size, size, true);
    f.start = {2, 2};
    f.goal = {size - 3, 2};
    ASSERT_TRUE(f.FindPath()) << size;
    EXPECT_EQ(f.path.size(), static_cast<std::size_t>(size - 6)) << size;
    EXPECT_EQ(f.Distance().SizeX(), size);
  }
}

// A corridor one cell wide along x (row z = 1 of a 3-row grid).
TTRVGrid<std::uint8_t> Corridor(int length) { return TTRVGrid<std::uint8_t>(length, 3, 1); }

TEST(WorldWave, PursuitFieldStopsAfter256WavesAndTheFloodDoesNot) {
  TTRVPathFinder finder;
  finder.grid = Corridor(300);
  TTRVAIWorldBeaconFloating region(finder);
  region.Compute({1, 1});
  const struct {
    int x;
    std::uint16_t value;
  } cells[] = {{1, 2}, {2, 1}, {3, 2}, {257, 256}, {258, kWaveUnreached}, {298, kWaveUnreached}, {299, kWaveBlocked}};
  for (const auto& c : cells) EXPECT_EQ(region.Distance()(c.x, 1), c.value) << c.x;

  TTRVWorldWave flood;
  flood.Compute(finder.grid, {1, 1}, 0);
  EXPECT_EQ(flood.distance(298, 1), 297);
}

TEST(WorldWave, BlockedGoalStartsFromTheNearestFreeCellAlongTheAxes) {
  const struct {
    const char* name;
    TTRVCell goal;
    std::vector<TTRVCell> blocked;
    TTRVCell seed;
  } cases[] = {
      {"-z is nearer than -x", {10, 10}, {{10, 10}, {9, 10}}, {10, 9}},
      {"-x wins a tie with +x", {10, 10}, {{10, 10}, {10, 9}}, {9, 10}},
      {"free goal is its own seed", {10, 10}, {}, {10, 10}},
      {"goal off the map is clamped inside", {-5, 50}, {}, {1, 18}},
  };
  for (const auto& c : cases) {
    TTRVGrid<std::uint8_t> grid(20, 20, 1);
    for (const TTRVCell& b : c.blocked) grid.Set(b.x, b.z, 0);
    TTRVWorldWave wave;
    wave.Compute(grid, c.goal, 256);
    EXPECT_EQ(wave.Seed(), c.seed) << c.name;
    EXPECT_EQ(wave.distance(c.seed.x, c.seed.z), 2) << c.name;
  }
}

TEST(WorldWave, FloodKeepsOnlyWaterConnectedToTheSeed) {
  TTRVPathFinder finder;
  finder.Reset(20, 20, true);
  for (int i = 10; i <= 16; ++i)
    for (const TTRVCell& c : {TTRVCell{i, 10}, {i, 16}, {10, i}, {16, i}}) finder.SetPassable(c.x, c.z, false);
  const TTRVGrid<std::uint8_t> before = finder.grid;

  finder.SetPassable(3, 3, false);
  EXPECT_FALSE(KeepConnectedTo(finder, {3, 3}));
  finder.SetPassable(3, 3, true);
  EXPECT_EQ(finder.grid.Cells(), before.Cells());

  ASSERT_TRUE(KeepConnectedTo(finder, {3, 3}));
  EXPECT_TRUE(finder.Passable(3, 3));
  EXPECT_TRUE(finder.Passable(18, 18));
  EXPECT_FALSE(finder.Passable(13, 13));  // inside the ring
  EXPECT_FALSE(finder.Passable(0, 0));    // the border is never reached
}

}  // namespace

// Terraces and rivers on small hand-made grids: the terrace search's end on an island with
// no land, ramps, where a river may spring, walks that get stuck, the disc shapes of the
// carving, 64-bit accumulation, the untouched outer ring and the open sea.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "generator/terrain.h"
#include "tests/generator/gen_fixture.h"

namespace {

using namespace gentest;

TEST(GenTerrain, TerracesOnAnIslandWithoutLandAreAnErrorNotAHang) {
  TTRVGenState s = SeaState(6, 6);
  // Land only in the 64-cell margin, where no terrace may be centred.
  Land(s, 2, 2, 60, 60, 80);
  platform::RandomGenerator rng(1);
  TTRVGenProgress progress;
  EXPECT_NE(RaiseTerraces(s, rng, progress), "");
}

TEST(GenTerrain, TerracesRaiseLowLandMoreThanHighLandAndSinkTheShallows) {
  TTRVGenState s = SeaState(6, 6);
  s.params.landPercent = 50;
  Land(s, 40, 40, 150, 150, 60);
  Land(s, 60, 60, 80, 80, 250);
  Land(s, 150, 40, 160, 150, 3);  // shallow: below every sea threshold
  platform::RandomGenerator rng(4);
  TTRVGenProgress progress;
  ASSERT_EQ(RaiseTerraces(s, rng, progress), "");
  int raised = 0;
  for (int x = 40; x < 150; ++x)
    for (int z = 40; z < 150; ++z) {
      const bool high = x >= 60 && x < 80 && z >= 60 && z < 80;
      EXPECT_GE(s.elevation(x, z), high ? 250 : 60);
      EXPECT_LE(s.elevation(x, z), high ? 255 : 60 + 29);
      raised += !high && s.elevation(x, z) > 60;
    }
  EXPECT_GT(raised, 0);
  for (int z = 40; z < 150; ++z) EXPECT_EQ(s.elevation(155, z), 0);
}

TEST(GenTerrain, ATerraceRaisesLowGroundMoreThanHighGround) {
  // terrace - ground div (terrace + 1), never below 0.
  const struct {
    int terrace, ground, raise;
  } cases[] = {
      {0, 0, 0},     {0, 120, 0},                  // outside every patch
      {10, 0, 10},   {10, 10, 10},  {10, 11, 9},   // 11 div 11 = 1
      {10, 60, 5},   {10, 109, 1},  {10, 110, 0},  // 110 div 11 = 10: nothing left
      {10, 250, 0},                                // would be negative
      {29, 0, 29},   {29, 60, 27},  {29, 250, 21},
      {2, 5, 1},     {2, 6, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TerraceRaise(c.terrace, c.ground), c.raise) << c.terrace << " on " << c.ground;
  for (int t = 10; t <= 29; ++t) {
    EXPECT_GT(TerraceRaise(t, 20), TerraceRaise(t, 200)) << t;
    for (int e = 1; e <= 255; ++e) EXPECT_LE(TerraceRaise(t, e), TerraceRaise(t, e - 1)) << t << " on " << e;
  }
}

TEST(GenTerrain, RampsFallOffByTwoPerCellAndKeepTheTop) {
  TTRVGrid<std::uint8_t> t(60, 60, 0);
  for (int x = 15; x < 45; ++x)
    for (int z = 15; z < 45; ++z) t(x, z) = 21;
  RampTerraces(t);
  EXPECT_EQ(t(30, 30), 21);
  EXPECT_LE(t(15, 30), 2);
  for (int x = 1; x < 57; ++x)
    for (int z = 1; z < 57; ++z) {
      EXPECT_LE(std::abs(t(x, z) - t(x + 1, z)), 2) << x << "," << z;
      EXPECT_LE(std::abs(t(x, z) - t(x, z + 1)), 2) << x << "," << z;
    }
}

// A slope falling along +x from `top` at x = 0 by one unit per cell, flat along z.
TTRVGrid<std::uint8_t> Slope(int sizeX, int sizeZ, int top) {
  TTRVGrid<std::uint8_t> e(sizeX, sizeZ, 0);
  for (int x = 0; x < sizeX; ++x)
    for (int z = 0; z < sizeZ; ++z) e(x, z) = static_cast<std::uint8_t>(std::max(0, top - x));
  return e;
}

TEST(GenTerrain, ARiverSpringsOnlyAt65OrAbove) {
  const struct {
    int springHeight;
    bool river;
  } cases[] = {{64, false}, {65, true}, {200, true}};
  for (const auto& c : cases) {
    const TTRVGrid<std::uint8_t> e = Slope(260, 9, 250);
    const TTRVCell spring{250 - c.springHeight, 4};
    TTRVGrid<std::uint32_t> stamp(260, 9, 0);
    platform::RandomGenerator rng(2);
    const std::vector<TTRVCell> path = WalkRiver(e, spring, stamp, 1, rng);
    EXPECT_EQ(!path.empty(), c.river) << c.springHeight;
    if (path.empty()) continue;
    EXPECT_EQ(path.front(), spring);
    EXPECT_LT(e(path.back().x, path.back().z), 2);
    for (std::size_t i = 1; i < path.size(); ++i) {
      EXPECT_LE(e(path[i].x, path[i].z), e(path[i - 1].x, path[i - 1].z)) << "rivers never climb";
      EXPECT_EQ(std::abs(path[i].x - path[i - 1].x) + std::abs(path[i].z - path[i - 1].z), 1);
    }
  }
}

TEST(GenTerrain, AWalkStuckInAPitIsGivenUp) {
  TTRVGrid<std::uint8_t> e(20, 20, 200);
  e(10, 10) = 100;  // every way out climbs
  TTRVGrid<std::uint32_t> stamp(20, 20, 0);
  platform::RandomGenerator rng(3);
  EXPECT_TRUE(WalkRiver(e, {10, 10}, stamp, 1, rng).empty());

  // A flat plateau walks until it has walked itself in: no way to the sea either.
  TTRVGrid<std::uint8_t> flat(12, 12, 100);
  EXPECT_TRUE(WalkRiver(flat, {5, 5}, stamp, 2, rng).empty());
}

TEST(GenTerrain, CarvingDiscsCoverCellsStrictlyInsideTheirRadius) {
  // Offsets (j, k) with j*j + k*k < q*q.
  const struct {
    int radius, cells;
  } cases[] = {{0, 0}, {1, 1}, {2, 9}, {3, 25}, {4, 45}, {5, 69}};
  for (const auto& c : cases) {
    TTRVRiverCarve carve(40, 40);
    carve.AddDisc(20, 20, c.radius, 1);
    int covered = 0;
    for (int x = 0; x < 40; ++x)
      for (int z = 0; z < 40; ++z) {
        const std::int64_t v = carve.At(x, z);
        EXPECT_TRUE(v == 0 || v == 1);
        covered += v == 1 && (x - 20) * (x - 20) + (z - 20) * (z - 20) < c.radius * c.radius;
        if (v == 1) {
          EXPECT_LT((x - 20) * (x - 20) + (z - 20) * (z - 20), c.radius * c.radius);
        }
      }
    EXPECT_EQ(covered, c.cells) << "radius " << c.radius;
  }
}

TEST(GenTerrain, ASixCellRiverIsMarkedButCarvesNothing) {
  TTRVGrid<std::uint8_t> e(20, 20, 90), classes(20, 20, 0);
  std::vector<TTRVCell> path;
  for (int i = 0; i < 6; ++i) path.push_back({5 + i, 10});
  TTRVRiverCarve carve(20, 20);
  carve.AddRiver(path, classes);
  carve.Apply(e, classes);
  for (const TTRVCell& c : path) EXPECT_EQ(classes(c.x, c.z), tcRiver);
  EXPECT_TRUE(std::ranges::all_of(e.Cells(), [](std::uint8_t v) { return v == 90; }));
}

TEST(GenTerrain, AShortStraightRiverCarvesTheAmountsCountedByHand) {
  // 14 cells along z = 10 from x = 2; cell i has rem = 13 - i cells to go and lays discs of
  // radius i/8, i/4 and i/2 adding rem/3, rem/5 and rem/8, each rem + 1 times. Radius 1 is
  // the cell alone, radius 2 its 3 x 3 square. The discs that add anything:
  //   i = 2 (x 4):  r1 +12          i = 3 (x 5):  r1 +11
  //   i = 4 (x 6):  r1 +10, r2 +10  i = 5 (x 7):  r1 +9, r2 +9
  //   i = 6 (x 8):  r1 +8           i = 7 (x 9):  r1 +7
  //   i = 8 (x 10): r1 +6, r2 +6    i = 9 (x 11): r1 +5     i = 10 (x 12): r1 +4
  std::vector<TTRVCell> path;
  for (int i = 0; i < 14; ++i) path.push_back({2 + i, 10});
  TTRVGrid<std::uint8_t> classes(24, 24, 0);
  TTRVRiverCarve carve(24, 24);
  carve.AddRiver(path, classes);
  const struct {
    int x, z;
    std::int64_t sum;
  } cases[] = {
      {2, 10, 0},   {3, 10, 0},   {4, 10, 12},  {5, 10, 21},  {6, 10, 29},  {7, 10, 28},
      {8, 10, 17},  {9, 10, 13},  {10, 10, 12}, {11, 10, 11}, {12, 10, 4},  {13, 10, 0},
      {4, 9, 0},    {5, 9, 10},   {6, 9, 19},   {7, 9, 19},   {8, 9, 9},    {9, 9, 6},
      {10, 11, 6},  {11, 11, 6},  {12, 11, 0},  {6, 8, 0},    {7, 12, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(carve.At(c.x, c.z), c.sum) << c.x << "," << c.z;
  for (const TTRVCell& c : path) EXPECT_EQ(classes(c.x, c.z), tcRiver);

  // The ground sinks by the carving div 128.
  TTRVRiverCarve deep(24, 24);
  deep.AddDisc(12, 12, 1, 3 * 128 + 127);
  TTRVGrid<std::uint8_t> e(24, 24, 90);
  deep.Apply(e, classes);
  EXPECT_EQ(e(12, 12), 87);
  EXPECT_EQ(e(12, 13), 90);
}

TEST(GenTerrain, LongRiversCarveDeepWithoutOverflowAndSpareTheOuterRing) {
  // A 4000-cell river: cells along its middle collect more carving than 32 bits hold.
  const int n = 4000;
  TTRVGrid<std::uint8_t> e(n + 4, 24, 255), classes(n + 4, 24, 0);
  std::vector<TTRVCell> path;
  for (int i = 0; i < n; ++i) path.push_back({2 + i, 12});
  TTRVRiverCarve carve(n + 4, 24);
  carve.AddRiver(path, classes);
  EXPECT_GT(carve.At(1000, 12), std::int64_t{1} << 31);
  carve.Apply(e, classes);
  for (int x = 100; x <= n - 100; ++x)
    for (int z = 1; z <= 22; ++z) ASSERT_EQ(e(x, z), 0) << x << "," << z;
  for (int x = 0; x < n + 4; ++x) {
    EXPECT_EQ(e(x, 0), 255);
    EXPECT_EQ(e(x, 23), 255);
    EXPECT_NE(classes(x, 0), tcSea);
  }
  for (int z = 0; z < 24; ++z) {
    EXPECT_EQ(e(0, z), 255);
    EXPECT_EQ(e(n + 3, z), 255);
  }
}

TEST(GenTerrain, InnerCellsWithSeaAllAroundBecomeOpenSea) {
  TTRVGrid<std::uint8_t> e(12, 12, 0), classes(12, 12, 0);
  e(6, 6) = 5;
  TTRVRiverCarve carve(12, 12);
  carve.Apply(e, classes);
  EXPECT_EQ(classes(2, 2), tcSea);
  EXPECT_EQ(classes(6, 6), 0);
  EXPECT_EQ(classes(5, 5), 0);  // beside land
  EXPECT_EQ(classes(0, 0), 0);  // the outer ring is not classed here
}

TEST(GenTerrain, RiversRunDownAConeAndOnlyDeepenIt) {
  TTRVGenState s = SeaState(6, 6);
  for (int x = 0; x < 192; ++x)
    for (int z = 0; z < 192; ++z) {
      const int d = std::abs(x - 96) + std::abs(z - 96);
      s.elevation(x, z) = static_cast<std::uint8_t>(std::max(0, 220 - 3 * d));
      s.classGrid(x, z) = s.elevation(x, z) ? tcOpenGround : tcSea;
    }
  const TTRVGrid<std::uint8_t> before = s.elevation;
  platform::RandomGenerator rng(8);
  TTRVGenProgress progress;
  CarveRivers(s, rng, progress);
  const TTRVGrid<std::uint8_t>& cls = s.classGrid;
  int river = 0, carved = 0;
  for (int x = 0; x < 192; ++x)
    for (int z = 0; z < 192; ++z) {
      carved += s.elevation(x, z) < before(x, z);
      EXPECT_LE(s.elevation(x, z), before(x, z));
      if (cls(x, z) != tcRiver) continue;
      ++river;
      // A river is a walk that ends in the sea, and water always has somewhere lower to go:
      // every river cell touches river or sea, and above the waterline it touches sea or a
      // river cell that stood lower (on the cone a walk that never climbs always steps down).
      bool touches = false, flows = false;
      for (const TTRVCell& n : {TTRVCell{x - 1, z}, {x + 1, z}, {x, z - 1}, {x, z + 1}}) {
        const int c = cls.At(n.x, n.z, 0);
        touches = touches || c == tcRiver || c == tcSea;
        flows = flows || c == tcSea || (c == tcRiver && before(n.x, n.z) < before(x, z));
      }
      EXPECT_TRUE(touches) << "a lone river cell at " << x << "," << z;
      if (before(x, z) >= 2) {
        EXPECT_TRUE(flows) << "water stands at " << x << "," << z;
      }
    }
  EXPECT_GE(river, 6);
  EXPECT_GT(carved, 0);
}

}  // namespace

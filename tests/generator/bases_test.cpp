// Land and naval bases on hand-made islands: the 32-cell spacing, reachability over the
// ground, stand-in nodes on an island without roads, the end on an island without land,
// naval bases on open sea joined to the corner, and the compounds' fences and walls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "world/floatingwave.h"
#include "generator/bases.h"
#include "scene/vectorgeometry.h"
#include "generator/worldout.h"
#include "tests/generator/gen_fixture.h"
#include "world/worldload.h"

namespace {

using namespace gentest;

TTRVPathFinder OpenGround(int size) {
  TTRVPathFinder f;
  f.Reset(size, size, true);
  return f;
}

TEST(GenBases, BasesStandAtLeast32CellsApart) {
  const struct {
    int apart;
    std::size_t bases;
  } cases[] = {{31, 1}, {32, 2}, {40, 2}};
  for (const auto& c : cases) {
    const TTRVPathFinder ground = OpenGround(200);
    // Node 0 is only ever the first base, so the pair is listed after it.
    const std::vector<TTRVCell> nodes = {{50, 50}, {50, 50}, {50 + c.apart, 50}};
    platform::RandomGenerator rng(4);
    TTRVGenProgress progress;
    const std::vector<TTRVCell> bases = ChooseBases(ground, nodes, 8, rng, progress);
    EXPECT_EQ(bases.size(), c.bases) << c.apart << " cells apart";
  }
}

TEST(GenBases, OnlyNodesTheGroundReachesBecomeBases) {
  TTRVPathFinder ground = OpenGround(200);
  for (int z = 0; z < 200; ++z) ground.SetPassable(100, z, false);  // a channel splits the land
  const std::vector<TTRVCell> nodes = {{20, 20}, {20, 20}, {60, 20}, {150, 20}, {150, 150}, {60, 150}};
  platform::RandomGenerator rng(9);
  TTRVGenProgress progress;
  const std::vector<TTRVCell> bases = ChooseBases(ground, nodes, 8, rng, progress);
  ASSERT_EQ(bases.size(), 3u);
  const bool west = bases[0].x < 100;
  for (const TTRVCell& b : bases) EXPECT_EQ(b.x < 100, west);
}

TEST(GenBases, AnIslandWithoutRoadsGetsStandInNodesAndOneWithoutLandAnError) {
  TTRVGenState s = SeaState(6, 6);
  Land(s, 40, 40, 150, 150, 40);
  s.params.baseCount = 2;
  platform::RandomGenerator rng(5);
  TTRVGenProgress progress;
  TTRVBaseLayout layout;
  ASSERT_EQ(PlaceBases(s, layout, rng, progress), "");
  EXPECT_EQ(s.nodes.size(), 11u);
  ASSERT_GE(layout.bases.size(), 1u);
  for (const TTRVCell& b : layout.bases) EXPECT_NE(std::ranges::find(s.nodes, b), s.nodes.end());

  TTRVGenState sea = SeaState(6, 6);
  EXPECT_NE(PlaceBases(sea, layout, rng, progress), "");
}

TEST(GenBases, NavalBasesLieOnOpenSeaJoinedToTheCornerAndApart) {
  TTRVGenState s = SeaState(10, 10);
  Land(s, 60, 60, 260, 260, 40);
  // A lake inside the island: open water that no boat can reach.
  Land(s, 120, 120, 200, 200, 0);
  for (int x = 120; x < 200; ++x)
    for (int z = 120; z < 200; ++z) s.classGrid(x, z) = tcSea;
  TTRVBaseLayout layout;
  platform::RandomGenerator rng(3);
  TTRVGenProgress progress;
  PlaceNavalBases(s.classGrid, layout, rng, progress);
  EXPECT_EQ(layout.navalBasesPlaced, kNavalBaseCount);

  TTRVPathFinder water;
  water.Reset(320, 320, false);
  OpenSea(s.classGrid, water);
  ASSERT_TRUE(KeepConnectedTo(water, kOpenSeaCell));
  for (std::size_t k = 0; k < layout.navalBases.size(); ++k) {
    const TTRVCell& n = layout.navalBases[k];
    EXPECT_TRUE(water.Passable(n.x, n.z)) << k;
    EXPECT_FALSE(n.x >= 113 && n.x < 207 && n.z >= 118 && n.z < 202) << "naval base in the lake";
    for (int dx = -7; dx <= 7; ++dx)
      for (int dz = -2; dz <= 2; ++dz) EXPECT_EQ(s.classGrid(n.x + dx, n.z + dz), tcSea);
    for (std::size_t j = 0; j < k; ++j) {
      const TTRVCell& m = layout.navalBases[j];
      EXPECT_GE((n.x - m.x) * (n.x - m.x) + (n.z - m.z) * (n.z - m.z), 60 * 60);
    }
  }
}

TEST(GenBases, NavalBasesNeedOpenSeaAtTheCornerAndTakeTheFirstSlots) {
  // Land everywhere but a square of sea at the corner, with land again on its first cells.
  const struct {
    int sea, cornerLand;
    int placed;
  } cases[] = {
      {320, 12, 0},  // land on cell (3, 3): the game gives boats no sea, so no naval base at all
      {12, 0, 0},    // open sea at the corner, but too narrow for a pier
      {40, 0, 1},    // room for one pier; a second would be closer than 60 cells
      {320, 0, 8},
  };
  for (const auto& c : cases) {
    TTRVGenState s = SeaState(10, 10);
    Land(s, c.sea, 0, 320, 320, 30);
    Land(s, 0, c.sea, c.sea, 320, 30);
    Land(s, 0, 0, c.cornerLand, c.cornerLand, 30);
    TTRVBaseLayout layout;
    platform::RandomGenerator rng(6);
    TTRVGenProgress progress;
    PlaceNavalBases(s.classGrid, layout, rng, progress);
    EXPECT_EQ(layout.navalBasesPlaced, c.placed) << c.sea << " / " << c.cornerLand;
    for (int k = 0; k < layout.navalBasesPlaced; ++k) {
      const TTRVCell& n = layout.navalBases[static_cast<std::size_t>(k)];
      for (int dx = -7; dx <= 7; ++dx)
        for (int dz = -2; dz <= 2; ++dz) EXPECT_EQ(s.classGrid.At(n.x + dx, n.z + dz), tcSea) << c.sea;
    }
  }
}

// A settlement around a node with roads through it, as the earlier stages leave it.
TTRVGenState Town() {
  TTRVGenState s = SeaState(6, 6);
  Land(s, 40, 40, 150, 150, 40);
  for (int x = 80; x < 110; ++x)
    for (int z = 80; z < 110; ++z) s.classGrid(x, z) = tcSettlement;
  for (int x = 50; x < 140; ++x) s.classGrid(x, 95) = tcRoad;
  s.nodes.assign(13, {95, 95});
  s.params.baseCount = 1;
  return s;
}

TEST(GenBases, CompoundsAreFencedWithWallsBetweenPosts) {
  TTRVGenState s = Town();
  TTRVBaseLayout layout;
  platform::RandomGenerator rng(7);
  TTRVGenProgress progress;
  ASSERT_EQ(PlaceBases(s, layout, rng, progress), "");
  ASSERT_EQ(layout.bases.size(), 1u);
  EXPECT_EQ(layout.bases[0], (TTRVCell{95, 95}));
  const std::set<std::uint32_t> removed(layout.removed.begin(), layout.removed.end());
  int posts = 0;
  for (std::uint32_t i = 0; i < s.placements.size(); ++i) {
    const TTRVGenPlacement& p = s.placements[i];
    if (p.purpose == ppFencePost && !removed.count(i)) {
      ++posts;
      // Every post that stays has a wall segment on its cell.
      const bool wall = std::ranges::any_of(s.placements, [&](const TTRVGenPlacement& q) {
        return q.purpose == ppWall && q.x == p.x && q.z == p.z;
      });
      EXPECT_TRUE(wall) << p.x << "," << p.z;
      EXPECT_NE((TTRVCell{p.x, p.z}), layout.bases[0]) << "no post on the base itself";
    }
    if (p.purpose == ppWall) {
      EXPECT_EQ(p.object, 1);
    }
  }
  EXPECT_GT(posts, 20);
  // The compound's settlement joined the military theme; its defence points lie on the fence line.
  EXPECT_EQ(s.zoneGrid(90, 90), s.militaryTheme);
  ASSERT_EQ(layout.defencePoints.size(), 1u);
  for (const TTRVCell& d : layout.defencePoints[0])
    EXPECT_TRUE(std::ranges::any_of(s.placements, [&](const TTRVGenPlacement& q) {
      return q.purpose == ppFencePost && q.x == d.x && q.z == d.z;
    }));
}

TEST(GenBases, CompoundsSealedByTheirFencesGetGates) {
  // Two towns joined by a road that runs diagonally through both fence lines: 4-connected
  // ground could never pass it without a gate.
  TTRVGenState s = SeaState(8, 8);
  Land(s, 40, 40, 216, 216, 40);
  for (const int t : {60, 150})
    for (int x = t; x < t + 30; ++x)
      for (int z = t; z < t + 30; ++z) s.classGrid(x, z) = tcSettlement;
  for (int i = 70; i <= 170; ++i) s.classGrid(i, i) = tcRoad;
  s.nodes = {{75, 75}, {75, 75}, {165, 165}};
  s.nodes.resize(13, {75, 75});
  s.params.baseCount = 2;
  TTRVBaseLayout layout;
  platform::RandomGenerator rng(2);
  TTRVGenProgress progress;
  ASSERT_EQ(PlaceBases(s, layout, rng, progress), "");
  ASSERT_EQ(layout.bases.size(), 2u);
  std::vector<std::uint8_t> gone(s.placements.size(), 0);
  for (std::uint32_t i : layout.removed) gone[i] = 1;
  TTRVPathFinder ground;
  FillGroundGrid(s, gone, ground);
  TTRVWorldWave wave;
  wave.Compute(ground.grid, layout.bases[0], 0);
  EXPECT_TRUE(wave.Reached(layout.bases[1].x, layout.bases[1].z));
  const auto posts = std::ranges::count_if(s.placements, [](const TTRVGenPlacement& p) { return p.purpose == ppFencePost; });
  EXPECT_GT(posts, 100) << "a gate, not a torn-down fence";
}

TEST(GenBases, RemovalsIndexEveryPlacementEvenPast65535) {
  TTRVGenState s = Town();
  // More trees than a 16-bit index can name; the last stands at the waterline and must go,
  // while its 16-bit alias far down the list must stay.
  for (int i = 0; i < 70000; ++i) {
    TTRVGenPlacement tree;
    tree.x = 45 + i % 30;
    tree.z = 120 + (i / 30) % 25;
    s.placements.push_back(tree);
  }
  s.elevation(44, 44) = 1;
  s.placements[69999].x = 44;
  s.placements[69999].z = 44;
  TTRVBaseLayout layout;
  platform::RandomGenerator rng(7);
  TTRVGenProgress progress;
  ASSERT_EQ(PlaceBases(s, layout, rng, progress), "");
  EXPECT_TRUE(std::ranges::binary_search(layout.removed, 69999u));
  EXPECT_FALSE(std::ranges::binary_search(layout.removed, 69999u - 65536u));
}

}  // namespace

// A wall segment, turned as the scene turns objects, must run from its post to the neighbour.
TEST(GenWalls, EverySegmentRunsTowardItsNeighbour) {
  const int neighbours[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (const auto& n : neighbours) {
    const float degrees = WallRotationToward(n[0], n[1]) * 45.0f;
    const TAffineVector run = RotateVectorAroundY(TAffineVector(1, 0, 0), degrees);
    EXPECT_NEAR(run.x, static_cast<float>(n[0]), 1e-5f) << n[0] << "," << n[1];
    EXPECT_NEAR(run.z, static_cast<float>(n[1]), 1e-5f) << n[0] << "," << n[1];
  }
}

// Where a wall segment ends, turned as the scene turns objects.
TTRVCell WallEnd(const TTRVGenPlacement& wall) {
  const TAffineVector run = RotateVectorAroundY(TAffineVector(1, 0, 0), wall.rotation * 45.0f);
  return {wall.x + static_cast<int>(std::lround(run.x)), wall.z + static_cast<int>(std::lround(run.z))};
}

// Walls stop tanks at full detail, so a gate the ground grid calls open must have no wall
// running into it from either side, whichever way the fence runs.
TEST(GenWalls, AGateLeavesNoWallAcrossItInFencesAlongEitherAxis) {
  for (const TTRVCell along : {TTRVCell{1, 0}, TTRVCell{0, 1}}) {
    TTRVGenState s = gentest::SeaState(4, 4);
    constexpr int kPosts = 9;
    auto post = [&](int i) { return TTRVCell{50 + i * along.x, 50 + i * along.z}; };
    for (int i = 0; i < kPosts; ++i) {
      TTRVGenPlacement p;
      p.x = post(i).x;
      p.z = post(i).z;
      p.theme = 2;
      p.purpose = ppFencePost;
      s.placements.push_back(p);
      // A segment toward each neighbouring post, as the compounds are built.
      for (const int j : {i - 1, i + 1}) {
        if (j < 0 || j >= kPosts) continue;
        TTRVGenPlacement wall = p;
        wall.object = 1;
        wall.rotation = WallRotationToward(post(j).x - p.x, post(j).z - p.z);
        wall.list = 1;
        wall.purpose = ppWall;
        s.placements.push_back(wall);
      }
    }
    const TTRVCell gate = post(4);
    OpenGate(s, gate);
    int walls = 0;
    for (const TTRVGenPlacement& p : s.placements) {
      EXPECT_NE((TTRVCell{p.x, p.z}), gate) << "along " << along.x << "," << along.z;
      if (p.purpose != ppWall) continue;
      ++walls;
      EXPECT_NE(WallEnd(p), gate) << "a wall from " << p.x << "," << p.z << " still runs into the gate";
    }
    // 16 segments, less the gate's own two and the two that ran into it from its neighbours.
    EXPECT_EQ(walls, 12) << "along " << along.x << "," << along.z;
  }
}

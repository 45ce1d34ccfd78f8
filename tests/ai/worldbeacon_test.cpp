// Whole-map beacons: a side's field toward a rally cell, and the walks on it and on the
// world's pursuit regions.
#include "ai/worldbeacon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "platform/random.h"
#include "scene/baseobject.h"

namespace {

// An open 40 x 40 map on flat ground 5 units high.
struct FieldMap {
  TTRVPathFinder finder;
  TTRVGrid<std::uint8_t> heights{40, 40, 10};
  TTRVGroundView ground{&heights, 2, nullptr};
  TGLDummyCube unit;

  FieldMap() { finder.Reset(40, 40, true); }
  void Block(const std::vector<TTRVCell>& cells) {
    for (const TTRVCell& c : cells) finder.SetPassable(c.x, c.z, false);
  }
};

TAffineVector At(float x, float z) { return {x, 0, z}; }

std::vector<TTRVCell> Around(TTRVCell c, int d) {
  return {{c.x - d, c.z}, {c.x + d, c.z}, {c.x, c.z - d}, {c.x, c.z + d}};
}

TEST(AIWorldBeacon, BeforeComputeOnlyPassabilityAfterItStepCountsToTheGoal) {
  FieldMap map;
  map.Block({{5, 5}});
  TTRVAIWorldBeacon beacon(map.finder, map.ground);
  EXPECT_EQ(beacon.Distance()(10, 10), 0);
  EXPECT_EQ(beacon.Distance()(5, 5), kWaveBlocked);
  EXPECT_EQ(beacon.Distance()(0, 10), kWaveBlocked);

  beacon.Compute({20, 20});
  const struct {
    TTRVCell cell;
    int value;
  } cells[] = {{{20, 20}, 2}, {{21, 20}, 1}, {{20, 19}, 1}, {{25, 20}, 5}, {{5, 5}, kWaveBlocked}, {{39, 20}, kWaveBlocked}};
  for (const auto& c : cells) EXPECT_EQ(beacon.Distance()(c.cell.x, c.cell.z), c.value) << c.cell.x << ", " << c.cell.z;
}

TEST(AIWorldBeacon, WalksEndNextToTheGoal) {
  FieldMap map;
  TTRVAIWorldBeacon beacon(map.finder, map.ground);
  beacon.Compute({20, 20});
  EXPECT_EQ(beacon.NextWaypoint(At(30.3f, 20.3f)), (TTRVCell{21, 20}));
  EXPECT_EQ(beacon.NextWaypoint(At(29.6f, 24.6f)), (TTRVCell{20, 21}));  // rounded to (30, 25); -x first
  EXPECT_EQ(beacon.NextWaypoint(At(0.2f, 20.2f)), (TTRVCell{0, 20}));    // outside the inner cells

  // Next to the goal the walk stays put, and Step wanders to a free neighbour instead.
  platform::Random().Seed(5);
  const std::vector<TTRVCell> around = Around({21, 20}, 1);
  std::set<std::pair<int, int>> seen;
  for (int i = 0; i < 40; ++i) {
    const TTRVCell c = beacon.NextWaypoint(At(21.2f, 20.2f));
    EXPECT_NE(std::find(around.begin(), around.end(), c), around.end()) << c.x << ", " << c.z;
    seen.insert({c.x, c.z});
  }
  EXPECT_EQ(seen.size(), 4u);
}

TEST(AIWorldBeacon, StepTakesTheLowestStrideCellOrWandersOrStays) {
  const struct {
    const char* name;
    TAffineVector from;
    int stride;
    std::vector<TTRVCell> blocked;
    std::vector<TTRVCell> answers;
  } cases[] = {
      {"three cells down", At(30.5f, 20.5f), 3, {}, {{27, 20}}},
      {"stride cells blocked: a free neighbour", At(30.5f, 20.5f), 2, Around({30, 20}, 2), Around({30, 20}, 1)},
      {"one neighbour free", At(30.5f, 20.5f), 1, {{29, 20}, {30, 19}, {30, 21}}, {{31, 20}}},
      {"enclosed: stays", At(30.5f, 20.5f), 1, Around({30, 20}, 1), {{30, 20}}},
      {"too near the edge for the stride", At(1.5f, 20.5f), 2, {}, {{1, 20}}},
      {"no stride", At(30.5f, 20.5f), 0, {}, {{30, 20}}},
  };
  platform::Random().Seed(9);
  for (const auto& c : cases) {
    FieldMap map;
    map.Block(c.blocked);
    TTRVAIWorldBeacon beacon(map.finder, map.ground);
    beacon.Compute({20, 20});
    for (int i = 0; i < 8; ++i) {
      const TTRVCell got = beacon.Step(c.from, c.stride);
      EXPECT_NE(std::find(c.answers.begin(), c.answers.end(), got), c.answers.end())
          << c.name << ": " << got.x << ", " << got.z;
    }
  }
}

TEST(AIWorldBeacon, MoveTowardStepsOneUnitAndPutsTheUnitOnTheGround) {
  FieldMap map;
  TTRVAIWorldBeacon beacon(map.finder, map.ground);
  beacon.Compute({20, 20});

  map.unit.Position.SetPoint(30, 9, 20);
  ASSERT_TRUE(beacon.MoveToward(map.unit));
  const TAffineVector p = map.unit.Position.AsAffineVector();
  EXPECT_FLOAT_EQ(p.x, 29);
  EXPECT_FLOAT_EQ(p.y, 5);
  EXPECT_FLOAT_EQ(p.z, 20);

  map.unit.Position.SetPoint(30, 0, 25);  // toward the corner of (20, 21): one unit, diagonally
  ASSERT_TRUE(beacon.MoveToward(map.unit));
  const TAffineVector q = map.unit.Position.AsAffineVector();
  EXPECT_NEAR(std::hypot(q.x - 30, q.z - 25), 1, 1e-5);
  EXPECT_LT(q.x, 30);
  EXPECT_LT(q.z, 25);

  const struct {
    const char* name;
    TAffineVector at;
  } stays[] = {
      {"next to the goal", {21, 3, 20}},
      {"on the border", {0.2f, 3, 20}},
      {"nowhere", {std::numeric_limits<float>::quiet_NaN(), 3, 20}},
  };
  for (const auto& s : stays) {
    map.unit.Position.SetPoint(s.at);
    EXPECT_FALSE(beacon.MoveToward(map.unit)) << s.name;
    EXPECT_EQ(map.unit.Position.AsAffineVector().y, 3) << s.name;
  }
}

TEST(AIRegionBeacon, RebuiltOnlyWhenThePlayerLeftTheLastGoalByMoreThan32) {
  TTRVPathFinder finder;
  finder.Reset(80, 80, true);
  TTRVGrid<std::uint8_t> heights(80, 80, 0);
  const TTRVGroundView ground{&heights, 1, nullptr};
  TTRVAIWorldBeaconFloating region(finder);
  region.goalAt = At(10.5f, 10.5f);
  region.Compute({10, 10});

  NextStep(region, At(40.5f, 40.5f), At(40.5f, 10.5f));  // 30 away
  EXPECT_EQ(region.Distance()(10, 10), 2);
  EXPECT_EQ(region.goalAt, At(10.5f, 10.5f));

  TGLDummyCube unit;
  unit.Position.SetPoint(60, 0, 60);
  EXPECT_TRUE(MoveToward(region, unit, At(60.5f, 10.5f), ground));  // 50 away
  EXPECT_EQ(region.Distance()(60, 10), 2);
  EXPECT_EQ(region.goalAt, At(60.5f, 10.5f));
  EXPECT_EQ(unit.Position.AsAffineVector(), TAffineVector(60, 0, 59));

  // From outside the inner cells nothing is asked, so nothing is rebuilt.
  unit.Position.SetPoint(0.2f, 0, 60);
  EXPECT_FALSE(MoveToward(region, unit, At(10.5f, 70.5f), ground));
  EXPECT_EQ(NextStep(region, At(79.5f, 40.5f), At(10.5f, 70.5f)), (TTRVCell{79, 40}));
  EXPECT_EQ(region.goalAt, At(60.5f, 10.5f));
}

}  // namespace

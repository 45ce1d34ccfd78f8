// Forests, theme solving and grass on hand-made states: the tree probability, which theme a
// vertex moves to when its own cannot paint its class, the copy across sector seams, which
// islets sink, and grass only where the theme has some.
#include <gtest/gtest.h>

#include <cmath>

#include "generator/dressing.h"
#include "tests/generator/gen_fixture.h"

namespace {

using namespace gentest;

TEST(GenDressing, TreeChanceFallsWithTheNoiseAboveTheThreshold) {
  // Threshold 150, noise 200, density 0.25: each forest cell holds a tree with chance 0.1875.
  TTRVGenState s = SeaState(4, 4);
  Land(s, 0, 0, 100, 100, 50);
  for (int x = 0; x < 100; ++x)
    for (int z = 0; z < 100; ++z) {
      s.classGrid(x, z) = tcForest;
      s.noiseField(x, z) = 200;
    }
  s.params.treeDensity = 0.25f;
  platform::RandomGenerator rng(21);
  TTRVGenProgress progress;
  PlantTrees(s, 150, rng, progress);
  const double expected = 10000 * 0.1875, sigma = std::sqrt(10000 * 0.1875 * 0.8125);
  EXPECT_NEAR(static_cast<double>(s.placements.size()), expected, 5 * sigma);
  int farList = 0;
  for (const TTRVGenPlacement& p : s.placements) {
    EXPECT_EQ(p.purpose, ppTree);
    EXPECT_EQ(p.rotation, 8);
    EXPECT_EQ(p.theme, 0);
    EXPECT_EQ(s.themes[0].objectKinds[p.object], 0);
    farList += p.list == 1;
  }
  EXPECT_NEAR(farList, static_cast<double>(s.placements.size()) / 2, 5 * std::sqrt(s.placements.size() / 4.0));
}

TEST(GenDressing, AClassMovesToTheFirstThemeThatPaintsIt) {
  const struct {
    std::vector<FixtureTheme> themes;
    int zone, expected;
  } cases[] = {
      // A road in a theme without road material moves to the first that has one.
      {{{"Dry", {0}, {}}, {"Green", {0, tcRoad}, {}}, {"Lush", {0, tcRoad}, {}}}, 0, 1},
      // It keeps a theme that paints it.
      {{{"Dry", {0, tcRoad}, {}}, {"Green", {0}, {}}, {"Lush", {0, tcRoad}, {}}}, 2, 2},
      // No theme paints it: it keeps its own.
      {{{"Dry", {0}, {}}, {"Green", {0}, {}}}, 1, 1},
  };
  for (const auto& c : cases) {
    TTRVGenState s = SeaState(4, 4);
    s.themes.clear();
    for (const FixtureTheme& t : c.themes) s.themes.push_back(Summary(t));
    Land(s, 10, 10, 100, 100, 40);
    s.classGrid(50, 50) = tcRoad;
    s.zoneGrid(50, 50) = static_cast<std::uint8_t>(c.zone);
    s.zoneGrid(50, 51) = static_cast<std::uint8_t>(c.zone);  // open ground keeps its zone
    TTRVGenProgress progress;
    SolveThemes(s, progress);
    EXPECT_EQ(s.zoneGrid(50, 50), c.expected);
    EXPECT_EQ(s.zoneGrid(50, 51), c.zone);
  }
}

TEST(GenDressing, TheVertexAfterASectorSeamCopiesTheSeamUnlessItIsARoad) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 33, 0, 60, 128, 40);
  s.classGrid(33, 70) = tcRoad;
  s.zoneGrid(32, 60) = 1;
  TTRVGenProgress progress;
  SolveThemes(s, progress);
  EXPECT_EQ(s.classGrid(33, 60), tcSea);   // took the sea vertex's class
  EXPECT_EQ(s.zoneGrid(33, 60), 1);        // and its zone
  EXPECT_EQ(s.classGrid(33, 70), tcRoad);  // a road is never overwritten
  EXPECT_EQ(s.classGrid(34, 60), tcOpenGround);
}

TEST(GenDressing, IsletsUpToSevenVerticesAcrossSinkLargerOnesStay) {
  const struct {
    int side;
    bool sinks;
  } cases[] = {{1, true}, {4, true}, {7, true}, {8, false}, {9, false}};
  for (const auto& c : cases) {
    TTRVGenState s = SeaState(4, 4);
    Land(s, 50, 50, 50 + c.side, 50 + c.side, 30);
    RemoveIslets(s);
    int land = 0;
    for (int x = 40; x < 70; ++x)
      for (int z = 40; z < 70; ++z) land += s.elevation(x, z) != 0;
    EXPECT_EQ(land == 0, c.sinks) << c.side << " x " << c.side;
    if (c.sinks) {
      EXPECT_EQ(s.classGrid(50, 50), tcSea);
    } else {
      EXPECT_EQ(land, c.side * c.side);
    }
  }
}

TEST(GenDressing, GrassGrowsOnlyInThemesWithGrassObjects) {
  const struct {
    FixtureTheme theme;
    bool grass;
  } cases[] = {
      {{"Meadow", {0}, {0, 2}}, true},
      {{"Rock", {0}, {0, 1}}, false},
  };
  for (const auto& c : cases) {
    TTRVGenState s = SeaState(4, 4);
    s.themes = {Summary(c.theme)};
    Land(s, 0, 0, 128, 128, 20);
    for (int z = 0; z < 128; ++z) s.classGrid(10, z) = tcForest;
    s.noiseField.Fill(250);  // the likeliest grass there is
    platform::RandomGenerator rng(2);
    TTRVGenProgress progress;
    SowGrass(s, rng, progress);
    int flags = 0;
    for (int x = 0; x < 128; ++x)
      for (int z = 0; z < 128; ++z) {
        flags += s.grassFlags(x, z);
        if (x == 10) {
          EXPECT_EQ(s.grassFlags(x, z), 0) << "forest carries no grass";
        }
      }
    EXPECT_EQ(flags > 0, c.grass) << c.theme.name;
  }
}

}  // namespace

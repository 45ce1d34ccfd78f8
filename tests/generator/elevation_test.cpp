// The outline sketch and the midpoint-displacement fields: where seeds lie, what a black
// sketch gives, how the land share is clamped, and that growth that cannot reach its share
// ends instead of hanging.
#include <gtest/gtest.h>

#include <algorithm>

#include "generator/elevation.h"

namespace {

TEST(GenElevation, SeedsLieEveryHalfFeatureFromTheEdgeBand) {
  const struct {
    int cells, featureSize;
    int first, step, last;
  } cases[] = {
      {320, 128, 64, 64, 256},  // 10 sectors: seeds at 64, 128, 192, 256
      {320, 100, 64, 64, 256},  // rounded up to the next power of two
      {320, 16, 8, 8, 288},     // forests: every 8 cells
      {640, 64, 32, 32, 608},   // grass on 20 sectors
  };
  for (const auto& c : cases) {
    const std::vector<int> lines = FieldSeedLines(c.cells, c.featureSize);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), c.first) << c.cells << "/" << c.featureSize;
    EXPECT_EQ(lines.back(), c.last) << c.cells << "/" << c.featureSize;
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i] - lines[i - 1], c.step);
  }
}

TEST(GenElevation, FieldHasTheMapSizeAndABlackSketchLeavesItAllSea) {
  platform::RandomGenerator rng(7);
  TTRVGrid<std::uint8_t> sketch(10, 10, 0);
  TTRVGrid<std::uint8_t> field;
  MakeField(field, 10, 10, 128, &sketch, rng);
  EXPECT_EQ(field.SizeX(), 320);
  EXPECT_EQ(field.SizeZ(), 320);
  EXPECT_TRUE(std::ranges::all_of(field.Cells(), [](std::uint8_t v) { return v == 0; }));

  // Without a sketch the same map has relief.
  MakeField(field, 10, 10, 128, nullptr, rng);
  EXPECT_TRUE(std::ranges::any_of(field.Cells(), [](std::uint8_t v) { return v > 0; }));
}

TEST(GenElevation, LandInTheSketchRaisesTheFieldThere) {
  platform::RandomGenerator rng(3);
  TTRVGrid<std::uint8_t> sketch(10, 10, 0);
  for (int x = 3; x <= 6; ++x)
    for (int y = 3; y <= 6; ++y) sketch(x, y) = 220;
  TTRVGrid<std::uint8_t> field;
  MakeField(field, 10, 10, 128, &sketch, rng);
  // The middle of the land holds high ground, the sea corner none.
  long long sum = 0;
  for (int x = 128; x < 192; ++x)
    for (int z = 128; z < 192; ++z) sum += field(x, z);
  EXPECT_GT(sum / (64 * 64), 60);
  EXPECT_EQ(field(10, 10), 0);
  EXPECT_EQ(field(310, 20), 0);
}

// How far from each edge the land begins along it, every cell from 64 to 255 along the edge
// of a 10 x 10 map's field; land is what no sea threshold of the terraces cuts away.
std::vector<std::vector<int>> CoastDistances(const TTRVGrid<std::uint8_t>& field) {
  const int L = field.SizeX(), R = field.SizeZ();
  std::vector<std::vector<int>> edges(4);
  for (int a = 64; a < 256; ++a) {
    auto firstLand = [&](auto cell) {
      int d = 0;
      while (d < 160 && cell(d) < 11) ++d;
      return d;
    };
    edges[0].push_back(firstLand([&](int d) { return field(d, a); }));
    edges[1].push_back(firstLand([&](int d) { return field(L - 1 - d, a); }));
    edges[2].push_back(firstLand([&](int d) { return field(a, d); }));
    edges[3].push_back(firstLand([&](int d) { return field(a, R - 1 - d); }));
  }
  return edges;
}

int LongestRun(const std::vector<int>& v) {
  int longest = 0, run = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    run = i > 0 && v[i] == v[i - 1] ? run + 1 : 1;
    longest = std::max(longest, run);
  }
  return longest;
}

// Land on the sketch's second or third row from an edge once gave a coast along a ruler line
// 32 cells in: the outer coast must wander like any other, and the border stay sea, whatever
// the sketch holds next to it.
TEST(GenElevation, TheOuterCoastNeverRunsStraightAndTheBorderStaysSea) {
  const struct {
    const char* sketch;
    int first, last;  // land on the sketch pixels first .. last along both axes
  } cases[] = {
      {"land from the second row", 1, 8},
      {"land from the third row", 2, 8},  // the first seed line, 64 cells in, reads the third
      {"land painted up to the border", 0, 9},
  };
  for (const auto& c : cases)
    for (const std::uint64_t seed : {1u, 2u, 3u}) {
      TTRVGrid<std::uint8_t> sketch(10, 10, 0);
      for (int x = c.first; x <= c.last; ++x)
        for (int y = c.first; y <= c.last; ++y) sketch(x, y) = 230;
      TTRVGrid<std::uint8_t> field;
      platform::RandomGenerator rng(seed);
      MakeField(field, 10, 10, 128, &sketch, rng);
      const std::vector<std::vector<int>> edges = CoastDistances(field);
      for (std::size_t e = 0; e < edges.size(); ++e)
        EXPECT_LE(LongestRun(edges[e]), 16) << c.sketch << ", seed " << seed << ", edge " << e;
      // The border and the corner that boats sail from stay open sea.
      for (int x = 0; x < 320; ++x)
        for (int z = 0; z < 320; ++z)
          if (std::min({x, z, 319 - x, 319 - z}) < 8) {
            ASSERT_EQ(field(x, z), 0) << c.sketch << " at " << x << "," << z;
          }
    }
}

int Land(const TTRVGrid<std::uint8_t>& sketch) {
  return static_cast<int>(std::ranges::count_if(sketch.Cells(), [](std::uint8_t v) { return v != 0; }));
}

TEST(GenElevation, SketchLandShareIsClampedTo10To90) {
  const struct {
    int asked, sameAs;
  } cases[] = {{5, 10}, {0, 10}, {95, 90}, {100, 90}};
  for (const auto& c : cases) {
    TTRVGrid<std::uint8_t> a, b;
    std::string error;
    platform::RandomGenerator r1(11), r2(11);
    ASSERT_TRUE(DrawSketch(a, 10, 10, c.asked, true, r1, error)) << error;
    ASSERT_TRUE(DrawSketch(b, 10, 10, c.sameAs, true, r2, error)) << error;
    EXPECT_EQ(a.Cells(), b.Cells()) << c.asked << " % should draw as " << c.sameAs << " %";
  }
}

TEST(GenElevation, GrowthStopsJustPastTheShare) {
  // On 10 x 10 pixels a share of 10 % is passed at 11 land pixels, 90 % at 91.
  for (const auto& [share, land] : {std::pair{10, 11}, {50, 51}, {90, 91}}) {
    platform::RandomGenerator rng(5);
    TTRVGrid<std::uint8_t> sketch(10, 10, 0);
    sketch(4, 4) = 10;
    EXPECT_EQ(GrowSketch(sketch, share, rng), land);
    EXPECT_EQ(Land(sketch), land);
  }
}

TEST(GenElevation, SketchHasASeaBorderAndARaisedInterior) {
  platform::RandomGenerator rng(9);
  TTRVGrid<std::uint8_t> sketch;
  std::string error;
  ASSERT_TRUE(DrawSketch(sketch, 12, 10, 60, false, rng, error)) << error;
  for (int x = 0; x < 12; ++x) EXPECT_TRUE(sketch(x, 0) == 0 && sketch(x, 9) == 0);
  for (int z = 0; z < 10; ++z) EXPECT_TRUE(sketch(0, z) == 0 && sketch(11, z) == 0);
  // A pixel with land all around is high ground.
  int inner = 0;
  for (int x = 1; x < 11; ++x)
    for (int z = 1; z < 9; ++z) {
      bool all = true;
      for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz) all = all && sketch(x + dx, z + dz) != 0;
      if (all) {
        ++inner;
        EXPECT_GE(sketch(x, z), 200);
      }
    }
  EXPECT_GT(inner, 0);
}

TEST(GenElevation, GrowthThatCannotReachItsShareEndsWithAnError) {
  platform::RandomGenerator rng(1);
  TTRVGrid<std::uint8_t> noSeed(10, 10, 0);
  EXPECT_EQ(GrowSketch(noSeed, 50, rng), -1);

  // One pixel with no neighbours to grow into: the share is already passed.
  TTRVGrid<std::uint8_t> single;
  std::string error;
  EXPECT_TRUE(DrawSketch(single, 1, 1, 50, false, rng, error)) << error;

  // A single row can grow; the sketch still ends with its border as sea.
  TTRVGrid<std::uint8_t> row;
  EXPECT_TRUE(DrawSketch(row, 5, 1, 90, false, rng, error)) << error;
}

}  // namespace

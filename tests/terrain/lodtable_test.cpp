// The detail-level table: which sectors around the camera are drawn how finely.
#include <gtest/gtest.h>

#include <map>

#include "terrain/lodtable.h"

namespace {

TEST(LodTable, ViewDistanceOneIsFourByFourAroundTheCamera) {
  const TTRVLodTable t = BuildLodTable(1);
  ASSERT_EQ(t.size, 4);
  EXPECT_EQ(t.Centre(), 2);
  // Rows i, columns j: the 3 x 3 around (2, 2) at full detail, the rest inside the table at 1.
  const std::uint8_t want[4][4] = {{1, 1, 1, 1}, {1, 0, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 0}};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(t.At(i, j), want[i][j]) << i << ", " << j;
}

TEST(LodTable, ViewDistanceBelowOneCountsAsOne) {
  for (int v : {0, -3}) {
    const TTRVLodTable t = BuildLodTable(v);
    EXPECT_EQ(t.viewRange, 1);
    EXPECT_EQ(t.size, 4);
  }
}

TEST(LodTable, RingsAndDiscAtViewDistanceFour) {
  const TTRVLodTable t = BuildLodTable(4);
  ASSERT_EQ(t.size, 16);
  const int c = 8;
  struct Case {
    int di, dj;
    int level;
  };
  const Case cases[] = {
      {0, 0, 0},  {1, 1, 0},   {-1, 1, 0},  // the 3 x 3 around the camera
      {2, 0, 1},  {-2, -2, 1},              // out to 5 x 5
      {3, 3, 2},  {0, -3, 2},               // out to 7 x 7
      {4, 0, 3},  {-4, 2, 3},  {4, 2, 3},   // inside the disc of radius 4.5 (outline included)
      {4, 3, 4},  {-4, -4, 4}, {-8, 0, 4},  // outside it
      {7, 7, 4},
  };
  for (const Case& k : cases) EXPECT_EQ(t.At(c + k.di, c + k.dj), k.level) << k.di << ", " << k.dj;

  std::map<int, int> counts;
  for (std::uint8_t l : t.levels) ++counts[l];
  EXPECT_EQ(counts[0], 9);
  EXPECT_EQ(counts[1], 16);
  EXPECT_EQ(counts[2], 24);
  EXPECT_GT(counts[3], 0);
  EXPECT_EQ(counts[0] + counts[1] + counts[2] + counts[3] + counts[4], 256);
}

TEST(LodTable, EntriesRunBackwardsFromTheCameraSector) {
  const TTRVLodTable t = BuildLodTable(2);
  int sx = 0, sz = 0;
  t.SectorOf(t.Centre(), t.Centre(), 5, 7, sx, sz);
  EXPECT_EQ(sx, 5);
  EXPECT_EQ(sz, 7);
  t.SectorOf(0, t.size - 1, 5, 7, sx, sz);
  EXPECT_EQ(sx, 9);
  EXPECT_EQ(sz, 4);
}

TEST(LodTable, FogAndDrawDistanceFollowTheViewDistance) {
  const TTRVFogRange fog = FogRangeFor(4);
  EXPECT_FLOAT_EQ(fog.start, 88);
  EXPECT_FLOAT_EQ(fog.end, 112);
  EXPECT_FLOAT_EQ(SectorDrawDistance(4), 160);
}

}  // namespace

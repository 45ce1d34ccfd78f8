// One side record compared field by field with what was stored, for the tests of the stored
// set-up and of saved games: every field a save keeps, the beacons and index apart.
#pragma once

#include <gtest/gtest.h>

#include <array>

#include "world/world.h"

inline void ExpectSameStoredSide(const TTRVWorldFractionInfo& a, const TTRVWorldFractionInfo& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.unitCounts, b.unitCounts);
  EXPECT_EQ(a.aliveCounts, b.aliveCounts);
  EXPECT_EQ(a.victoryLosses, b.victoryLosses);
  EXPECT_EQ(a.survivalMinimum, b.survivalMinimum);
  EXPECT_EQ(a.sideColour, b.sideColour);
  EXPECT_EQ(a.rallyCell, b.rallyCell);
  EXPECT_EQ(a.basePosition.x, b.basePosition.x);
  EXPECT_EQ(a.basePosition.z, b.basePosition.z);
  EXPECT_EQ((std::array{a.scatterSpawn, a.defending, a.attacking, a.roaming, a.navalBase}),
            (std::array{b.scatterSpawn, b.defending, b.attacking, b.roaming, b.navalBase}));
}

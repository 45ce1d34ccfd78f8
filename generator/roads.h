// Roads and settlements: one main road per 128 x 128 block and side roads between random
// points, laid by the path finder over gentle dry land, their end points kept as nodes; then
// settlements around every node and every sector crossed by enough road: short streets,
// built-up ground levelled to them, and buildings on it.
#pragma once

#include <string>
#include <vector>

#include "world/pathfinder.h"
#include "generator/genstate.h"
#include "generator/progress.h"
#include "platform/random.h"

// Counts of what BuildRoads laid, for tests and the benchmark.
struct TTRVRoadStats {
  int mainRoads = 0;
  int sideRoads = 0;
  int sideRoadAttempts = 0;
};

// The road grid: passable where 3 <= height <= 200; a cell of any class but open ground
// blocks itself and its neighbours towards lower x and z, and a height step of 7 or more
// between neighbours blocks both cells.
void FillRoadGrid(const TTRVGenState& state, TTRVPathFinder& finder);

// A main road along the path, two cells wide: each cell and its neighbours towards +x, +z
// and both. Cells outside the map are skipped.
void PaveMainRoad(TTRVGenState& state, const std::vector<TTRVCell>& path);
// A side road along the path, one cell wide, from its first cell up to the first cell that is
// road already (or outside the map): there it joins the network and ends.
void PaveSideRoad(TTRVGenState& state, const std::vector<TTRVCell>& path);

// Empty on success; an error when the island has no cell gentle and dry enough for a road,
// so no side road can be drawn.
std::string BuildRoads(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress,
                       TTRVRoadStats* stats = nullptr);

void BuildCities(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress);

// A settlement grown around one node: streets off the nearby roads, then built-up ground
// levelled to them. Exposed for the tests of its limits.
void GrowSettlement(TTRVGenState& state, TTRVCell node, platform::RandomGenerator& rng);

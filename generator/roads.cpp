// Main and side roads, settlements and their buildings.
#include "generator/roads.h"

#include <algorithm>
#include <cstdlib>

#include "world/worldfile.h"

namespace {

constexpr int kRoadBlock = 128;
constexpr int kBlockDraws = 500;
constexpr int kSideRoadAttempts = 101;
constexpr int kSideRoadMinCells = 6;
constexpr int kStreetDraws = 201;

// One main road inside the block: a bounded number of tries, each between two passable
// cells of the block.
bool ConnectBlock(TTRVGenState& state, TTRVPathFinder& finder, int x0, int z0, platform::RandomGenerator& rng) {
  for (int attempt = 0; attempt <= state.params.landPercent; ++attempt) {
    TTRVCell start, goal;
    bool drawn = false;
    for (int draw = 0; draw < kBlockDraws && !drawn; ++draw) {
      start.x = x0 + rng.Int(kRoadBlock);
      start.z = z0 + rng.Int(kRoadBlock);
      goal.x = x0 + rng.Int(kRoadBlock);
      goal.z = z0 + rng.Int(kRoadBlock);
      drawn = finder.Passable(start.x, start.z) && finder.Passable(goal.x, goal.z);
    }
    if (!drawn) return false;
    finder.start = start;
    finder.goal = goal;
    if (!finder.FindPath()) continue;
    state.nodes.push_back(start);
    state.nodes.push_back(goal);
    PaveMainRoad(state, finder.path);
    return true;
  }
  return false;
}

}  // namespace

void PaveMainRoad(TTRVGenState& state, const std::vector<TTRVCell>& path) {
  for (const TTRVCell& c : path)
    for (const TTRVCell& o : {TTRVCell{0, 0}, {1, 0}, {1, 1}, {0, 1}}) state.classGrid.Set(c.x + o.x, c.z + o.z, tcRoad);
}

void PaveSideRoad(TTRVGenState& state, const std::vector<TTRVCell>& path) {
  for (const TTRVCell& c : path) {
    if (state.classGrid.At(c.x, c.z, tcRoad) == tcRoad) break;
    state.classGrid(c.x, c.z) = tcRoad;
  }
}

void FillRoadGrid(const TTRVGenState& state, TTRVPathFinder& finder) {
  const TTRVGrid<std::uint8_t>& e = state.elevation;
  const int L = state.Length(), R = state.RowLength();
  finder.Reset(L, R, false);
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z) finder.grid(x, z) = e(x, z) >= 3 && e(x, z) <= 200;
  auto block = [&](int x, int z) { finder.grid(x, z) = 0; };
  for (int x = 2; x < L; ++x)
    for (int z = 2; z < R; ++z) {
      if (state.classGrid(x, z) != tcOpenGround) {
        block(x, z);
        block(x - 1, z);
        block(x, z - 1);
        block(x - 1, z - 1);
      }
      for (const TTRVCell& n : {TTRVCell{x - 1, z}, {x, z - 1}, {x - 1, z - 1}})
        if (std::abs(e(x, z) - e(n.x, n.z)) >= 7) {
          block(x, z);
          block(n.x, n.z);
        }
    }
}

std::string BuildRoads(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress,
                       TTRVRoadStats* stats) {
  TTRVRoadStats local;
  TTRVRoadStats& count = stats ? *stats : local;
  count = {};
  progress.Report(TextId::GenRoads, 300);
  TTRVPathFinder finder;
  FillRoadGrid(state, finder);
  const int L = state.Length(), R = state.RowLength();

  // Cells beyond the last whole block get no main road.
  const int nx = (L - 1) / kRoadBlock, nz = (R - 1) / kRoadBlock;
  for (int g = 0; g < nz; ++g)
    for (int m = 0; m < nx; ++m) {
      const int n = (g * nx + m) * 100 / (nx * nz);
      progress.Report(TextId::GenMainRoads, 300, std::to_string(n) + "%");
      if (ConnectBlock(state, finder, m * kRoadBlock, g * kRoadBlock, rng)) ++count.mainRoads;
    }

  // Start and goal are each a passable cell, all equally likely: the same as drawing cells
  // until both are passable, but with an end when there is none.
  std::vector<TTRVCell> passable;
  for (int x = 0; x < L; ++x)
    for (int z = 0; z < R; ++z)
      if (finder.Passable(x, z)) passable.push_back({x, z});
  if (passable.empty()) return "the island has no land gentle and dry enough for roads";

  // The target is mapWidth * mapHeight / 10 roads; a fractional target is never met, and
  // the attempts run out instead.
  const int sectors = state.params.mapWidth * state.params.mapHeight;
  const double target = sectors * 0.1;
  const int cells = static_cast<int>(passable.size());
  while (count.sideRoads * 10 != sectors && count.sideRoadAttempts < kSideRoadAttempts) {
    const int n = 100 - static_cast<int>((target - count.sideRoads) / target * 25);
    progress.Report(TextId::GenSideRoads, 350, std::to_string(n) + "%");
    finder.start = passable[static_cast<std::size_t>(rng.Int(cells))];
    finder.goal = passable[static_cast<std::size_t>(rng.Int(cells))];
    ++count.sideRoadAttempts;
    if (!finder.FindPath() || static_cast<int>(finder.path.size()) < kSideRoadMinCells) continue;
    ++count.sideRoads;
    state.nodes.push_back(finder.start);
    state.nodes.push_back(finder.goal);
    PaveSideRoad(state, finder.path);
  }
  return {};
}

void GrowSettlement(TTRVGenState& state, TTRVCell node, platform::RandomGenerator& rng) {
  TTRVGrid<std::uint8_t>& cls = state.classGrid;
  TTRVGrid<std::uint8_t>& e = state.elevation;
  const int L = state.Length(), R = state.RowLength();
  const int x0 = node.x, z0 = node.z;
  const int radius = 5 + rng.Int(10);
  auto strictlyInside = [&](int x, int z) { return x >= 1 && z >= 1 && x <= L - 2 && z <= R - 2; };
  auto nodeHeight = [&] { return static_cast<int>(e.At(x0, z0)); };

  for (int street = 0; street <= radius; ++street) {
    TTRVCell c;
    bool found = false;
    for (int draw = 0; draw < kStreetDraws && !found; ++draw) {
      c.z = z0 - radius + rng.Int(2 * radius);
      c.x = x0 - radius + rng.Int(2 * radius);
      found = strictlyInside(c.x, c.z) && cls(c.x, c.z) == tcRoad;
    }
    if (!found) continue;
    // The four straight directions, all equally likely.
    static constexpr TTRVCell kDirections[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const TTRVCell d = kDirections[rng.Int(4)];
    while (strictlyInside(c.x, c.z)) {
      c.x += d.x;
      c.z += d.z;
      if (std::abs(e(c.x, c.z) - nodeHeight()) > 10 || cls(c.x, c.z) != tcOpenGround ||
          std::abs(c.x - x0) > radius || std::abs(c.z - z0) > radius)
        break;
      cls(c.x, c.z) = tcRoad;
    }
  }

  auto innerRing = [&](int x, int z) { return x >= 2 && z >= 2 && x <= L - 3 && z <= R - 3; };
  for (int X = x0 - radius; X <= x0 + radius; ++X)
    for (int Z = z0 - radius; Z <= z0 + radius; ++Z) {
      const int s = 1 + rng.Int(4);
      if (cls.At(X, Z, tcSea) != tcRoad || !innerRing(X, Z)) continue;
      for (int i = X - s; i <= X + s; ++i)
        for (int j = Z - s; j <= Z + s; ++j) {
          if (!innerRing(i, j)) continue;
          const int h = e(i, j);
          if (std::abs(h - e(X, Z)) >= 3 || std::abs(h - nodeHeight()) >= 15) continue;
          if (cls(i, j) == tcOpenGround) cls(i, j) = tcSettlement;
          e(i, j) = e(X, Z);
        }
    }
}

void BuildCities(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress) {
  progress.Report(TextId::GenCities, 400);
  TTRVGrid<std::uint8_t>& cls = state.classGrid;
  TTRVGrid<std::uint8_t>& e = state.elevation;
  const int L = state.Length(), R = state.RowLength();

  for (int sx = 1; sx <= (L - 1) / 32 - 1; ++sx)
    for (int sz = 1; sz <= (R - 1) / 32 - 1; ++sz) {
      int roads = 0;
      for (int x = sx * 32; x <= sx * 32 + 32; ++x)
        for (int z = sz * 32; z <= sz * 32 + 32; ++z) roads += cls(x, z) == tcRoad;
      if (roads > 5) state.nodes.push_back({sx * 32 + 16, sz * 32 + 16});
    }

  for (std::size_t i = 0; i < state.nodes.size(); ++i) GrowSettlement(state, state.nodes[i], rng);
  for (const TTRVCell& n : state.nodes) cls.Set(n.x, n.z, tcOpenGround);

  const int fallback = state.LastThemeWith(&TTRVGenTheme::buildings);
  if (fallback < 0) return;
  for (int x = 1; x <= L - 2; ++x)
    for (int z = 1; z <= R - 2; ++z) {
      if (cls(x, z) != tcSettlement) continue;
      const int h = e(x, z);
      if (h <= 3) continue;
      if (std::abs(e(x + 1, z) - h) >= 3 || std::abs(e(x - 1, z) - h) >= 3 || std::abs(e(x, z + 1) - h) >= 3 ||
          std::abs(e(x, z - 1) - h) >= 3)
        continue;
      if (rng.Real() >= 0.5) continue;
      e(x + 1, z + 1) = e(x, z);
      TTRVGenPlacement p;
      p.x = x;
      p.z = z;
      p.rotation = static_cast<std::uint8_t>(rng.Int(8) / 2 * 2);
      p.list = 2;
      p.purpose = ppBuilding;
      const int zone = state.zoneGrid(x, z);
      const bool own = zone < static_cast<int>(state.themes.size()) && !state.themes[static_cast<std::size_t>(zone)].buildings.empty();
      p.theme = static_cast<std::uint8_t>(own ? zone : fallback);
      const std::vector<std::uint8_t>& kinds = state.themes[p.theme].buildings;
      p.object = kinds[static_cast<std::size_t>(rng.Int(static_cast<int>(kinds.size())))];
      state.placements.push_back(p);
    }
}

// Whole-map waves: the pursuit field and the loader's flood that drops enclosed water.
#include "world/floatingwave.h"

#include <algorithm>

namespace {

// The two wave fronts every whole-map wave of this thread works in. Each keeps its largest
// size, so after the first build on a map no wave allocates again.
struct TTRVWaveFronts {
  std::vector<TTRVCell> a;
  std::vector<TTRVCell> b;
};

TTRVWaveFronts& SharedFronts() {
  thread_local TTRVWaveFronts fronts;
  return fronts;
}

}  // namespace

void TTRVWorldWave::Compute(const TTRVGrid<std::uint8_t>& grid, TTRVCell goal, int maxWaves) {
  const int sx = grid.SizeX(), sz = grid.SizeZ();
  if (distance.SizeX() != sx || distance.SizeZ() != sz) distance.Reset(sx, sz);
  const std::vector<std::uint8_t>& pass = grid.Cells();
  std::vector<std::uint16_t>& dist = distance.Cells();
  for (std::size_t i = 0; i < pass.size(); ++i) dist[i] = pass[i] ? 0 : kWaveBlocked;
  for (int x = 0; x < sx; ++x) distance(x, 0) = distance(x, sz - 1) = kWaveBlocked;
  for (int z = 0; z < sz; ++z) distance(0, z) = distance(sx - 1, z) = kWaveBlocked;
  seed_ = goal;
  if (sx < 3 || sz < 3) return;  // no inner cell: everything stays blocked

  seed_ = FindSeed(goal);
  const std::size_t cells = pass.size();
  TTRVWaveFronts& fronts = SharedFronts();
  if (fronts.a.capacity() < cells) fronts.a.reserve(cells);
  if (fronts.b.capacity() < cells) fronts.b.reserve(cells);
  fronts.a.clear();
  fronts.a.push_back(seed_);
  std::vector<TTRVCell>* current = &fronts.a;
  std::vector<TTRVCell>* next = &fronts.b;
  // Only cells holding 0 are pushed, and borders never do, so neighbours stay inside.
  for (int k = 1; !current->empty() && (maxWaves <= 0 || k <= maxWaves); ++k) {
    next->clear();
    const auto value = static_cast<std::uint16_t>(std::min<int>(k, kWaveSaturated));
    for (const TTRVCell& c : *current) {
      const TTRVCell around[4] = {{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}};
      for (const TTRVCell& n : around) {
        std::uint16_t& d = distance(n.x, n.z);
        if (d == 0) {
          d = value;
          next->push_back(n);
        }
      }
    }
    std::swap(current, next);
  }
  for (std::uint16_t& d : dist)
    if (d == 0) d = kWaveUnreached;
}

TTRVCell TTRVWorldWave::FindSeed(TTRVCell goal) const {
  const int maxX = distance.SizeX() - 2, maxZ = distance.SizeZ() - 2;
  goal.x = std::clamp(goal.x, 1, maxX);
  goal.z = std::clamp(goal.z, 1, maxZ);
  if (distance(goal.x, goal.z) != kWaveBlocked) return goal;
  const TTRVCell directions[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  TTRVCell best = goal;
  int bestSteps = 0;
  for (const TTRVCell& d : directions) {
    TTRVCell c = goal;
    for (int steps = 1;; ++steps) {
      c.x += d.x;
      c.z += d.z;
      if (!distance.Inside(c.x, c.z)) break;
      if (distance(c.x, c.z) != kWaveBlocked) {
        if (bestSteps == 0 || steps < bestSteps) best = c, bestSteps = steps;
        break;
      }
    }
  }
  return best;
}

bool KeepConnectedTo(TTRVPathFinder& finder, TTRVCell seed) {
  const TTRVGrid<std::uint8_t>& grid = finder.grid;
  if (seed.x < 1 || seed.z < 1 || seed.x > grid.SizeX() - 2 || seed.z > grid.SizeZ() - 2) return false;
  if (!finder.Passable(seed.x, seed.z)) return false;
  TTRVWorldWave flood;
  flood.Compute(grid, seed, 0);
  std::vector<std::uint8_t>& pass = finder.grid.Cells();
  const std::vector<std::uint16_t>& reached = flood.distance.Cells();
  for (std::size_t i = 0; i < pass.size(); ++i)
    if (reached[i] == kWaveUnreached) pass[i] = 0;
  return true;
}

// The path finder's wave and descent. Only cells strictly inside the border are ever pushed
// onto a frontier or walked to, so every neighbour looked at lies inside the grid.
#include "world/pathfinder.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The wave gives up at this number; the walk at the next one (both well beyond any map).
constexpr int kMaxWaves = 65526;
constexpr int kMaxSteps = 65525;

// The walk looks at the eight neighbours in this order; the first of equal values wins.
constexpr TTRVCell kDescentOrder[8] = {{0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};

}  // namespace

void TTRVPathFinder::Reset(int sizeX, int sizeZ, bool passable) { grid.Reset(sizeX, sizeZ, passable ? 1 : 0); }

bool TTRVPathFinder::FindPath() {
  path.clear();
  if (grid.Empty() || start == goal) return false;

  const int sx = grid.SizeX(), sz = grid.SizeZ();
  if (distance_.SizeX() != sx || distance_.SizeZ() != sz) distance_.Reset(sx, sz);
  const std::size_t cells = grid.Cells().size();
  // Each cell joins a frontier at most once per wave, so full-size frontiers never grow.
  if (frontierA_.capacity() < cells) frontierA_.reserve(cells);
  if (frontierB_.capacity() < cells) frontierB_.reserve(cells);

  const std::vector<std::uint8_t>& pass = grid.Cells();
  std::vector<std::uint16_t>& dist = distance_.Cells();
  for (std::size_t i = 0; i < cells; ++i) dist[i] = pass[i] ? 0 : kPathBlocked;
  for (int x = 0; x < sx; ++x) distance_(x, 0) = distance_(x, sz - 1) = kPathBlocked;
  for (int z = 0; z < sz; ++z) distance_(0, z) = distance_(sx - 1, z) = kPathBlocked;

  auto usable = [&](const TTRVCell& c) { return c.x >= 1 && c.z >= 1 && c.x <= sx - 2 && c.z <= sz - 2; };
  if (!usable(start) || !usable(goal)) return false;
  if (!Wave()) return false;
  return Descend();
}

bool TTRVPathFinder::Wave() {
  frontierA_.clear();
  frontierB_.clear();
  frontierA_.push_back(goal);
  // The goal keeps 0 until the second wave comes back to it and marks it 2.
  for (int w = 1; w <= kMaxWaves; ++w) {
    std::vector<TTRVCell>& current = (w & 1) ? frontierA_ : frontierB_;
    std::vector<TTRVCell>& next = (w & 1) ? frontierB_ : frontierA_;
    if (current.empty()) return false;
    next.clear();
    const auto value = static_cast<std::uint16_t>(w);
    for (const TTRVCell& c : current) {
      if (c == start) return true;
      const TTRVCell around[4] = {{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}};
      for (const TTRVCell& n : around) {
        std::uint16_t& d = distance_(n.x, n.z);
        if (d == 0) {
          d = value;
          next.push_back(n);
        }
      }
    }
    current.clear();
  }
  return false;
}

bool TTRVPathFinder::Descend() {
  const int maxX = grid.SizeX() - 2, maxZ = grid.SizeZ() - 2;
  TTRVCell current = start;
  std::uint16_t h = distance_(start.x, start.z);
  TTRVCell step{0, 0};
  for (int i = 0; i < kMaxSteps; ++i) {
    for (const TTRVCell& o : kDescentOrder) {
      const std::uint16_t v = distance_(current.x + o.x, current.z + o.z);
      if (v != 0 && v < h) {
        step = o;
        h = v;
      }
    }
    // With no lower neighbour the previous step is repeated.
    current.x = std::clamp(current.x + step.x, 1, maxX);
    current.z = std::clamp(current.z + step.z, 1, maxZ);
    path.push_back(current);
    if (std::abs(current.x - goal.x) < 2 && std::abs(current.z - goal.z) < 2) return true;
  }
  return false;
}

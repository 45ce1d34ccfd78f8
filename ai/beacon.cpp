// Unit beacons: building the window field and the walks down it.
#include "ai/beacon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ai/descent.h"
#include "world/queries.h"

namespace {

constexpr int kWindowCells = kBeaconSide * kBeaconSide;

// The wave fronts of every unit beacon of the thread, as window indices. A front never holds
// more cells than the window has, so a build never allocates.
struct TTRVWindowFronts {
  std::array<std::uint16_t, kWindowCells> a;
  std::array<std::uint16_t, kWindowCells> b;
};

TTRVWindowFronts& SharedFronts() {
  thread_local TTRVWindowFronts fronts;
  return fronts;
}

int Index(int i, int j) { return i * kBeaconSide + j; }

}  // namespace

TTRVAIBeacon::TTRVAIBeacon(const TGLBaseSceneObject& owner, const TTRVPathFinder& finder)
    : unit(&owner), pathFinder(&finder) {
  Compute(kBeaconMaxWaves);
}

void TTRVAIBeacon::Compute(int maxWaves) {
  maxWaves = std::clamp(maxWaves, 0, kBeaconMaxWaves);
  computedAt = UnitPosition();
  const TTRVCell centre = CellOf(computedAt);
  // Floor saturates far away (and on NaN), so the window simply lies off the map there.
  origin = {centre.x - kBeaconCentre, centre.z - kBeaconCentre};

  const TTRVGrid<std::uint8_t>& grid = pathFinder->grid;
  const long long sizeX = grid.SizeX(), sizeZ = grid.SizeZ();
  for (int i = 0; i < kBeaconSide; ++i) {
    const long long x = static_cast<long long>(origin.x) + i;
    for (int j = 0; j < kBeaconSide; ++j) {
      const long long z = static_cast<long long>(origin.z) + j;
      const bool inner = x > 0 && z > 0 && x < sizeX - 1 && z < sizeZ - 1;
      field[Index(i, j)] =
          inner && grid(static_cast<int>(x), static_cast<int>(z)) != 0 ? 0 : kBeaconBlocked;
    }
  }

  int seedI = kBeaconCentre, seedJ = kBeaconCentre;
  if (field[Index(seedI, seedJ)] == kBeaconBlocked) {
    const int directions[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    int bestSteps = 0;
    for (const auto& d : directions) {
      for (int steps = 1; steps <= kBeaconCentre; ++steps) {
        const int i = kBeaconCentre + d[0] * steps, j = kBeaconCentre + d[1] * steps;
        if (field[Index(i, j)] != kBeaconBlocked) {
          if (bestSteps == 0 || steps < bestSteps) seedI = i, seedJ = j, bestSteps = steps;
          break;
        }
      }
    }
    // A seed on the window's edge would count only along the edge; the field stays without
    // step counts instead, its free cells at 0.
    const auto onEdge = [](int k) { return k == 0 || k == kBeaconSide - 1; };
    if (bestSteps > 0 && (onEdge(seedI) || onEdge(seedJ))) return;
  }

  TTRVWindowFronts& fronts = SharedFronts();
  std::uint16_t* current = fronts.a.data();
  std::uint16_t* next = fronts.b.data();
  int currentCount = 1, nextCount = 0;
  current[0] = static_cast<std::uint16_t>(Index(seedI, seedJ));
  for (int wave = 1; currentCount > 0 && wave <= maxWaves; ++wave) {
    nextCount = 0;
    for (int k = 0; k < currentCount; ++k) {
      const int i = current[k] / kBeaconSide, j = current[k] % kBeaconSide;
      const int around[4][2] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
      for (const auto& n : around) {
        if (n[0] < 0 || n[1] < 0 || n[0] >= kBeaconSide || n[1] >= kBeaconSide) continue;
        std::uint8_t& value = field[Index(n[0], n[1])];
        if (value != 0) continue;
        value = static_cast<std::uint8_t>(wave);
        next[nextCount++] = static_cast<std::uint16_t>(Index(n[0], n[1]));
      }
    }
    std::swap(current, next);
    currentCount = nextCount;
  }
  for (std::uint8_t& value : field)
    if (value == 0) value = kBeaconBlocked;
}

std::uint8_t TTRVAIBeacon::At(TTRVCell cell) const {
  const long long i = WindowX(cell.x), j = WindowZ(cell.z);
  if (i < 0 || j < 0 || i >= kBeaconSide || j >= kBeaconSide) return kBeaconBlocked;
  return field[Index(static_cast<int>(i), static_cast<int>(j))];
}

bool TTRVAIBeacon::InnerWindow(TTRVCell cell, int margin) const {
  const long long i = WindowX(cell.x), j = WindowZ(cell.z);
  return i >= margin && j >= margin && i <= kBeaconSide - 1 - margin && j <= kBeaconSide - 1 - margin;
}

bool TTRVAIBeacon::Stale() const {
  const TAffineVector now = UnitPosition();
  const float dx = now.x - computedAt.x, dz = now.z - computedAt.z;
  // A unit at a NaN position keeps the field it had; one built at a NaN position is rebuilt
  // as soon as the unit is somewhere again.
  if (!std::isfinite(now.x) || !std::isfinite(now.z)) return false;
  return !(std::sqrt(dx * dx + dz * dz) <= kBeaconRebuildDistance);
}

void TTRVAIBeacon::Refresh() {
  if (Stale()) Compute(kBeaconMaxWaves);
}

TTRVCell TTRVAIBeacon::FreeNeighbour(const TAffineVector& position) const {
  const TTRVCell c = CellOf(position);
  if (!InnerWindow(c, 1)) return c;
  TTRVCell found = c;
  for (const TTRVCell& n : {TTRVCell{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}})
    if (At(n) != kBeaconBlocked) found = n;
  return found;
}

TTRVCell TTRVAIBeacon::StepToward(const TAffineVector& from, const TAffineVector& to) const {
  const TTRVCell c = CellOf(from), goal = CellOf(to);
  if (!InnerWindow(c, 1)) return c;
  const long long dx = std::llabs(static_cast<long long>(c.x) - goal.x);
  const long long dz = std::llabs(static_cast<long long>(c.z) - goal.z);
  TTRVCell step = c;
  // The shorter distance is closed first, so the unit comes at the goal on the diagonal; once
  // it is closed, along the other axis. Stepping along an axis already lined up with the goal
  // would only swing the unit to and fro beside it.
  if (dx < dz && dx > 0)
    step.x += goal.x > c.x ? 1 : -1;
  else if (dz > 0)
    step.z += goal.z > c.z ? 1 : -1;
  else if (dx > 0)
    step.x += goal.x > c.x ? 1 : -1;
  else
    return c;
  if (At(step) != kBeaconBlocked) return step;
  return FreeNeighbour(from);
}

TTRVCell TTRVAIBeacon::StepDownhill(const TAffineVector& position, int stride, TTRVCell offset, int threshold) {
  Refresh();
  if (stride < 1 || stride > kBeaconCentre) return {0, 0};
  const TTRVCell c = CellOf(position + TAffineVector(static_cast<float>(offset.x), 0, static_cast<float>(offset.z)));
  if (!InnerWindow(c, stride)) return {0, 0};
  const int v = At(c);
  if (v < threshold) return {0, 0};
  TTRVCell best{0, 0};
  int bestValue = v;
  const TTRVCell around[4] = {{c.x - stride, c.z}, {c.x + stride, c.z}, {c.x, c.z - stride}, {c.x, c.z + stride}};
  for (const TTRVCell& n : around) {
    const int value = At(n);
    if (value < bestValue) bestValue = value, best = n;
  }
  return best;
}

TTRVCell TTRVAIBeacon::Approach(const TAffineVector& from, int range, TTRVCell offset) {
  Refresh();
  TTRVCell c = CellOf(from + TAffineVector(static_cast<float>(offset.x), 0, static_cast<float>(offset.z)));
  const auto valueAt = [this](TTRVCell cell) { return At(cell); };
  for (int i = 0; i < kBeaconWalkSteps; ++i) {
    if (!InnerWindow(c, 1)) return c;
    const int v = At(c);
    if (v < range || v == kBeaconBlocked) break;
    const TTRVDescentStep step = DescentStep(c, valueAt, kBeaconBlocked);
    c = step.cell;
    if (step.ended) break;
  }
  const TTRVCell own = RoundedCellOf(UnitPosition());
  return c == own ? TTRVCell{0, 0} : c;
}

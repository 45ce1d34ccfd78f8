// TTRVAIBeacon: a unit's own distance field, a 97 x 97 window of breadth-first step counts
// centred on the unit over one path finder's grid. A unit that wants to reach another reads
// the other unit's beacon and walks down it. The beacon knows its unit only as a scene
// object (for its position); it never moves the unit and never allocates after it is made:
// the wave fronts are shared by every beacon of the thread.
#pragma once

#include <array>
#include <cstdint>

#include "scene/baseobject.h"
#include "world/grid.h"
#include "world/pathfinder.h"

inline constexpr int kBeaconSide = 97;
inline constexpr int kBeaconCentre = 48;
// Blocked, outside the map, unreached, or outside the window.
inline constexpr std::uint8_t kBeaconBlocked = 255;
// The deepest wave a rebuild runs; 255 is taken by kBeaconBlocked.
inline constexpr int kBeaconMaxWaves = 254;
// How far the unit may wander from where its field was built before a query rebuilds it.
inline constexpr float kBeaconRebuildDistance = 4;
// Descent walks give up after this many steps.
inline constexpr int kBeaconWalkSteps = 101;

class TTRVAIBeacon {
 public:
  // Both must outlive the beacon. The field is built at once (kBeaconMaxWaves deep), so a
  // query before the first rebuild answers from a real field.
  TTRVAIBeacon(const TGLBaseSceneObject& unit, const TTRVPathFinder& finder);

  const TGLBaseSceneObject* unit;
  // Window index (i, j) at [i * kBeaconSide + j]; map cell (origin.x + i, origin.z + j).
  std::array<std::uint8_t, kBeaconSide * kBeaconSide> field{};
  TTRVCell origin;                     // the unit's cell - (48, 48) at the last build
  TAffineVector computedAt{0, 0, 0};   // the unit's position at the last build
  const TTRVPathFinder* pathFinder;

  // Rebuilds the field around the unit: step counts from its cell up to maxWaves (clamped to
  // 0 .. kBeaconMaxWaves); the unit's own cell holds 2 (the second wave comes back to it) and
  // its free neighbours 1. A unit on a blocked cell counts from the nearest free cell along
  // -x, -z, +x, +z (ties to the earlier); when that cell lies on the window's edge, or none
  // is free within 48 cells, the free cells keep 0 and there are no step counts.
  void Compute(int maxWaves = kBeaconMaxWaves);

  // The value of a map cell; kBeaconBlocked outside the window.
  std::uint8_t At(TTRVCell cell) const;
  // Window index of a map cell (may lie outside 0 .. 96; never overflows).
  long long WindowX(int x) const { return static_cast<long long>(x) - origin.x; }
  long long WindowZ(int z) const { return static_cast<long long>(z) - origin.z; }

  // The last of the cell's neighbours (x - 1), (x + 1), (z - 1), (z + 1) that is not blocked;
  // the position's own cell when none is, or when the cell is not inside window indices 1 .. 95.
  TTRVCell FreeNeighbour(const TAffineVector& position) const;
  // One cell from `from` toward the cell of `to`: along x when the x distance is the smaller
  // but not yet 0, else along z, and along x once z is lined up; the cell of `from` when it is
  // the goal's. FreeNeighbour(from) when that cell is blocked. Outside window indices 1 .. 95:
  // the cell of `from`.
  TTRVCell StepToward(const TAffineVector& from, const TAffineVector& to) const;
  // From the cell of position + offset (which must lie in window indices stride .. 96 - stride
  // and hold at least `threshold`), the lowest of the cells `stride` away along -x, +x, -z, +z
  // that is strictly lower. (0, 0) when there is none or the start does not qualify. Rebuilds
  // the field first when the unit has moved away.
  TTRVCell StepDownhill(const TAffineVector& position, int stride, TTRVCell offset, int threshold);
  // Walks down from the cell of from + offset until the unit is fewer than `range` steps
  // away, a blocked cell or a cell beside an obstacle is met, or 101 steps are made. The walk
  // leaving window indices 1 .. 95 answers the cell where it left. Never the unit's own
  // (rounded) cell: that answers (0, 0). Rebuilds the field first when the unit has moved away.
  TTRVCell Approach(const TAffineVector& from, int range, TTRVCell offset);

  // Whether the unit has moved more than kBeaconRebuildDistance (along the ground) since the
  // last build.
  bool Stale() const;
  // Rebuilds when Stale().
  void Refresh();

 private:
  bool InnerWindow(TTRVCell cell, int margin) const;
  TAffineVector UnitPosition() const { return unit->AbsoluteAffinePosition(); }
};

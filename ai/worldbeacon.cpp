// Whole-map beacons: the sides' fields toward their rally cells and the walks on them and on
// the world's pursuit regions.
#include "ai/worldbeacon.h"

#include <cmath>

#include "ai/descent.h"
#include "platform/random.h"

namespace {

bool Inner(const TTRVGrid<std::uint16_t>& distance, TTRVCell c) {
  return c.x >= 1 && c.z >= 1 && c.x <= distance.SizeX() - 2 && c.z <= distance.SizeZ() - 2;
}


TTRVCell Walk(const TTRVGrid<std::uint16_t>& distance, TTRVCell from) {
  return Descend(from, kWorldWalkSteps, [&](TTRVCell c) { return distance.At(c.x, c.z, kWaveBlocked); },
                 kWaveBlocked);
}

}  // namespace

TTRVAIWorldBeacon::TTRVAIWorldBeacon(const TTRVPathFinder& finder, TTRVGroundView groundView)
    : pathFinder(&finder), ground(groundView) {
  const TTRVGrid<std::uint8_t>& grid = finder.grid;
  const int sx = grid.SizeX(), sz = grid.SizeZ();
  wave.distance.Reset(sx, sz, kWaveBlocked);
  for (int x = 1; x < sx - 1; ++x)
    for (int z = 1; z < sz - 1; ++z)
      if (grid(x, z) != 0) wave.distance(x, z) = 0;
}

bool TTRVAIWorldBeacon::MoveToward(TGLBaseSceneObject& unit) const { return MoveDownField(Distance(), unit, ground); }

TTRVCell TTRVAIWorldBeacon::NextWaypoint(const TAffineVector& position) const {
  const TTRVCell c = RoundedCellOf(position);
  if (!Inner(Distance(), c)) return c;
  const TTRVCell end = Walk(Distance(), c);
  return end == c ? Step(position, 1) : end;
}

TTRVCell TTRVAIWorldBeacon::Step(const TAffineVector& position, int stride) const {
  return StepOnField(Distance(), position, stride);
}

TTRVCell StepOnField(const TTRVGrid<std::uint16_t>& distance, const TAffineVector& position, int stride) {
  const TTRVCell c = CellOf(position);
  if (stride < 1 || c.x < stride || c.z < stride || c.x > distance.SizeX() - stride - 1 ||
      c.z > distance.SizeZ() - stride - 1)
    return c;
  const int here = distance(c.x, c.z);
  TTRVCell best = c;
  int bestValue = kWaveBlocked;
  for (const TTRVCell& n : {TTRVCell{c.x - stride, c.z}, {c.x + stride, c.z}, {c.x, c.z - stride}, {c.x, c.z + stride}}) {
    const int value = distance(n.x, n.z);
    if (value < here && value < bestValue) bestValue = value, best = n;
  }
  if (bestValue != kWaveBlocked) return best;

  // Nowhere lower (a pocket, or the goal's own neighbourhood): wander to any free neighbour
  // so that a unit stuck there does not stand still for ever.
  TTRVCell freeNeighbours[4];
  int count = 0;
  for (const TTRVCell& n : {TTRVCell{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}})
    if (distance(n.x, n.z) != kWaveBlocked) freeNeighbours[count++] = n;
  if (count == 0) return c;
  return freeNeighbours[platform::Random().Int(count)];
}

bool MoveDownField(const TTRVGrid<std::uint16_t>& distance, TGLBaseSceneObject& unit, const TTRVGroundView& ground) {
  TAffineVector p = unit.AbsoluteAffinePosition();
  const TTRVCell c = RoundedCellOf(p);
  if (!Inner(distance, c)) return false;
  const TTRVCell end = Walk(distance, c);
  if (end == c || distance(end.x, end.z) == kWaveBlocked) return false;
  // The end differs from the rounded cell, so its corner is never the position itself; the
  // normalisation guards against it anyway and leaves a zero step rather than NaN.
  p += VectorNormalize(TAffineVector(static_cast<float>(end.x) - p.x, 0, static_cast<float>(end.z) - p.z));
  p.y = GroundHeight(ground, p);
  unit.SetAbsolutePosition(p);
  return true;
}

bool FollowGoal(TTRVAIWorldBeaconFloating& region, const TAffineVector& goal) {
  const float dx = goal.x - region.goalAt.x, dz = goal.z - region.goalAt.z;
  // A NaN goal is no goal: the region stays as it is.
  if (!std::isfinite(goal.x) || !std::isfinite(goal.z)) return false;
  if (std::sqrt(dx * dx + dz * dz) <= kRegionRebuildDistance) return false;
  region.goalAt = goal;
  region.Compute(CellOf(goal));
  return true;
}

bool MoveToward(TTRVAIWorldBeaconFloating& region, TGLBaseSceneObject& unit, const TAffineVector& goal,
                const TTRVGroundView& ground) {
  if (!Inner(region.Distance(), RoundedCellOf(unit.AbsoluteAffinePosition()))) return false;
  FollowGoal(region, goal);
  return MoveDownField(region.Distance(), unit, ground);
}

TTRVCell NextStep(TTRVAIWorldBeaconFloating& region, const TAffineVector& position, const TAffineVector& goal) {
  const TTRVCell c = CellOf(position);
  if (!Inner(region.Distance(), c)) return c;
  FollowGoal(region, goal);
  return StepOnField(region.Distance(), position, 1);
}

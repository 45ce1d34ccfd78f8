// Whole-map beacons: TTRVAIWorldBeacon, a side's field toward one of its rally cells, built
// once when a game is set up or loaded; and the walks on the world's pursuit regions
// (TTRVAIWorldBeaconFloating, world/floatingwave.h), rebuilt when the player has gone far
// from their last goal. Far units use them to advance on a base or close on the player.
// Both share the wave fronts of world/floatingwave.cpp; each holds only its own field.
#pragma once

#include <cstdint>

#include "scene/baseobject.h"
#include "world/floatingwave.h"
#include "world/grid.h"
#include "world/pathfinder.h"
#include "world/queries.h"

// Descent walks on whole-map fields give up after this many steps.
inline constexpr int kWorldWalkSteps = 101;
// How far the player may go from a region's last goal before the region is rebuilt.
inline constexpr float kRegionRebuildDistance = 32;

class TTRVAIWorldBeacon {
 public:
  // Deep enough for any map; the count never reaches kWaveBlocked.
  static constexpr int kWaveLimit = 65532;

  // The finder must outlive the beacon; the ground is where MoveToward puts units down.
  // Until Compute the field holds only 0 (passable) and kWaveBlocked (blocked and border).
  TTRVAIWorldBeacon(const TTRVPathFinder& finder, TTRVGroundView ground);

  const TTRVPathFinder* pathFinder;
  TTRVGroundView ground;
  TTRVWorldWave wave;

  // Step counts toward the goal cell over the finder's grid as it is now. The goal is
  // clamped into the inner cells and, when blocked, moved to the nearest free cell along the
  // axes; it holds 2 and its free neighbours 1.
  void Compute(TTRVCell goal) { wave.Compute(pathFinder->grid, goal, kWaveLimit); }
  const TTRVGrid<std::uint16_t>& Distance() const { return wave.distance; }

  // Moves the unit one unit along the ground toward the cell where a walk from its rounded
  // cell ends, and puts it on the ground there. False, with the unit untouched, when its
  // cell is outside the inner cells or the walk does not leave it.
  bool MoveToward(TGLBaseSceneObject& unit) const;
  // Where a walk from the rounded cell of the position ends; when it stays put, Step with
  // stride 1. Outside the inner cells: the rounded cell.
  TTRVCell NextWaypoint(const TAffineVector& position) const;
  // See StepOnField.
  TTRVCell Step(const TAffineVector& position, int stride) const;
};

// The lowest of the cells `stride` away from the position's cell along -x, +x, -z, +z that
// is strictly below it; when none is, a random free 4-neighbour, or the cell itself when all
// four are blocked. A cell closer than `stride` to the map's edge (or a stride below 1)
// answers itself.
TTRVCell StepOnField(const TTRVGrid<std::uint16_t>& distance, const TAffineVector& position, int stride);
// MoveToward on any whole-map field (see TTRVAIWorldBeacon::MoveToward).
bool MoveDownField(const TTRVGrid<std::uint16_t>& distance, TGLBaseSceneObject& unit, const TTRVGroundView& ground);

// The region walks. Both first rebuild the region toward the goal's cell when the goal lies
// more than kRegionRebuildDistance (along the ground) from the region's `goalAt`, and then
// keep the goal as `goalAt`.
// MoveDownField toward the goal; false, with the region untouched, when the unit's rounded
// cell is outside the inner cells.
bool MoveToward(TTRVAIWorldBeaconFloating& region, TGLBaseSceneObject& unit, const TAffineVector& goal,
                const TTRVGroundView& ground);
// StepOnField with stride 1 toward the goal; outside the inner cells the position's own cell.
TTRVCell NextStep(TTRVAIWorldBeaconFloating& region, const TAffineVector& position, const TAffineVector& goal);
// Rebuilds the region when the goal has moved too far; true when it did.
bool FollowGoal(TTRVAIWorldBeaconFloating& region, const TAffineVector& goal);

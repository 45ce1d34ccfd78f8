// How a tank's driver or a boat's captain brings the vehicle round toward a point: the letter
// of the point's quarter ('L' and 'Q' lie on the +X side, which a left turn swings toward)
// decides the turn, and only ahead of the beam does it also make way.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "scene/vectorgeometry.h"
#include "world/grid.h"
#include "world/queries.h"

class TTRVEntity;

void SteerVehicleToward(TTRVEntity& unit, const TAffineVector& point);

// Only the corners that lead on down the field are worth looking ahead to: at the bottom of a
// field (the enemy's base) the beacons answer a random neighbour, and a look-ahead chaining
// those would aim the vehicle at a new random cell every frame. The `next` of a
// look-ahead answers (0, 0) where this fails.
inline bool LeadsDownhill(const TTRVGrid<std::uint16_t>& field, TTRVCell from, TTRVCell to) {
  constexpr std::uint16_t kOutside = std::numeric_limits<std::uint16_t>::max();
  return field.At(to.x, to.z, kOutside) < field.At(from.x, from.z, kOutside);
}

// A route's next waypoint may lie inside the vehicle's turning circle, even behind it (near an
// obstacle a walk ends one cell on, and the walks start half a unit ahead of the vehicle), or
// square to its course where the route steps round a diagonal: steering at it the vehicle
// circles, shuttles or stops to turn at every step. So the driver looks on down the route from
// each corner, with `next` (a corner to the one after it, (0, 0) for none), up to `maxSteps`
// times, to one at least `reach` away.
template <class Next>
TTRVCell LookAhead(TTRVCell waypoint, const TAffineVector& position, float reach, int maxSteps, Next&& next) {
  for (int i = 0; i < maxSteps && waypoint != TTRVCell{0, 0}; ++i) {
    const TAffineVector corner = CellPosition(waypoint);
    if (std::hypot(corner.x - position.x, corner.z - position.z) >= reach) break;
    const TTRVCell after = next(corner);
    if (after == waypoint || after == TTRVCell{0, 0}) break;
    waypoint = after;
  }
  return waypoint;
}

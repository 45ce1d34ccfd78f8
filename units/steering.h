// How a tank's driver or a boat's captain brings the vehicle round toward a point: the letter
// of the point's quarter ('L' and 'Q' lie on the +X side, which a left turn swings toward)
// decides the turn, and only ahead of the beam does it also make way.
#pragma once

#include <cmath>

#include "scene/vectorgeometry.h"
#include "world/queries.h"

class TTRVEntity;

void SteerVehicleToward(TTRVEntity& unit, const TAffineVector& point);

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

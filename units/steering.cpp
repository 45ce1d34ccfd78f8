// The ground and sea vehicles' steering toward a point.
#include "units/steering.h"

#include "units/entity.h"

void SteerVehicleToward(TTRVEntity& unit, const TAffineVector& point) {
  TTRVControlBlock& c = unit.controls;
  switch (unit.ClassifyDirection(point)) {
    case 'Q':
      c.accelerate = true;
      c.turnLeft = true;
      break;
    case 'E':
      c.accelerate = true;
      c.turnRight = true;
      break;
    case 'L':
    case 'Z':
      c.turnLeft = true;
      break;
    default:  // 'R', 'C'
      c.turnRight = true;
      break;
  }
}

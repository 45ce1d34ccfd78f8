// How a tank's driver or a boat's captain brings the vehicle round toward a point: the letter
// of the point's quarter ('L' and 'Q' lie on the +X side, which a left turn swings toward)
// decides the turn, and only ahead of the beam does it also make way.
#pragma once

#include "scene/vectorgeometry.h"

class TTRVEntity;

void SteerVehicleToward(TTRVEntity& unit, const TAffineVector& point);

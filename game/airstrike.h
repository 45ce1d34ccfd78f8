// The air strike's wait and where a strike called now would land. The wait runs in real time:
// a player who speeds the world up waits as long as one who does not. The first readiness of
// a game is announced early, since a new world starts with the wait at 0.
#pragma once

#include "scene/vectorgeometry.h"

class TTRVBattlefield;
class TTRVEntity;
class TTRVWorld;

// Counts the wait down by dt (dt / 3 under time acceleration); once it runs out, says so
// through the battlefield and rests at kAirStrikeResting until the next strike sets it again.
void StepAirStrikeTimer(TTRVWorld& world, float dt, TTRVBattlefield& battlefield);

inline constexpr float kAirStrikeResting = -101;

// Where a strike the player calls now lands: on the enemy under the cross-hair, else at the
// point under the mouse as the view drew it. That point is not the unit's own aim, which the
// player step cuts short at the first hill the unit cannot see past (its guns cannot shoot
// through it; the bombers fly over it).
TAffineVector AirStrikePoint(const TTRVEntity& player, const TAffineVector& underCursor);

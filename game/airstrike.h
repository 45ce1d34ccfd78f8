// The air strike's wait. It runs in real time: a player who speeds the world up waits as long
// as one who does not. The first readiness of a game is announced early, since a new world
// starts with the wait at 0.
#pragma once

class TTRVBattlefield;
class TTRVWorld;

// Counts the wait down by dt (dt / 3 under time acceleration); once it runs out, says so
// through the battlefield and rests at kAirStrikeResting until the next strike sets it again.
void StepAirStrikeTimer(TTRVWorld& world, float dt, TTRVBattlefield& battlefield);

inline constexpr float kAirStrikeResting = -101;

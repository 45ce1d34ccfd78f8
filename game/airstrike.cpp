// The air strike's wait, and its landing point.
#include "game/airstrike.h"

#include "units/battlefield.h"
#include "units/entity.h"
#include "world/world.h"

void StepAirStrikeTimer(TTRVWorld& world, float dt, TTRVBattlefield& battlefield) {
  float& timer = world.airStrikeTimer;
  if (timer >= 0) timer -= world.Context().cockpit.TimeAccelerated() ? dt / 3 : dt;
  if (timer < 0 && timer > -100) {
    battlefield.PlaySample("AirStrikeReady", nullptr);
    timer = kAirStrikeResting;
  }
}

TAffineVector AirStrikePoint(const TTRVEntity& player, const TAffineVector& underCursor) {
  const TTRVEntity* target = player.target;
  if (target && target->state.side != player.state.side) return target->AbsoluteAffinePosition();
  return underCursor;
}

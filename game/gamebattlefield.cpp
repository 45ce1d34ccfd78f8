// The game's battlefield: the units' calls handed to projectiles, effects, sound and HUD.
#include "game/gamebattlefield.h"

#include "units/entity.h"

namespace {

TTRVShooter ShooterOf(const TTRVEntity& unit) { return {&unit, unit.state.side}; }

}  // namespace

TTRVGameBattlefield::TTRVGameBattlefield(TTRVEffects& effects, TTRVProjectiles& projectiles,
                                         const std::vector<TTRVUnitRef>& units, Sound sound)
    : effects_(effects), projectiles_(projectiles), units_(units), sound_(std::move(sound)) {}

bool TTRVGameBattlefield::FireBullet(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to,
                                     float deviation, const TAffineVector& facing) {
  return projectiles_.FireBullet(from, to, deviation, ShooterOf(shooter), facing, units_);
}

bool TTRVGameBattlefield::FireGun(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to,
                                  float deviation, const TAffineVector& facing) {
  return projectiles_.FireGun(from, to, deviation, ShooterOf(shooter), facing, units_);
}

bool TTRVGameBattlefield::FireRocket(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to,
                                     float steering, TGLBaseSceneObject* target, float deviation,
                                     const TAffineVector& facing) {
  return projectiles_.FireRocket(from, to, steering, target, deviation, ShooterOf(shooter), facing);
}

bool TTRVGameBattlefield::CallAirStrike() { return projectiles_.CallAirStrike(targetPoint); }

void TTRVGameBattlefield::PlaySample(std::string_view name, TGLBaseSceneObject* at) {
  if (sound_) sound_(name, at ? at->AbsoluteAffinePosition() : TAffineVector(0));
}

void TTRVGameBattlefield::UpdateHUD(const TTRVHUDReadout& readout) {
  if (hud) hud(readout);
}

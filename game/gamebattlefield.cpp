// The game's battlefield: the units' calls handed to projectiles, effects, sound and HUD.
#include "game/gamebattlefield.h"

#include "units/entity.h"

namespace {

// An engine loops for as long as the unit runs it, a little under the weapons.
constexpr int kEngineLoops = 100000;
constexpr float kEngineVolume = 0.5f;

TTRVShooter ShooterOf(const TTRVEntity& unit) { return {&unit, unit.state.side}; }

}  // namespace

TTRVGameBattlefield::TTRVGameBattlefield(TTRVEffects& effects, TTRVProjectiles& projectiles,
                                         const std::vector<TTRVUnitRef>& units, TTRVSoundCall* sound,
                                         const TGLBaseSceneObject* listener)
    : effects_(effects), projectiles_(projectiles), units_(units), sound_(sound), listener_(listener) {}

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
  if (!sound_) return;
  // The player's own samples (weapon selection) play where the listener is.
  const TAffineVector position = at || !listener_ ? TAffineVector(0) : listener_->AbsoluteAffinePosition();
  sound_->PlaySound(name, at, position, 1, 1);
}

void TTRVGameBattlefield::SetEngineSound(TTRVEntity& unit, int frequency) {
  const char* sample = unit.TypeInfo().engineSample;
  if (!sound_ || !sample || !unit.soundNode) return;
  if (!sound_->SetFrequency(*unit.soundNode, frequency)) {
    sound_->PlaySound(sample, unit.soundNode, {}, kEngineLoops, kEngineVolume);
    sound_->SetFrequency(*unit.soundNode, frequency);
  }
}

void TTRVGameBattlefield::Silence(TTRVEntity& unit) {
  if (sound_ && unit.soundNode) sound_->Silence(*unit.soundNode);
}

void TTRVGameBattlefield::UpdateHUD(const TTRVHUDReadout& readout) {
  if (hud) hud(readout);
}

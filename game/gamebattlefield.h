// The battlefield a running game hands its units: their shots become projectiles, their smoke,
// dust and explosions particles, the player's readout reaches the HUD, and the sounds go to
// the engine's sound call (none: silent).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "effects/effects.h"
#include "effects/projectiles.h"
#include "units/battlefield.h"
#include "world/queries.h"
#include "world/soundcall.h"

class TTRVGameBattlefield : public TTRVBattlefield {
 public:
  // Everything given must outlive the battlefield; `units` is the step's list of units as the
  // searches see them, refreshed by the game before its units move. `sound` may be null; the
  // listener (may be null) is where the player's own samples play.
  TTRVGameBattlefield(TTRVEffects& effects, TTRVProjectiles& projectiles, const std::vector<TTRVUnitRef>& units,
                      TTRVSoundCall* sound, const TGLBaseSceneObject* listener);

  bool FireBullet(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
                  const TAffineVector& facing) override;
  bool FireGun(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
               const TAffineVector& facing) override;
  bool FireRocket(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float steering,
                  TGLBaseSceneObject* target, float deviation, const TAffineVector& facing) override;
  bool CallAirStrike() override;

  void SmokePuffs(const TAffineVector& at) override { effects_.SmokePuffs(at); }
  void WashDust(const TAffineVector& at, const TAffineVector& velocity, bool overWater) override {
    effects_.WashDust(at, velocity, overWater);
  }
  void WakeSpray(const TAffineVector& at, const TAffineVector& velocity, int count) override {
    effects_.WakeSpray(at, velocity, count);
  }
  void BigExplosion(const TAffineVector& at, bool upward) override { effects_.BigExplosion(at, upward); }

  void PlaySample(std::string_view name, TGLBaseSceneObject* at) override;
  void SetEngineSound(TTRVEntity& unit, int frequency) override;
  void Silence(TTRVEntity& unit) override;
  void UpdateHUD(const TTRVHUDReadout& readout) override;

  // Where an air strike called now lands (AirStrikePoint: the enemy under the cross-hair, or
  // the point under the cursor), decided by the game with each readout of the player's unit,
  // before that unit's weapons fire; the HUD only shows it.
  TAffineVector targetPoint{0, 0, 0};
  // The HUD's share of the player's readout.
  std::function<void(const TTRVHUDReadout&)> hud;

 private:
  TTRVEffects& effects_;
  TTRVProjectiles& projectiles_;
  const std::vector<TTRVUnitRef>& units_;
  TTRVSoundCall* sound_;
  const TGLBaseSceneObject* listener_;
};

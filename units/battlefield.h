// TTRVBattlefield: what a unit does to the world around it beyond moving itself: it fires,
// leaves smoke and explosions, makes sounds and, for the player's unit, fills the HUD. The
// units call only this; the game hands every unit the battlefield that carries these out with
// its projectiles, effects, sound and HUD. The base class is the quiet battlefield: weapons
// only take the aim test, so a unit's reload rules run, and nothing is seen or heard.
#pragma once

#include <cstdint>
#include <string_view>

#include "scene/baseobject.h"
#include "scene/vectorgeometry.h"

class TTRVEntity;

// The player's weapons as the HUD shows them.
struct TTRVHUDReadout {
  enum Icon : std::uint8_t { Hidden = 0, Selected = 1, Available = 2 };
  TTRVEntity* unit = nullptr;
  Icon machineGun = Hidden, gun = Hidden, rockets = Hidden;
  bool airStrikeSelected = false;
  bool rocketAimed = false, gunAimed = false;
  float machineGunReady = 0, gunReady = 0, rocketReady = 0;  // 1: loaded
};

class TTRVBattlefield {
 public:
  virtual ~TTRVBattlefield() = default;

  // Weapons. Each answers false, firing nothing, when the facing is further than the
  // deviation from the line to `to` (a deviation of -1 or less: no limit).
  virtual bool FireBullet(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
                          const TAffineVector& facing);
  virtual bool FireGun(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float deviation,
                       const TAffineVector& facing);
  // The rocket steers at `target` (may be null: it flies straight).
  virtual bool FireRocket(TTRVEntity& shooter, const TAffineVector& from, const TAffineVector& to, float steering,
                          TGLBaseSceneObject* target, float deviation, const TAffineVector& facing);
  // Drops the air strike on the HUD's target point; false while it is not ready.
  virtual bool CallAirStrike() { return false; }

  // Effects: a damaged unit's smoke, the dust or spray a rotor or hull throws up (drifting
  // along `velocity`), a boat's wake and the fireball of a destroyed unit (thrown upward for
  // vehicles, spread for turrets and helicopters).
  virtual void SmokePuffs(const TAffineVector& /*at*/) {}
  virtual void WashDust(const TAffineVector& /*at*/, const TAffineVector& /*velocity*/, bool /*overWater*/) {}
  virtual void WakeSpray(const TAffineVector& /*at*/, const TAffineVector& /*velocity*/, int /*count*/) {}
  virtual void BigExplosion(const TAffineVector& /*at*/, bool /*upward*/) {}

  // Sounds: a sample once at the node, or at the camera eye when the node is null; the
  // unit's engine note, kept while it plays; silence for a far unit or a wreck.
  virtual void PlaySample(std::string_view /*name*/, TGLBaseSceneObject* /*at*/) {}
  virtual void SetEngineSound(TTRVEntity&, int /*frequency*/) {}
  virtual void Silence(TTRVEntity&) {}

  // The player's unit, every frame.
  virtual void UpdateHUD(const TTRVHUDReadout&) {}
};

// The battlefield of units that were given none: aim tests only. It holds nothing.
TTRVBattlefield& QuietBattlefield();

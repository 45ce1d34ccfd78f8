// TTRVProjectiles: what the units fire through the world. Machine-gun rounds hit at once and
// leave a tracer; gun shells hit at once and leave a smoke line; rockets fly, steer and explode
// on what they touch; the air strike drops bombs out of the sky. Each kind of shot lives in its
// own list (rockets and bombs as scene objects under the world's containers), steps itself every
// frame and goes when it is done. Explosions and radius damage are the effects' (effects.h).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "effects/effects.h"
#include "scene/baseobject.h"
#include "scene/rendercontext.h"
#include "scene/sprite.h"
#include "world/queries.h"

class TTRVWorld;

// Who fired: never hit by their own rocket, and their side is spared by their own shells.
struct TTRVShooter {
  const TGLBaseSceneObject* object = nullptr;
  int side = -1;
};

inline constexpr float kRocketLifetime = 8;  // seconds before a rocket blows up on its own
inline constexpr float kAirStrikeWait = 60;  // seconds between air strikes
inline constexpr int kBombsPerStrike = 11;

class TTRVRocket : public TGLDummyCube {
 public:
  TTRVShooter shooter;
  TGLBaseSceneObject* target = nullptr;  // what it steers at; null: straight on
  float speed = 1;
  float age = 0;
  float steering = 0;
};

class TTRVBomb : public TGLSprite {
 public:
  float fallSpeed = 40;
};

class TTRVProjectiles {
 public:
  using Sound = std::function<void(std::string_view name, const TAffineVector& at)>;

  // The world and the effects must outlive the projectiles; `sound` may be empty.
  TTRVProjectiles(TTRVWorld& world, TTRVEffects& effects, Sound sound = {});

  // Each answers false, firing nothing, when the facing is off the line to `to` by more than
  // the deviation (-1 or less: no limit). `units` are the world's units as the searches see them.
  bool FireBullet(const TAffineVector& from, const TAffineVector& to, float deviation, const TTRVShooter& shooter,
                  const TAffineVector& facing, TTRVUnitList units);
  bool FireGun(const TAffineVector& from, const TAffineVector& to, float deviation, const TTRVShooter& shooter,
               const TAffineVector& facing, TTRVUnitList units);
  bool FireRocket(const TAffineVector& from, const TAffineVector& to, float steering, TGLBaseSceneObject* target,
                  float deviation, const TTRVShooter& shooter, const TAffineVector& facing);
  // Eleven bombs around the point; false while the last strike's wait runs.
  bool CallAirStrike(const TAffineVector& target);

  // The frame's flights: tracers, then bombs, then rockets, then smoke lines; each list from
  // its last to its first, so that whatever ends may leave its list on the way.
  void StepBullets(float dt);
  void StepBombsAndRockets(float dt, TTRVUnitList units);
  void StepTrails(float dt);

  // Tracers and smoke lines, for the world's drawing callback: one batch of lines.
  void Draw(const TRenderContext& rci) const;

  // The material library the bombs' "Bomb" sprite comes from (the HUD's theme); may be null.
  TGLMaterialLibrary* bombMaterials = nullptr;

  struct Bullet {
    float life = 0;
    TAffineVector head, tail;
  };
  struct CannonTrail {
    TAffineVector from, to;
    float life = 0.6f;
  };
  const std::vector<Bullet>& Bullets() const { return bullets_; }
  const std::vector<CannonTrail>& CannonTrails() const { return cannonTrails_; }

 private:
  // Where a shot along the facing stops: the ground or an object in the way, or `to`.
  TAffineVector ShotEnd(const TAffineVector& from, const TAffineVector& to, const TAffineVector& facing) const;
  bool StepRocket(TTRVRocket& rocket, float dt, TTRVUnitList units);
  void Play(std::string_view name, const TAffineVector& at) const;

  TTRVWorld& world_;
  TTRVEffects& effects_;
  Sound sound_;
  std::vector<Bullet> bullets_;
  std::vector<CannonTrail> cannonTrails_;
};

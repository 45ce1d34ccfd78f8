// TTRVEffects: the live particles and burning debris of a game, the eight spawners that make
// them for the game's events, and the radius damage that goes with shell and bomb hits.
// Every spawner measures its distance from the camera first and thins itself out with it,
// spawning nothing beyond its range, so fighting far from the player costs nothing.
// Only Draw touches GL (effectsdraw.cpp); everything else runs headless.
#pragma once

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "effects/particle.h"
#include "scene/baseobject.h"
#include "world/queries.h"

struct TRenderContext;

// Burning debris thrown by a big explosion: it falls, trails smoke and fire, and goes out
// where it meets the ground.
struct TTRVFXFireTrail {
  TAffineVector position{0, 0, 0};
  TAffineVector velocity{0, 0, 0};
};

// Plays a sample by name at a world position; volume 1 is full.
using TTRVFXSound = std::function<void(std::string_view name, const TAffineVector& at, float volume)>;

class TTRVEffects {
 public:
  // `ground`: where fire trails go out. `camera`: distances are measured from its absolute
  // position (null: every distance is 0, so every spawner works at its nearest level); it
  // must outlive this object. `sound` may be empty: then nothing is heard.
  TTRVEffects(TTRVGroundView ground, const TGLBaseSceneObject* camera, TTRVFXSound sound = {});

  // Rising grey smoke of a damaged unit.
  void SmokePuffs(const TAffineVector& at);
  // A machine-gun bullet's impact: a splash below height 0.4, else dust and a ricochet.
  void ImpactPuff(const TAffineVector& at);
  // Rotor or hull wash: dust, or spray over water, blown outward along the base velocity.
  void WashDust(const TAffineVector& at, const TAffineVector& baseVelocity, bool overWater);
  // A boat's wake; `count` is the particle basis at the farthest level.
  void WakeSpray(const TAffineVector& at, const TAffineVector& baseVelocity, int count);
  // A destroyed unit or a bomb: glow, fireball, sparks (none downward when `upward`) and,
  // near the camera, burning debris.
  void BigExplosion(const TAffineVector& at, bool upward);
  // A shell or rocket: a splash at height 0.1 or below, else a fireball with a smoke ring.
  void ShellExplosion(const TAffineVector& at);
  // Smoke along `step` (the way moved this frame) and a little fire at `at`. A larger `rate`
  // means fewer puffs; a rate of 0 or below gives the most (50 steps).
  void TrailEmitter(const TAffineVector& at, const TAffineVector& step, float rate);
  // Flames along `facing` (a unit vector) and a flash one unit ahead of the muzzle.
  void MuzzleBlast(const TAffineVector& at, const TAffineVector& facing);

  // A shell explosion, then every near unit (not isFar) of a side other than the attacker's,
  // other than the attacker itself, whose centre is nearer to `at` than the radius loses
  // `damage` from its armour. Units without armour are passed over.
  void ShellHit(const TAffineVector& at, int attackerSide, const TGLBaseSceneObject* attackerObject, float radius,
                float damage, TTRVUnitList units);
  // An upward big explosion, then every near unit of every side within the radius loses
  // `damage`.
  void BombHit(const TAffineVector& at, float radius, float damage, TTRVUnitList units);

  // Ages and moves the particles, dropping those past their life, then moves the fire
  // trails (which emit new particles) and puts out those that reached the ground.
  void Step(float dt);

  // Draws every particle back to front from the context's eye in one batch, for the world's
  // direct-drawing callback. Restores the GL state and matrices it changes.
  void Draw(const TRenderContext& rci);

  // Distance from the camera; 0 without one.
  float CameraDistance(const TAffineVector& at) const;

  int ParticleCount() const { return static_cast<int>(particles_.size()); }
  int FireTrailCount() const { return static_cast<int>(fireTrails_.size()); }
  // Discs the last Draw put on screen: the living ones that had not faded out.
  int DrawnCount() const { return static_cast<int>(drawOrder_.size()); }
  const std::vector<TTRVFX>& Particles() const { return particles_; }
  const std::vector<TTRVFXFireTrail>& FireTrails() const { return fireTrails_; }

 private:
  void Add(TTRVFXinfo&& info) { particles_.emplace_back(std::move(info)); }
  void Play(std::string_view name, const TAffineVector& at, float volume = 1) const;
  void StepFireTrail(TTRVFXFireTrail& trail, float dt);

  TTRVGroundView ground_;
  const TGLBaseSceneObject* camera_;
  TTRVFXSound sound_;
  std::vector<TTRVFX> particles_;
  std::vector<TTRVFXFireTrail> fireTrails_;

  // Scratch of Draw, kept so that a frame allocates nothing once the effects have peaked.
  struct Vertex {
    float x, y, z;
    float r, g, b, a;
  };
  std::vector<std::pair<float, int>> drawOrder_;
  std::vector<Vertex> vertices_;
  std::vector<std::uint32_t> indices_;  // three a triangle: a disc's rim vertices share its centre
  std::vector<std::vector<std::pair<float, float>>> rims_;  // cos, sin per rim vertex, by segments
};

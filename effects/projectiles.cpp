// The shots in flight. Rounds and shells resolve the moment they are fired (their lines are
// only drawn afterwards); rockets and bombs are scene objects that move every frame.
#include "effects/projectiles.h"

#include <algorithm>
#include <string>

#include "platform/random.h"
#include "scene/gl.h"
#include "terrain/sector.h"
#include "terrain/sectorstream.h"
#include "world/world.h"

namespace {

constexpr float kTracerSpeed = 40;  // units per second along the tracer
constexpr float kBulletDamage = 10;
constexpr float kShellRadius = 3, kShellDamage = 100;
constexpr float kRocketRadius = 3, kRocketDamage = 50;
constexpr float kRocketTopSpeed = 10;
constexpr float kBombRadius = 15, kBombDamage = 20;

float Random01() { return static_cast<float>(platform::Random().Real()); }

}  // namespace

TTRVProjectiles::TTRVProjectiles(TTRVWorld& world, TTRVEffects& effects, Sound sound)
    : world_(world), effects_(effects), sound_(std::move(sound)) {}

void TTRVProjectiles::Play(std::string_view name, const TAffineVector& at) const {
  if (sound_) sound_(name, at);
}

TAffineVector TTRVProjectiles::ShotEnd(const TAffineVector& from, const TAffineVector& to,
                                       const TAffineVector& facing) const {
  // The shot goes as far as the aim line is clear, but along the barrel: the line drawn is the
  // one the gun really fired.
  const TTRVTrace trace = TraceSegment(GroundOf(world_), from, to);
  const float reach = VectorLength(trace.lastVisible - from);
  return from + facing * reach;
}

bool TTRVProjectiles::FireBullet(const TAffineVector& from, const TAffineVector& to, float deviation,
                                 const TTRVShooter& shooter, const TAffineVector& facing, TTRVUnitList units) {
  if (!CanAim(from, to, deviation, facing)) return false;
  const TAffineVector end = ShotEnd(from, to, facing);
  if (world_.probeBox) {
    const TTRVUnitRef* hit = UnitOnSegment(units, *world_.probeBox, from, end, shooter.object, facing);
    // Rounds do not hurt friends; shells (below) do not care whom they meet.
    if (hit && hit->side != shooter.side && hit->armour) *hit->armour -= kBulletDamage;
  }
  bullets_.push_back({std::min(VectorLength(end - from) / kTracerSpeed, 1.0f), from, end});
  effects_.ImpactPuff(end);
  return true;
}

bool TTRVProjectiles::FireGun(const TAffineVector& from, const TAffineVector& to, float deviation,
                              const TTRVShooter& shooter, const TAffineVector& facing, TTRVUnitList units) {
  if (!CanAim(from, to, deviation, facing)) return false;
  TAffineVector end = ShotEnd(from, to, facing);
  if (world_.probeBox)
    if (const TTRVUnitRef* hit = UnitOnSegment(units, *world_.probeBox, from, end, shooter.object, facing))
      end = hit->Position();
  cannonTrails_.push_back({from, end, 0.6f});
  effects_.ShellHit(end, shooter.side, shooter.object, kShellRadius, kShellDamage, units);
  effects_.MuzzleBlast(from, facing);
  return true;
}

bool TTRVProjectiles::FireRocket(const TAffineVector& from, const TAffineVector& to, float steering,
                                 TGLBaseSceneObject* target, float deviation, const TTRVShooter& shooter,
                                 const TAffineVector& facing) {
  if (!CanAim(from, to, deviation, facing) || !world_.rocketRoot) return false;
  auto* rocket = world_.rocketRoot->AddNewChild<TTRVRocket>();
  // A thin rod one unit long along its flight, so its box touches what it flies into.
  rocket->Scale.SetVector(0.01f, 0.01f, 1);
  rocket->Position.SetPoint(from);
  rocket->Direction.SetVector(VectorNormalizeOr(facing, {0, 0, 1}));
  rocket->shooter = shooter;
  rocket->target = target;
  rocket->steering = steering;
  return true;
}

bool TTRVProjectiles::CallAirStrike(const TAffineVector& target) {
  if (world_.airStrikeTimer > 0 || !world_.bombRoot) return false;
  for (int i = 0; i < kBombsPerStrike; ++i) {
    const float x = target.x + Random01() * 10 - 5;
    const float z = target.z + Random01() * 10 - 5;
    auto* bomb = world_.bombRoot->AddNewChild<TTRVBomb>();
    bomb->Position.SetPoint(x, 255, z);
    bomb->fallSpeed = 40 + Random01() * 40;
    bomb->SetSize(0.2f, 0.2f);
    bomb->Material.MaterialLibrary = bombMaterials;
    bomb->Material.LibMaterialName = "Bomb";
  }
  world_.airStrikeTimer = kAirStrikeWait;
  Play("AirStrike" + std::to_string(platform::Random().Int(2)), target);
  return true;
}

void TTRVProjectiles::StepBullets(float dt) {
  for (std::size_t i = bullets_.size(); i-- > 0;) {
    Bullet& b = bullets_[i];
    b.life -= dt;
    b.head += VectorNormalize(b.tail - b.head) * (dt * kTracerSpeed);
    if (b.life < 0) {
      b = bullets_.back();
      bullets_.pop_back();
    }
  }
}

bool TTRVProjectiles::StepRocket(TTRVRocket& rocket, float dt, TTRVUnitList units) {
  const TAffineVector direction(rocket.AbsoluteDirection());
  effects_.TrailEmitter(rocket.AbsoluteAffinePosition(), direction, dt);
  if (rocket.target) {
    const TAffineVector toTarget = rocket.target->AbsoluteAffinePosition() - rocket.AbsoluteAffinePosition();
    const TAffineVector turned = direction + (direction + toTarget) * (dt * rocket.steering);
    rocket.Direction.SetVector(VectorNormalizeOr(turned, direction));
  }
  rocket.Move(dt * rocket.speed);
  if (rocket.speed < kRocketTopSpeed) rocket.speed += dt * kRocketTopSpeed;
  rocket.age += dt;

  const TAffineVector at = rocket.AbsoluteAffinePosition();
  const TTRVUnitRef* unit = UnitTouching(units, rocket, false);
  const bool hitUnit = unit && unit->object != rocket.shooter.object;
  const bool hitObstacle = ObstacleTouching(rocket, ObstacleBoxes(SectorAt(world_, at)), 1) != nullptr;
  const bool hitGround = TopHeight(GroundOf(world_), at) > at.y;
  if (!hitUnit && !hitObstacle && !hitGround && rocket.age <= kRocketLifetime) return false;
  effects_.ShellHit(at, rocket.shooter.side, rocket.shooter.object, kRocketRadius, kRocketDamage, units);
  return true;
}

void TTRVProjectiles::StepBombsAndRockets(float dt, TTRVUnitList units) {
  const TTRVGroundView ground = GroundOf(world_);
  if (TGLBaseSceneObject* bombs = world_.bombRoot) {
    for (int k = bombs->Count() - 1; k >= 0; --k) {
      auto* bomb = dynamic_cast<TTRVBomb*>(bombs->Children(k));
      if (!bomb) continue;
      const float y = bomb->Position.Y() - dt * bomb->fallSpeed;
      const float top = TopHeight(ground, bomb->Position.AsAffineVector());
      if (y >= top) {
        bomb->Position.SetY(y);
        continue;
      }
      bomb->Position.SetY(top);
      effects_.BombHit(bomb->Position.AsAffineVector(), kBombRadius, kBombDamage, units);
      bomb->Free();
    }
  }
  if (TGLBaseSceneObject* rockets = world_.rocketRoot) {
    for (int k = rockets->Count() - 1; k >= 0; --k) {
      auto* rocket = dynamic_cast<TTRVRocket*>(rockets->Children(k));
      if (rocket && StepRocket(*rocket, dt, units)) rocket->Free();
    }
  }
}

void TTRVProjectiles::StepTrails(float dt) {
  for (std::size_t i = cannonTrails_.size(); i-- > 0;) {
    cannonTrails_[i].life -= dt;
    if (cannonTrails_[i].life < 0) {
      cannonTrails_[i] = cannonTrails_.back();
      cannonTrails_.pop_back();
    }
  }
}

void TTRVProjectiles::Draw(const TRenderContext&) const {
  if (bullets_.empty() && cannonTrails_.empty()) return;
  struct Vertex {
    float x, y, z;
    float r, g, b, a;
  };
  std::vector<Vertex> lines;
  lines.reserve(2 * (bullets_.size() + cannonTrails_.size()));
  for (const CannonTrail& t : cannonTrails_) {
    // The smoke line fades from the muzzle and thins out as it ages.
    const float g = t.life / 3 + 0.5f;
    lines.push_back({t.from.x, t.from.y, t.from.z, g, g, g, 0});
    lines.push_back({t.to.x, t.to.y, t.to.z, g - 0.2f, g - 0.2f, g - 0.2f, 0.9f});
  }
  for (const Bullet& b : bullets_) {
    lines.push_back({b.tail.x, b.tail.y, b.tail.z, 1, 0, 0, 0.05f});
    lines.push_back({b.head.x, b.head.y, b.head.z, 1, 1, 0, 1});
  }
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &lines[0].x);
  glColorPointer(4, GL_FLOAT, sizeof(Vertex), &lines[0].r);
  glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size()));
  glPopClientAttrib();
  glPopAttrib();
}

// The spawners, the radius damage and the step of the game's effects. The ladders and
// particle groups are the game's tuning: each spawner's numbers sit together in its body.
#include "effects/effects.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/random.h"

namespace {

// One level of a distance ladder: used when the camera distance is above `above`.
// n: particle basis, s: rim segments, f: size factor, trails: burning debris.
struct Level {
  float above;
  int n;
  int s;
  float f;
  int trails = 0;
};

template <std::size_t K>
const Level& Pick(const Level (&ladder)[K], float distance) {
  for (const Level& level : ladder)
    if (distance > level.above) return level;
  return ladder[K - 1];
}

constexpr float kNearest = -1;  // distances are never negative: the last rung always matches

float Rnd() { return static_cast<float>(platform::Random().Real()); }
float Range(float a, float b) { return a + Rnd() * (b - a); }
int RandomInt(int n) { return platform::Random().Int(n); }
TAffineVector Jitter(float r) {
  const float x = Range(-r, r), y = Range(-r, r), z = Range(-r, r);
  return {x, y, z};
}
std::uint8_t Segments(int s) { return static_cast<std::uint8_t>(std::clamp(s, 0, 255)); }

TVector WithAlpha(TVector c, float a) {
  c.a = a;
  return c;
}
TVector Grey(float c, float a) { return {c, c, c, a}; }
TVector WaterColour(float alpha) {
  const float g = (5 + RandomInt(10)) / 255.0f, b = (150 + RandomInt(10)) / 255.0f;
  return {0, g, b, alpha};
}
TVector DustColour(float alpha) {
  const float r = (75 + RandomInt(10)) / 255.0f, g = (55 + RandomInt(10)) / 255.0f, b = (30 + RandomInt(10)) / 255.0f;
  return {r, g, b, alpha};
}
std::string Numbered(std::string_view stem, int variants) {
  return std::string(stem) + static_cast<char>('0' + RandomInt(variants));
}


// A pair of bounds a draw falls between.
struct Span {
  float lo, hi;
};

// The red glow at the heart of an explosion: it fades by `keys.lo` seconds and is gone at
// `keys.hi`; sizes and lives differ between a vehicle's and a shell's.
TTRVFXinfo Glow(const TAffineVector& at, Span keys, Span size, Span life, float factor, std::uint8_t segments) {
  TTRVFXinfo p;
  p.position = at + Jitter(0.1f);
  const float vx = Range(-0.01f, 0.01f), vy = Range(0.02f, 1.02f), vz = Range(-0.01f, 0.01f);
  p.velocity = {vx, vy, vz};
  const float r0 = Range(0.8f, 1.0f), a0 = Range(0.9f, 1.0f), r1 = Range(0.6f, 0.8f), a1 = Range(0.4f, 0.5f);
  const TVector faded{r1, 0, 0, a1};
  p.colorKeys = {{{r0, 0, 0, a0}, 0}, {faded, keys.lo}, {WithAlpha(faded, 0), keys.hi}};
  p.size = Range(size.lo, size.hi) * factor;
  p.life = Range(life.lo, life.hi);
  p.segments = segments;
  return p;
}

// The yellow fireball rising from an explosion.
TTRVFXinfo Fireball(const TAffineVector& at, Span size, Span life, float factor, std::uint8_t segments) {
  TTRVFXinfo p;
  p.position = at + Jitter(0.1f);
  const float vx = Range(-0.02f, 0.02f), vy = Range(0.04f, 1.04f), vz = Range(-0.02f, 0.02f);
  p.velocity = {vx, vy, vz};
  const float r0 = Range(0.8f, 1.0f), g0 = Range(0.8f, 1.0f), a0 = Range(0.9f, 1.0f);
  const float r1 = Range(0.6f, 0.8f), g1 = Range(0.6f, 0.8f), a1 = Range(0.4f, 0.5f);
  p.colorKeys = {{{r0, g0, 0, a0}, 0}, {{r1, g1, 0, a1}, 0.3f}, {TVector(0), 0.8f}};
  p.size = Range(size.lo, size.hi) * factor;
  p.life = Range(life.lo, life.hi);
  p.segments = segments;
  return p;
}

}  // namespace

TTRVEffects::TTRVEffects(TTRVGroundView ground, const TGLBaseSceneObject* camera, TTRVFXSound sound)
    : ground_(ground), camera_(camera), sound_(std::move(sound)) {}

float TTRVEffects::CameraDistance(const TAffineVector& at) const {
  return camera_ ? VectorLength(at - camera_->AbsoluteAffinePosition()) : 0.0f;
}

void TTRVEffects::Play(std::string_view name, const TAffineVector& at, float volume) const {
  if (sound_) sound_(name, at, volume);
}

void TTRVEffects::SmokePuffs(const TAffineVector& at) {
  static constexpr Level kLadder[] = {{30, 1, 6, 1.3f}, {20, 2, 6, 1.2f}, {10, 3, 8, 1.1f}, {kNearest, 4, 8, 1.0f}};
  const float d = CameraDistance(at);
  if (d > 40) return;
  const Level& l = Pick(kLadder, d);
  for (int i = 0; i < l.n; ++i) {
    TTRVFXinfo p;
    p.position = at + Jitter(0.1f);
    const float vx = Range(-0.1f, 0.1f), vy = Range(0.2f, 1.2f), vz = Range(-0.1f, 0.1f);
    p.velocity = {vx, vy, vz};
    const float c = Range(0.4f, 0.6f), startAlpha = Range(0.9f, 1.0f);
    const float e = Range(0.2f, 0.4f), midAlpha = Range(0.4f, 0.5f);
    p.colorKeys = {{Grey(c, startAlpha), 0}, {Grey(e, midAlpha), 1.0f}, {TVector(0), 2.0f}};
    p.size = Range(0.1f, 0.15f) * l.f;
    p.life = Range(2.1f, 2.3f);
    p.segments = Segments(l.s);
    Add(std::move(p));
  }
}

void TTRVEffects::ImpactPuff(const TAffineVector& at) {
  if (CameraDistance(at) > 13) return;
  TTRVFXinfo p;
  p.position = at;
  p.velocity = {0, Range(0.02f, 0.12f), 0};
  TVector colour;
  if (at.y < 0.4f) {
    colour = WaterColour(0);
    colour.a = Range(0.2f, 0.4f);
  } else {
    colour = DustColour(0);
    colour.a = Range(0.3f, 0.5f);
    Play(Numbered("ric", 5), at, 0.5f);
  }
  p.colorKeys = {{colour, 0}, {WithAlpha(colour, 0), 1.0f}};
  p.size = Range(0.1f, 0.15f);
  p.life = Range(1.5f, 1.7f);
  p.segments = 6;
  Add(std::move(p));
}

void TTRVEffects::WashDust(const TAffineVector& at, const TAffineVector& baseVelocity, bool overWater) {
  static constexpr Level kLadder[] = {{15, 4, 6, 1.3f}, {10, 8, 6, 1.2f}, {kNearest, 10, 10, 1.0f}};
  const float d = CameraDistance(at);
  if (d > 20) return;
  const Level& l = Pick(kLadder, d);
  for (int i = 0; i <= l.n; ++i) {
    TTRVFXinfo p;
    p.position = {at.x, at.y + 0.2f, at.z};
    const float wx = Range(-0.5f, 0.5f), wz = Range(-0.5f, 0.5f);
    TAffineVector w = TAffineVector(wx, 0, wz) + baseVelocity;
    w.y = Range(0, 0.02f);
    p.velocity = VectorNormalize(w) * Range(3, 4);
    const float alpha = Range(0.01f, 0.11f);
    const TVector colour = overWater ? WaterColour(alpha) : DustColour(alpha);
    p.colorKeys = {{Grey(0.25f, 0), 0}, {colour, 0.25f}, {TVector(0), 0.5f}};
    p.size = Range(0.3f, 0.5f) * l.f;
    p.life = Range(0.7f, 0.9f);
    p.segments = Segments(l.s);
    Add(std::move(p));
  }
}

void TTRVEffects::WakeSpray(const TAffineVector& at, const TAffineVector& baseVelocity, int count) {
  static constexpr Level kLadder[] = {{15, 1, 6, 1.3f}, {10, 2, 6, 1.2f}, {kNearest, 4, 6, 1.0f}};
  const float d = CameraDistance(at);
  if (d > 20) return;
  const Level& l = Pick(kLadder, d);
  const int n = l.n * std::max(count, 0);
  for (int i = 0; i <= n; ++i) {
    TTRVFXinfo p;
    p.position = at;
    const float vx = Range(-0.125f, 0.125f), vy = Range(-1.5f, 1.5f), vz = Range(-0.125f, 0.125f);
    p.velocity = TAffineVector(vx, vy, vz) + baseVelocity;
    TVector colour;
    if (Rnd() < 0.5f) {
      const float w = Range(0.8f, 1.0f);
      colour = Grey(w, Range(0.2f, 0.3f));
    } else {
      colour = WaterColour(0);
      colour.a = Range(0.2f, 0.3f);
    }
    p.colorKeys = {{colour, 0}, {WithAlpha(colour, 0), 0.5f}};
    p.size = Range(0.2f, 0.3f) * l.f;
    p.life = Range(0.7f, 0.9f);
    p.segments = 6;
    Add(std::move(p));
  }
}

void TTRVEffects::BigExplosion(const TAffineVector& at, bool upward) {
  static constexpr Level kLadder[] = {
      {30, 1, 6, 1.5f, 0}, {20, 4, 6, 1.2f, 0}, {10, 8, 8, 1.1f, 4}, {kNearest, 12, 10, 1.0f, 6}};
  const float d = CameraDistance(at);
  if (d > 60) return;
  const Level& l = Pick(kLadder, d);
  for (int i = 0; i < l.n / 2; ++i) Add(Glow(at, {0.25f, 0.5f}, {0.6f, 0.8f}, {0.8f, 1.0f}, l.f, Segments(2 * l.s)));
  for (int i = 0; i < l.n; ++i) Add(Fireball(at, {0.1f, 0.3f}, {1.0f, 1.2f}, l.f, Segments(l.s)));
  for (int i = 0; i < 2 * l.n; ++i) {  // sparks
    TTRVFXinfo p;
    p.position = at + Jitter(0.2f);
    p.velocity = VectorNormalize(Jitter(0.5f)) * 10.0f;
    if (upward) p.velocity.y = std::abs(p.velocity.y);
    const float g = Range(0.8f, 1.0f), a = Range(0.4f, 0.5f);
    p.colorKeys = {{{1, 1, 1, 0.5f}, 0}, {Grey(g, a), 0.1f}, {TVector(0), 0.2f}};
    p.size = Range(0.3f, 0.5f) * l.f;
    p.life = 0.3f;
    p.segments = Segments(l.s);
    Add(std::move(p));
  }
  for (int i = 0; i < l.trails; ++i) {  // burning debris
    const float vx = Range(-3, 3), vy = Range(0, 3), vz = Range(-3, 3);
    fireTrails_.push_back({at, {vx, vy, vz}});
  }
  Play(Numbered("explo", 3), at);
}

void TTRVEffects::ShellExplosion(const TAffineVector& at) {
  static constexpr Level kLadder[] = {{30, 1, 6, 1.5f}, {20, 4, 6, 1.2f}, {10, 8, 8, 1.1f}, {kNearest, 12, 10, 1.0f}};
  const float d = CameraDistance(at);
  if (d > 120) return;
  const Level& l = Pick(kLadder, d);
  // A ring of particles on a disc of radius up to sqrt(2) around the centre, rising and
  // growing the more the nearer the middle they start.
  auto ringParticle = [&](float y) {
    TTRVFXinfo p;
    const float dx = Range(-1, 1), dz = Range(-1, 1);
    const float ring = VectorLength(TAffineVector(dx, 0, dz));
    p.position = {at.x + dx, y, at.z + dz};
    const float vx = Range(-0.1f, 0.1f), vy = (1.5f - ring) + Range(0, 0.2f), vz = Range(-0.1f, 0.1f);
    p.velocity = {vx, vy, vz};
    p.size = ((1 - ring) + Range(0, 0.2f)) * l.f;
    p.segments = Segments(l.s);
    return p;
  };

  if (at.y <= 0.1f) {
    for (int i = 0; i < 2 * l.n; ++i) {
      TTRVFXinfo p = ringParticle(0);
      const float b0 = Range(0.4f, 0.9f), a0 = Range(0.9f, 1.0f), b1 = Range(0.8f, 1.0f), a1 = Range(0.4f, 0.5f);
      const TVector foam{0.9f, 0.9f, b1, a1};
      p.colorKeys = {{{0, 0, b0, a0}, 0}, {foam, 0.4f}, {WithAlpha(foam, 0), 0.5f}};
      p.life = Range(0.7f, 1.1f);
      Add(std::move(p));
    }
    Play("Splash0", at);
    return;
  }

  for (int i = 0; i < l.n / 2; ++i) Add(Glow(at, {0.2f, 0.3f}, {0.8f, 1.2f}, {0.5f, 0.7f}, l.f, Segments(2 * l.s)));
  for (int i = 0; i < l.n; ++i) Add(Fireball(at, {0.2f, 0.6f}, {1.0f, 1.4f}, l.f, Segments(l.s)));
  for (int i = 0; i < l.n; ++i) {  // smoke ring
    TTRVFXinfo p = ringParticle(at.y + 0.1f);
    p.colorKeys = {{Grey(0.1f, Range(0.2f, 0.3f)), 0}, {TVector(0), 0.7f}};
    p.life = Range(1.0f, 1.4f);
    Add(std::move(p));
  }
  Play(Numbered("explo", 3), at);
}

void TTRVEffects::TrailEmitter(const TAffineVector& at, const TAffineVector& step, float rate) {
  // Here n is the level L: it sets the smoke density and the fire count.
  static constexpr Level kLadder[] = {{30, 1, 6, 1.3f}, {20, 2, 6, 1.2f}, {10, 3, 8, 1.1f}, {kNearest, 4, 8, 1.0f}};
  const float d = CameraDistance(at);
  if (d > 40) return;
  const Level& l = Pick(kLadder, d);
  constexpr float kMostSteps = 50;
  // A rate of 0 or below (or one so small the quotient overflows) asks for the densest trail.
  const float g = rate > 0 ? std::min(0.2f / rate * static_cast<float>(l.n), kMostSteps) : kMostSteps;
  const int smoke = static_cast<int>(g) + 1;
  const float stepLength = VectorLength(step);
  for (int i = 0; i < smoke; ++i) {
    TTRVFXinfo p;
    p.position = at + step * (stepLength * static_cast<float>(i) / g);
    const float vx = Range(-0.1f, 0.1f), vy = Range(0, 0.2f), vz = Range(-0.1f, 0.1f);
    p.velocity = {vx, vy, vz};
    const float c = Range(0.7f, 0.9f);
    const TVector colour = Grey(c, Range(0.2f, 0.3f));
    p.colorKeys = {{colour, 0}, {WithAlpha(colour, 0), 1.0f}};
    p.size = Range(0.1f, 0.15f) * l.f;
    p.life = Range(1.0f, 1.01f);
    p.segments = Segments(l.s);
    Add(std::move(p));
  }
  for (int i = 0; i < l.n / 3; ++i) {
    TTRVFXinfo p;
    p.position = at;
    const float vx = Range(-0.1f, 0.1f), vy = Range(0, 0.1f), vz = Range(-0.1f, 0.1f);
    p.velocity = {vx, vy, vz};
    const float r = Range(0.8f, 1.0f), a = Range(0.5f, 0.6f);
    const TVector colour{r, 0, 0, a};
    p.colorKeys = {{colour, 0}, {WithAlpha(colour, 0), 0.5f}};
    p.size = Range(0.05f, 0.1f) * l.f;
    p.life = Range(0.5f, 0.51f);
    p.segments = Segments(l.s);
    Add(std::move(p));
  }
}

void TTRVEffects::MuzzleBlast(const TAffineVector& at, const TAffineVector& facing) {
  static constexpr Level kLadder[] = {{20, 4, 6, 1.3f}, {10, 8, 6, 1.2f}, {kNearest, 12, 8, 1.0f}};
  const float d = CameraDistance(at);
  if (d > 30) return;
  const Level& l = Pick(kLadder, d);
  for (int i = 0; i <= l.n; ++i) {  // flames
    TTRVFXinfo p;
    p.position = at;
    p.velocity = facing * Range(5, 15);
    const float r = Range(0.7f, 0.9f), c = Range(0.2f, 0.7f), a = Range(0.2f, 0.3f);
    p.colorKeys = {{{r, 0.2f, 0, 0.9f}, 0}, {Grey(c, a), 0.25f}, {TVector(0), 0.5f}};
    p.size = Range(0.05f, 0.1f) * l.f;
    p.life = Range(0.5f, 0.7f);
    p.segments = Segments(l.s);
    Add(std::move(p));
  }
  TTRVFXinfo flash;
  flash.position = at + facing;
  flash.colorKeys = {{{Range(0.8f, 1.0f), 0, 0, 1.0f}, 0}, {TVector(0), 0.5f}};
  flash.size = Range(0.2f, 0.3f) * l.f;
  flash.life = Range(0.5f, 0.7f);
  flash.segments = Segments(l.s);
  Add(std::move(flash));
}

void TTRVEffects::ShellHit(const TAffineVector& at, int attackerSide, const TGLBaseSceneObject* attackerObject,
                           float radius, float damage, TTRVUnitList units) {
  ShellExplosion(at);
  for (const TTRVUnitRef& unit : units) {
    if (unit.isFar || !unit.armour || unit.side == attackerSide || unit.object == attackerObject) continue;
    if (VectorLength(unit.Position() - at) < radius) *unit.armour -= damage;
  }
}

void TTRVEffects::BombHit(const TAffineVector& at, float radius, float damage, TTRVUnitList units) {
  BigExplosion(at, true);
  for (const TTRVUnitRef& unit : units) {
    if (unit.isFar || !unit.armour) continue;
    if (VectorLength(unit.Position() - at) < radius) *unit.armour -= damage;
  }
}

void TTRVEffects::StepFireTrail(TTRVFXFireTrail& trail, float dt) {
  // Air drag slows the debris sideways; upward it also falls under gravity.
  trail.velocity.x *= 1 - dt;
  trail.velocity.z *= 1 - dt;
  trail.velocity.y = trail.velocity.y * (1 - dt / 2) - 2 * dt;
  const TAffineVector step = trail.velocity * dt;
  trail.position += step;
  TrailEmitter(trail.position, step, 0.2f);
}

void TTRVEffects::Step(float dt) {
  for (TTRVFX& p : particles_) p.Advance(dt);
  std::erase_if(particles_, [](const TTRVFX& p) { return p.Expired(); });
  // Emitting appends to the particles only, so the trails can be walked by reference.
  for (TTRVFXFireTrail& trail : fireTrails_) StepFireTrail(trail, dt);
  std::erase_if(fireTrails_,
                [&](const TTRVFXFireTrail& t) { return GroundHeight(ground_, t.position) > t.position.y; });
}

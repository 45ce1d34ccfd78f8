// The game's effects: colour ramps, the distance ladders and ranges of the spawners, splash
// or fireball, sparks of an upward blast, radius damage, and the life of particles and
// burning debris.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effects/effects.h"
#include "platform/random.h"

namespace {

struct Heard {
  std::string name;
  TAffineVector at;
  float volume;
};

// Effects seen from a dummy camera, with every sound they play written down.
class Field {
 public:
  explicit Field(TTRVGroundView ground = {}) : fx(ground, &camera, [this](std::string_view name, const TAffineVector& at, float volume) {
    heard.push_back({std::string(name), at, volume});
  }) {
    platform::Random().Seed(7);
  }
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  // Puts the camera `distance` away from the point, level with it along -X.
  void CameraAt(const TAffineVector& point, float distance) {
    camera.Position.SetPoint(point.x - distance, point.y, point.z);
  }

  TGLDummyCube camera;
  std::vector<Heard> heard;
  TTRVEffects fx;
};

// Unit refs over dummy cubes and plain armour values.
struct Units {
  std::deque<TGLDummyCube> objects;
  std::deque<float> armour;
  std::vector<TTRVUnitRef> refs;

  void Add(TAffineVector at, int side, bool far = false, float hp = 100) {
    objects.emplace_back().Position.SetPoint(at);
    armour.push_back(hp);
    TTRVUnitRef r;
    r.object = &objects.back();
    r.armour = &armour.back();
    r.side = side;
    r.isFar = far;
    refs.push_back(r);
  }
};

using Spawn = std::function<void(TTRVEffects&, const TAffineVector&)>;

bool IsNumbered(const std::string& name, const std::string& stem, int variants) {
  return name.size() == stem.size() + 1 && name.rfind(stem, 0) == 0 && name.back() >= '0' &&
         name.back() < '0' + variants;
}

TEST(EffectsParticle, ColourFollowsTheKeysAndHoldsTheLastOne) {
  TTRVFXinfo info;
  info.colorKeys = {{{1, 0, 0, 1}, 0}, {{0, 1, 0, 0.5f}, 1}, {{0, 0, 1, 0}, 2}};
  info.life = 10;
  const TTRVFX p(info);
  const struct {
    float t;
    TVector colour;
  } cases[] = {
      {0, {1, 0, 0, 1}},           {0.5f, {0.5f, 0.5f, 0, 0.75f}}, {1, {0, 1, 0, 0.5f}},
      {1.5f, {0, 0.5f, 0.5f, 0.25f}}, {2, {0, 0, 1, 0}},          {7, {0, 0, 1, 0}},
  };
  for (const auto& c : cases) {
    const TVector got = p.ColorAt(c.t);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c.colour[i], 1e-6f) << "t " << c.t << " channel " << i;
  }

  TTRVFXinfo single;
  single.colorKeys = {{{0.2f, 0.3f, 0.4f, 0.5f}, 0}};
  EXPECT_EQ(TTRVFX(single).ColorAt(3), TVector(0.2f, 0.3f, 0.4f, 0.5f));
  EXPECT_EQ(TTRVFX(TTRVFXinfo{}).ColorAt(0), TVector(0)) << "no keys: nothing to see";
}

TEST(EffectsParticle, APuffPastItsLastKeyKeepsThatColourUntilItsLifeEnds) {
  Field f;
  f.fx.SmokePuffs({0, 5, 0});  // last key (0, 0, 0, 0) at 2.0, life 2.1 .. 2.3
  ASSERT_EQ(f.fx.ParticleCount(), 4);
  f.fx.Step(2.05f);
  ASSERT_EQ(f.fx.ParticleCount(), 4) << "still alive";
  for (const TTRVFX& p : f.fx.Particles()) EXPECT_EQ(p.Color(), TVector(0));
}

TEST(EffectsSpawners, SmokePuffsThinOutWithDistance) {
  const struct {
    float distance;
    int puffs;
    int segments;
    float factor;
  } cases[] = {{5, 4, 8, 1.0f}, {15, 3, 8, 1.1f}, {25, 2, 6, 1.2f}, {35, 1, 6, 1.3f}, {41, 0, 0, 0}};
  for (const auto& c : cases) {
    Field f;
    const TAffineVector at{3, 4, 5};
    f.CameraAt(at, c.distance);
    f.fx.SmokePuffs(at);
    ASSERT_EQ(f.fx.ParticleCount(), c.puffs) << "at " << c.distance;
    for (const TTRVFX& p : f.fx.Particles()) {
      EXPECT_EQ(p.segments, c.segments) << "at " << c.distance;
      EXPECT_GE(p.size, 0.1f * c.factor - 1e-6f) << "at " << c.distance;
      EXPECT_LT(p.size, 0.15f * c.factor + 1e-6f) << "at " << c.distance;
    }
  }
}

// Particles, debris and sound of each spawner at the rungs of its ladder and past its range.
TEST(EffectsSpawners, LaddersAndRanges) {
  const TAffineVector up{0, 1, 0};
  const Spawn big = [](TTRVEffects& fx, const TAffineVector& at) { fx.BigExplosion(at, false); };
  const Spawn shell = [](TTRVEffects& fx, const TAffineVector& at) { fx.ShellExplosion(at); };
  const Spawn impact = [](TTRVEffects& fx, const TAffineVector& at) { fx.ImpactPuff(at); };
  const Spawn muzzle = [up](TTRVEffects& fx, const TAffineVector& at) { fx.MuzzleBlast(at, up); };
  const Spawn wash = [up](TTRVEffects& fx, const TAffineVector& at) { fx.WashDust(at, up, false); };
  const Spawn wake = [up](TTRVEffects& fx, const TAffineVector& at) { fx.WakeSpray(at, up, 3); };
  const Spawn trail = [up](TTRVEffects& fx, const TAffineVector& at) { fx.TrailEmitter(at, up, 0.2f); };
  const struct {
    const char* what;
    const Spawn& spawn;
    float distance;
    int particles;
    int trails;
    const char* sound;  // stem of the one sound played, or null for silence
  } cases[] = {
      {"big explosion", big, 5, 6 + 12 + 24, 6, "explo"},
      {"big explosion", big, 15, 4 + 8 + 16, 4, "explo"},
      {"big explosion", big, 25, 2 + 4 + 8, 0, "explo"},
      {"big explosion", big, 59, 0 + 1 + 2, 0, "explo"},
      {"big explosion", big, 61, 0, 0, nullptr},
      {"shell explosion", shell, 5, 6 + 12 + 12, 0, "explo"},
      {"shell explosion", shell, 119, 0 + 1 + 1, 0, "explo"},
      {"shell explosion", shell, 121, 0, 0, nullptr},
      {"impact puff", impact, 12.5f, 1, 0, "ric"},
      {"impact puff", impact, 13.5f, 0, 0, nullptr},
      {"muzzle blast", muzzle, 5, 12 + 1 + 1, 0, nullptr},
      {"muzzle blast", muzzle, 25, 4 + 1 + 1, 0, nullptr},
      {"muzzle blast", muzzle, 31, 0, 0, nullptr},
      {"wash dust", wash, 5, 10 + 1, 0, nullptr},
      {"wash dust", wash, 16, 4 + 1, 0, nullptr},
      {"wash dust", wash, 21, 0, 0, nullptr},
      {"wake spray", wake, 5, 12 + 1, 0, nullptr},
      {"wake spray", wake, 12, 6 + 1, 0, nullptr},
      {"wake spray", wake, 18, 3 + 1, 0, nullptr},
      {"trail", trail, 5, 5 + 1, 0, nullptr},   // L = 4: four steps of smoke and one fire
      {"trail", trail, 35, 2 + 0, 0, nullptr},  // L = 1
      {"trail", trail, 41, 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    Field f;
    const TAffineVector at{10, 2, 10};
    f.CameraAt(at, c.distance);
    c.spawn(f.fx, at);
    const std::string where = std::string(c.what) + " at " + std::to_string(c.distance);
    EXPECT_EQ(f.fx.ParticleCount(), c.particles) << where;
    EXPECT_EQ(f.fx.FireTrailCount(), c.trails) << where;
    if (!c.sound) {
      EXPECT_TRUE(f.heard.empty()) << where << " played " << f.heard.front().name;
      continue;
    }
    ASSERT_EQ(f.heard.size(), 1u) << where;
    EXPECT_TRUE(IsNumbered(f.heard[0].name, c.sound, std::string(c.sound) == "ric" ? 5 : 3))
        << where << " played " << f.heard[0].name;
    EXPECT_EQ(f.heard[0].at, at) << where;
  }
}

TEST(EffectsSpawners, WithoutCameraOrSoundEverythingIsNearAndSilent) {
  TTRVEffects fx({}, nullptr);
  fx.BigExplosion({500, 3, 500}, true);
  EXPECT_EQ(fx.ParticleCount(), 42);
  EXPECT_EQ(fx.FireTrailCount(), 6);
}

TEST(EffectsSpawners, ShellsSplashAtHeightPointOneOrBelow) {
  const struct {
    float height;
    bool splash;
  } cases[] = {{-0.5f, true}, {0, true}, {0.1f, true}, {0.11f, false}, {3, false}};
  for (const auto& c : cases) {
    Field f;
    const TAffineVector at{10, c.height, 10};
    f.CameraAt(at, 5);
    f.fx.ShellExplosion(at);
    ASSERT_EQ(f.heard.size(), 1u) << c.height;
    if (c.splash) {
      EXPECT_EQ(f.heard[0].name, "Splash0") << c.height;
      EXPECT_EQ(f.fx.ParticleCount(), 24) << c.height;
      for (const TTRVFX& p : f.fx.Particles()) EXPECT_EQ(p.position.y, 0) << "splashes rise from the sea";
    } else {
      EXPECT_TRUE(IsNumbered(f.heard[0].name, "explo", 3)) << c.height << " played " << f.heard[0].name;
      EXPECT_EQ(f.fx.ParticleCount(), 30) << c.height;
    }
  }
}

TEST(EffectsSpawners, ImpactsSplashOnWaterAndRicochetOnLand) {
  Field f;
  f.fx.ImpactPuff({0, 0.3f, 0});
  EXPECT_TRUE(f.heard.empty()) << "water swallows the bullet";
  f.fx.ImpactPuff({0, 0.5f, 0});
  ASSERT_EQ(f.heard.size(), 1u);
  EXPECT_EQ(f.heard[0].volume, 0.5f);
  ASSERT_EQ(f.fx.ParticleCount(), 2);
  const TVector water = f.fx.Particles()[0].Color(), dust = f.fx.Particles()[1].Color();
  EXPECT_GT(water.b, water.r) << "blue spray";
  EXPECT_GT(dust.r, dust.b) << "brown dust";
}

TEST(EffectsSpawners, AnUpwardBlastThrowsNoSparkDown) {
  // Sparks are the particles that live exactly 0.3 s.
  auto sparkYs = [](bool upward) {
    Field f;
    f.fx.BigExplosion({0, 5, 0}, upward);
    std::vector<float> ys;
    for (const TTRVFX& p : f.fx.Particles())
      if (p.life == 0.3f) ys.push_back(p.velocity.y);
    return ys;
  };
  const std::vector<float> upward = sparkYs(true), spread = sparkYs(false);
  ASSERT_EQ(upward.size(), 24u);
  for (float y : upward) EXPECT_GE(y, 0);
  EXPECT_TRUE(std::any_of(spread.begin(), spread.end(), [](float y) { return y < 0; }))
      << "without the flag some sparks fly down";
}

// Who loses armour to a hit at the origin with radius 3 and damage 10, from side 0.
TEST(EffectsDamage, ShellAndBombHitsReachNearUnitsInTheRadius) {
  const struct {
    const char* unit;
    TAffineVector at;
    int side;
    bool far;
    float afterShell;
    float afterBomb;
  } cases[] = {
      {"the attacker", {0.5f, 0, 0}, 0, false, 100, 90},
      {"a friend", {1, 0, 0}, 0, false, 100, 90},
      {"an enemy", {2, 0, 0}, 1, false, 90, 90},
      {"a far enemy", {1, 0, 0}, 1, true, 100, 100},
      {"an enemy on the rim", {3, 0, 0}, 2, false, 100, 100},
      {"an enemy beyond", {0, 0, 4}, 2, false, 100, 100},
  };
  Units units;
  for (const auto& c : cases) units.Add(c.at, c.side, c.far);
  units.refs.push_back(TTRVUnitRef{});  // a ref without armour is passed over

  Field f;
  f.fx.ShellHit({0, 0, 0}, 0, &units.objects[0], 3, 10, units.refs);
  EXPECT_EQ(f.heard.size(), 1u) << "the shell explodes";
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(units.armour[i], cases[i].afterShell) << cases[i].unit;

  for (float& a : units.armour) a = 100;
  f.fx.BombHit({0, 0, 0}, 3, 10, units.refs);
  EXPECT_EQ(f.fx.FireTrailCount(), 6) << "the bomb explodes";
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(units.armour[i], cases[i].afterBomb) << cases[i].unit;
}

TEST(EffectsDamage, ShellHitSparesTheAttackerEvenOnAnotherSide) {
  Units units;
  units.Add({1, 0, 0}, 1);
  Field f;
  f.fx.ShellHit({0, 0, 0}, 0, &units.objects[0], 3, 10, units.refs);
  EXPECT_EQ(units.armour[0], 100);
}

TEST(EffectsStep, ParticlesGoWhenTheirLifeIsOverWhileOthersLiveOn) {
  Field f;
  f.fx.ShellExplosion({0, 5, 0});  // glow 0.5 .. 0.7, fireball and ring 1.0 .. 1.4
  f.fx.SmokePuffs({0, 5, 0});      // 2.1 .. 2.3
  ASSERT_EQ(f.fx.ParticleCount(), 30 + 4);
  int previous = f.fx.ParticleCount();
  for (int frame = 0; frame < 24; ++frame) {  // 2.4 s in steps of 0.1
    f.fx.Step(0.1f);
    EXPECT_LE(f.fx.ParticleCount(), previous);
    previous = f.fx.ParticleCount();
    for (const TTRVFX& p : f.fx.Particles()) EXPECT_LE(p.elapsed, p.life) << "frame " << frame;
    if (frame == 7) {
      EXPECT_EQ(f.fx.ParticleCount(), 24 + 4) << "the glow is gone after 0.8 s";
    }
    if (frame == 14) {
      EXPECT_EQ(f.fx.ParticleCount(), 4) << "only the smoke is left after 1.5 s";
    }
  }
  EXPECT_EQ(f.fx.ParticleCount(), 0);
}

TEST(EffectsStep, BurningDebrisTrailsSmokeUntilItMeetsTheGround) {
  TTRVGrid<std::uint8_t> heights(32, 32, 50);  // flat at 2
  TTRVGroundView ground{&heights, 25, nullptr};
  Field f(ground);
  const TAffineVector at{16, 2.5f, 16};
  f.CameraAt(at, 5);
  f.fx.BigExplosion(at, true);
  ASSERT_EQ(f.fx.FireTrailCount(), 6);
  f.fx.Step(1.0f / 30);
  EXPECT_GT(f.fx.ParticleCount(), 42) << "the debris trails smoke from the first step";
  for (int frame = 0; frame < 30 * 10 && f.fx.FireTrailCount() > 0; ++frame) {
    f.fx.Step(1.0f / 30);
    for (const TTRVFXFireTrail& t : f.fx.FireTrails()) EXPECT_GE(t.position.y, 2) << "frame " << frame;
  }
  EXPECT_EQ(f.fx.FireTrailCount(), 0) << "all debris lands within 10 s";
}

}  // namespace

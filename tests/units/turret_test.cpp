// The turret: whom its gunner aims at and when it fires, how its head follows the aim, the
// reload and retry rhythm of each weapon, and what a far or destroyed turret does.
#include "units/turret.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "tests/units/recording_battlefield.h"
#include "tests/units/unit_fixture.h"
#include "units/unithooks.h"

namespace {

using unittest::RecordingBattlefield;
using unittest::UnitWorld;

constexpr float kDt = 0.01f;

TGLBaseSceneObject* PivotOf(TTRVEntity& turret) { return turret.Children(0)->Children(0); }
TGLBaseSceneObject* HeadOf(TTRVEntity& turret) { return PivotOf(turret)->Children(0); }

// Frames of kDt over the given time, stamping the frame number on the recorder.
void RunFor(TTRVEntity& turret, RecordingBattlefield& field, float seconds) {
  const int frames = static_cast<int>(std::lround(seconds / kDt));
  for (int i = 0; i < frames; ++i) {
    ++field.frame;
    turret.Progress(kDt);
  }
}

float DegreesBetween(const TAffineVector& a, const TAffineVector& b) {
  const float c = VectorDotProduct(VectorNormalize(a), VectorNormalize(b));
  return RadToDeg(std::acos(std::clamp(c, -1.0f, 1.0f)));
}

TAffineVector HeadDirection(TTRVEntity& turret) { return TAffineVector(HeadOf(turret)->AbsoluteDirection()); }

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// An enemy of side 1 that has had its first frame, so that searches see it as near.
TTRVEntity& AddEnemy(UnitWorld& w, int type, const TAffineVector& at) {
  TTRVEntity& enemy = w.Add(type, at, false, 1);
  enemy.Position.SetY(at.y);  // set-up puts a helicopter 2 above the ground
  enemy.Progress(kDt);
  return enemy;
}

TTRVEntity& AddTurret(UnitWorld& w, RecordingBattlefield& field, int weapon, const TAffineVector& at = {10, 2, 10}) {
  TTRVEntity& turret = w.Add(utTurret, at);
  turret.state.Weapon() = static_cast<std::uint8_t>(weapon);
  turret.battlefield = &field;
  return turret;
}

// The gun step alone, for loops driven by a hand-set aim.
const std::array<TTRVUnitHooks, 4>& GunOnlyHooks() {
  static const std::array<TTRVUnitHooks, 4> hooks = [] {
    std::array<TTRVUnitHooks, 4> h{};
    h[utTurret].physics = StepTurretGun;
    return h;
  }();
  return hooks;
}

// Each weapon's rhythm: after a shot the reload, after a refused shot (aim off by more than
// 0.05) the retry. The gap between attempts is the timer rounded up to whole frames, plus at
// most one frame for the rounding of the run-down.
TEST(TurretWeapons, ReloadAfterAShotRetryAfterARefusal) {
  struct Case {
    const char* name;
    int weapon;
    bool onTarget;
    float timer;  // the weapon's timer right after each attempt
    const char* sample;
  } cases[] = {
      {"machine gun on target", 0, true, 0.25f, "machinegun"},
      {"rockets on target", 1, true, 2.0f, "rocket"},
      {"machine gun off target", 0, false, 0.05f, nullptr},
      {"rockets off target", 1, false, 0.1f, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    RecordingBattlefield field;
    TTRVEntity& turret = AddTurret(w, field, c.weapon);
    // Ahead and a little below the head, or far steeper above it than the gun can elevate.
    TTRVEntity& enemy = c.onTarget ? AddEnemy(w, utTank, {10, 2, 20}) : AddEnemy(w, utHeli, {10, 14, 13});
    RunFor(turret, field, 3);  // the head settles
    field.Clear();

    const float seconds = c.weapon == 1 && c.onTarget ? 7.0f : 1.0f;
    const int frames = static_cast<int>(std::lround(seconds / kDt));
    for (int i = 0; i < frames; ++i) {
      const std::size_t before = field.shots.size();
      ++field.frame;
      turret.Progress(kDt);
      if (field.shots.size() == before) continue;
      const float timer = c.weapon == 1 ? turret.state.TurretRocketTimer() : turret.state.TurretMachineGunTimer();
      EXPECT_FLOAT_EQ(timer, c.timer) << "frame " << field.frame;
    }

    const int period = static_cast<int>(std::lround(c.timer / kDt));
    ASSERT_GE(field.shots.size(), 3u);
    EXPECT_GE(static_cast<int>(field.shots.size()), frames / (period + 1));
    EXPECT_LE(static_cast<int>(field.shots.size()), frames / period + 1);
    for (std::size_t i = 0; i < field.shots.size(); ++i) {
      const RecordingBattlefield::Shot& s = field.shots[i];
      EXPECT_EQ(s.rocket(), c.weapon == 1);
      EXPECT_EQ(s.fired, c.onTarget) << "shot " << i;
      EXPECT_FLOAT_EQ(s.deviation, 0.05f);
      if (i > 0) {
        const int gap = s.frame - field.shots[i - 1].frame;
        EXPECT_GE(gap, period) << "shot " << i;
        EXPECT_LE(gap, period + 1) << "shot " << i;
      }
    }
    // Every shot leaves the head toward the enemy's aim node; a rocket homes on that node.
    const RecordingBattlefield::Shot& last = field.shots.back();
    const TAffineVector head = HeadOf(turret)->AbsoluteAffinePosition();
    EXPECT_LT(VectorLength(last.from - head), 1e-4f);
    EXPECT_LT(VectorLength(last.to - enemy.aimNode->AbsoluteAffinePosition()), 1e-4f);
    EXPECT_LT(VectorLength(last.facing - HeadDirection(turret)), 1e-4f);
    if (c.weapon == 1) {
      EXPECT_FLOAT_EQ(last.steering, 0.5f);
      EXPECT_EQ(last.homing, enemy.aimNode);
    }
    // A sound for each shot that left, from the head; none for a refusal.
    EXPECT_EQ(field.samples.size(), c.sample ? field.shots.size() : 0u);
    for (const auto& s : field.samples) {
      EXPECT_EQ(s.name, c.sample);
      EXPECT_EQ(s.at, HeadOf(turret));
    }
  }
}

TEST(TurretWeapons, HoldFireStopsEveryShot) {
  UnitWorld w;
  RecordingBattlefield field;
  TTRVEntity& turret = AddTurret(w, field, 0);
  turret.hooks = &GunOnlyHooks();
  turret.controls.aimPoint = {10, 3, 20, 1};  // straight ahead of the head
  turret.controls.fire = true;
  turret.holdFire = true;
  RunFor(turret, field, 1);
  EXPECT_TRUE(field.shots.empty());
  turret.holdFire = false;
  RunFor(turret, field, 1);
  EXPECT_FALSE(field.shots.empty());
}

// With nothing to shoot at (none ever came, the enemy was destroyed, or it went out of
// sight beyond the near distance) the turret stops firing at its next re-think, at the latest
// 6 s on, and its head stays where it last aimed.
TEST(TurretAI, NoEnemyNearNeverFiresAndKeepsItsLastAim) {
  enum class Enemy { None, Destroyed, GoneFar };
  struct Case {
    const char* name;
    Enemy enemy;
    int weapon;
  } cases[] = {
      {"no enemy, machine gun", Enemy::None, 0},         {"no enemy, rockets", Enemy::None, 1},
      {"enemy destroyed, machine gun", Enemy::Destroyed, 0}, {"enemy destroyed, rockets", Enemy::Destroyed, 1},
      {"enemy gone far, machine gun", Enemy::GoneFar, 0},    {"enemy gone far, rockets", Enemy::GoneFar, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    RecordingBattlefield field;
    TTRVEntity& turret = AddTurret(w, field, c.weapon);
    if (c.enemy != Enemy::None) {
      TTRVEntity& enemy = AddEnemy(w, utTank, {16, 2, 17});  // off the turret's first heading
      RunFor(turret, field, 7);
      EXPECT_FALSE(field.shots.empty()) << "the enemy was engaged";
      if (c.enemy == Enemy::Destroyed) {
        enemy.state.armour = 0;
      } else {
        enemy.Position.SetX(60);  // beyond 45 of the camera target
        enemy.Progress(kDt);
        ASSERT_EQ(enemy.isFar, 1);
      }
    }
    RunFor(turret, field, 7);  // at least one re-think
    const TAffineVector direction = HeadDirection(turret);
    const float pitch = turret.state.GunPitch();
    field.Clear();
    RunFor(turret, field, 10);
    EXPECT_TRUE(field.shots.empty());
    EXPECT_EQ(turret.target, nullptr);
    EXPECT_FALSE(turret.controls.fire);
    EXPECT_LT(DegreesBetween(HeadDirection(turret), direction), 0.05f);
    EXPECT_NEAR(turret.state.GunPitch(), pitch, 0.05f);
  }
}

// The gunner aims at the target's aim node as far as the ground lets it see, and fires only
// while the whole line is clear.
TEST(TurretAI, AimsAtWhatItSeesOfTheTargetAndFiresOnlyInSight) {
  struct Case {
    const char* name;
    bool hill;
  } cases[] = {{"open ground", false}, {"a hill across rows 14 to 16", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    if (c.hill)
      for (int z = 14; z <= 16; ++z)
        for (int x = 0; x < 64; ++x) w.world->heightGrid.Set(x, z, 250);  // height 10
    RecordingBattlefield field;
    TTRVEntity& turret = AddTurret(w, field, 0);
    TTRVEntity& enemy = AddEnemy(w, utTank, {10, 2, 22});
    ++field.frame;
    turret.Progress(kDt);
    ASSERT_EQ(turret.target, &enemy);
    const TVector aim = turret.controls.aimPoint;
    EXPECT_EQ(aim.w, 1.0f);
    EXPECT_EQ(turret.controls.fire, !c.hill);
    if (c.hill) {
      // The last sample (one a unit along the line) before the hill rises above it.
      EXPECT_GT(aim.z, 12.5f);
      EXPECT_LT(aim.z, 14.0f);
      EXPECT_NEAR(aim.x, 10.0f, 1e-3f);
    } else {
      EXPECT_LT(VectorLength(TAffineVector(aim) - enemy.aimNode->AbsoluteAffinePosition()), 1e-4f);
    }
  }
}

// Closed loop: from its rest heading the head comes to point at aims on either side, ahead and
// behind, above and below, whatever the turret's own heading; aims steeper than the gun can
// reach leave it at the limit, facing the aim's bearing.
TEST(TurretAim, PivotAndGunPitchConvergeFromBothSides) {
  struct Case {
    const char* name;
    float heading;           // the turret's own turn
    TAffineVector fromHead;  // the aim, from the head, in world axes
    float pitchLimit;        // 0: reachable; else the pitch the gun stays at
  } cases[] = {
      {"+X side, above", 0, {8, 2, 3}, 0},
      {"-X side, above", 0, {-8, 2, -3}, 0},
      {"+X side, below", 0, {6, -0.3f, -6}, 0},
      {"-X side, below", 0, {-6, -0.3f, 6}, 0},
      {"nearly behind, level", 0, {0.5f, 0, -8}, 0},
      {"turret turned 90, aim on its -X side", 90, {0, 1, -7}, 0},
      {"turret turned -135, aim ahead of the world", -135, {2, -0.4f, 9}, 0},
      {"too steep above", 0, {3, 8, 3}, -20},
      {"too steep below", 0, {-3, -2.5f, 3}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    RecordingBattlefield field;
    TTRVEntity& turret = AddTurret(w, field, 0);
    turret.hooks = &GunOnlyHooks();
    turret.Turn(c.heading);
    const TAffineVector head = HeadOf(turret)->AbsoluteAffinePosition();
    const TAffineVector aim = head + c.fromHead;
    turret.controls.aimPoint = TVector(aim, 1);
    for (int i = 0; i < 500; ++i) {
      turret.Progress(kDt);
      ASSERT_GE(turret.state.GunPitch(), -20.0f) << "frame " << i;
      ASSERT_LE(turret.state.GunPitch(), 5.0f) << "frame " << i;
    }
    const TAffineVector direction = HeadDirection(turret);
    if (c.pitchLimit == 0) {
      EXPECT_LT(DegreesBetween(direction, aim - head), 0.5f);
    } else {
      EXPECT_FLOAT_EQ(turret.state.GunPitch(), c.pitchLimit);
      EXPECT_LT(DegreesBetween({direction.x, 0, direction.z}, {c.fromHead.x, 0, c.fromHead.z}), 0.5f);
    }
  }
}

TEST(TurretAim, ZeroAimDistanceGivesNoNaN) {
  struct Case {
    const char* name;
    TAffineVector fromTurret;
  } cases[] = {{"aim at the turret's own position", {0, 0, 0}}, {"aim at the head", {0, 1, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    RecordingBattlefield field;
    TTRVEntity& turret = AddTurret(w, field, 0);
    turret.hooks = &GunOnlyHooks();
    turret.controls.aimPoint = TVector(turret.AbsoluteAffinePosition() + c.fromTurret, 1);
    turret.controls.fire = true;
    RunFor(turret, field, 1);
    EXPECT_TRUE(std::isfinite(turret.state.GunPitch()));
    EXPECT_TRUE(Finite(HeadDirection(turret)));
    EXPECT_TRUE(Finite(TAffineVector(HeadOf(turret)->AbsoluteUp())));
    EXPECT_TRUE(Finite(TAffineVector(PivotOf(turret)->AbsoluteDirection())));
    for (const auto& s : field.shots) EXPECT_TRUE(Finite(s.facing));
  }
}

// Far from the camera target the turret is frozen: no aim, no shot, no timer running down,
// even with a target in sight and the trigger held.
TEST(TurretFar, FarTurretNeitherAimsNorFires) {
  UnitWorld w;
  RecordingBattlefield field;
  TTRVEntity& turret = AddTurret(w, field, 0, {50, 2, 0});
  AddEnemy(w, utTank, {42, 2, 4});
  turret.controls.aimPoint = {42, 2.25f, 4, 1};
  turret.controls.fire = true;
  turret.state.TurretMachineGunTimer() = 0.2f;
  const TAffineVector direction = HeadDirection(turret);
  const float aiTimer = turret.aiTimer;
  RunFor(turret, field, 3);
  EXPECT_EQ(turret.isFar, 1);
  EXPECT_FALSE(turret.Visible);
  EXPECT_TRUE(field.shots.empty());
  EXPECT_TRUE(field.samples.empty());
  EXPECT_EQ(turret.target, nullptr);
  EXPECT_EQ(turret.aiTimer, aiTimer);
  EXPECT_EQ(turret.state.TurretMachineGunTimer(), 0.2f);
  EXPECT_EQ(turret.controls.aimPoint, TVector(42, 2.25f, 4, 1));
  EXPECT_LT(DegreesBetween(HeadDirection(turret), direction), 1e-3f);
}

// A destroyed turret smokes every frame with its head gone, and bursts once: a turret saved
// after its burst does not burst again when loaded.
TEST(TurretWreck, HidesItsHeadAndExplodesExactlyOnce) {
  struct Case {
    const char* name;
    bool burstBefore;
    std::size_t explosions;
  } cases[] = {{"freshly destroyed", false, 1}, {"burst before it was saved", true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    RecordingBattlefield field;
    TTRVEntity& turret = AddTurret(w, field, 0);
    AddEnemy(w, utTank, {10, 2, 20});  // in sight, straight ahead
    turret.state.armour = 0;
    turret.state.WreckDone() = c.burstBefore ? 1 : 0;
    RunFor(turret, field, 2);
    EXPECT_EQ(field.smokeFrames, 200);
    EXPECT_FALSE(HeadOf(turret)->Visible);
    EXPECT_TRUE(field.shots.empty());
    EXPECT_EQ(turret.state.WreckDone(), 1);
    ASSERT_EQ(field.explosions.size(), c.explosions);
    ASSERT_EQ(field.samples.size(), c.explosions);
    if (c.explosions) {
      EXPECT_FALSE(field.explosions[0].upward);
      EXPECT_LT(VectorLength(field.explosions[0].at - turret.aimNode->AbsoluteAffinePosition()), 1e-4f);
      EXPECT_EQ(field.samples[0].name, "explosion");
      EXPECT_EQ(field.samples[0].at, turret.aimNode);
    }
  }
}

}  // namespace

// The boat: the helm (with the rudder reversed going astern), the mounts that swing onto the
// aim the short way and never through the bridge, every ready mount firing on one trigger,
// grounding, the slow wreck, and the captain that turns toward its target and away from boats
// across its bow.
#include "units/boat.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/units/recording_battlefield.h"
#include "tests/units/unit_fixture.h"
#include "units/entity.h"

namespace {

using unittest::RecordingBattlefield;
using unittest::UnitWorld;
using Shot = RecordingBattlefield::Shot;
using Weapon = RecordingBattlefield::Weapon;

constexpr float kDt = 1.0f / 60;
constexpr float kPi = 3.14159265f;

// The recording battlefield with the wake counted too.
struct BoatField : RecordingBattlefield {
  void WakeSpray(const TAffineVector&, const TAffineVector&, int count) override {
    ++wakes;
    lastWake = count;
  }
  int wakes = 0, lastWake = -1;
};

// What the engine lends the player's unit.
struct EngineSide {
  TTRVControlBlock controls;
  TTRVStatus status = TTRVStatus::None;
  TTRVReason reason = TTRVReason::None;
  TTRVCockpit Cockpit() { return {&controls, nullptr, nullptr, nullptr, nullptr, nullptr, &status, &reason}; }
};

// Open sea over the whole map with a boat at its middle, facing +Z, near the camera target;
// `land` raises the cells it is given back to the fixture's island height.
struct BoatRig {
  explicit BoatRig(bool player = false, bool cockpit = false)
      : w(100, 2, true, true, cockpit ? engine.Cockpit() : TTRVCockpit{}) {
    for (int x = 0; x < 64; ++x)
      for (int z = 0; z < 64; ++z) w.world->heightGrid.Set(x, z, 0);
    w.world->waterPathFinder.Reset(64, 64, true);
    w.cameraTarget.Position.SetPoint(30, 0, 30);
    unit = &w.Add(utBoat, {30, 0, 30}, player);
    unit->battlefield = &field;
  }
  TTRVEntity& Add(TAffineVector at, int side) {
    TTRVEntity& other = w.Add(utBoat, at, false, side);
    other.battlefield = &field;
    other.isFar = 0;
    return other;
  }
  void Land(int x0, int x1, int z0, int z1) {
    for (int x = x0; x <= x1; ++x)
      for (int z = z0; z <= z1; ++z) w.world->heightGrid.Set(x, z, 50);
  }
  void Sail(float seconds) {
    for (int i = 0; i < static_cast<int>(seconds / kDt + 0.5f); ++i) StepBoatSail(*unit, kDt);
  }
  TTRVEntity& boat() { return *unit; }

  EngineSide engine;
  UnitWorld w;
  BoatField field;
  TTRVEntity* unit = nullptr;
};

// The rig's nodes (units/entityrig.cpp).
TGLBaseSceneObject& Hull(TTRVEntity& u) { return *u.Children(0)->Children(0); }
TGLBaseSceneObject& MountWeapon(TTRVEntity& u, int mount) {
  return mount == boat::kFrontGun ? *Hull(u).Children(0)->Children(0) : *Hull(u).Children(mount)->Children(0);
}

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TAffineVector Flat(const TAffineVector& v) { return VectorNormalize(TAffineVector(v.x, 0, v.z)); }

int CountShots(const std::vector<Shot>& shots, Weapon weapon) {
  int n = 0;
  for (const Shot& s : shots) n += s.weapon == weapon ? 1 : 0;
  return n;
}

TEST(BoatSailing, TheHelmAndTheRudderGoingAstern) {
  // Held for two seconds from rest: which way the speed and the turn rate go, and which way
  // the bow swings (a left turn brings it round toward +X, docs/scene-conventions.md). With
  // the brake held the turn keys steer the other way.
  const struct {
    const char* name;
    bool accelerate, brake, left, right;
    int speedSign, turnSign;
  } cases[] = {
      {"ahead", true, false, false, false, 1, 0},
      {"astern", false, true, false, false, -1, 0},
      {"left", false, false, true, false, 0, -1},
      {"right", false, false, false, true, 0, 1},
      {"left going astern", false, true, true, false, -1, 1},
      {"right going astern", false, true, false, true, -1, -1},
      {"ahead and left", true, false, true, false, 1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    for (int i = 0; i < 120; ++i) {
      TTRVControlBlock& k = rig.boat().controls;
      k.accelerate = c.accelerate;
      k.brake = c.brake;
      k.turnLeft = c.left;
      k.turnRight = c.right;
      StepBoatSail(rig.boat(), kDt);
    }
    const float speed = rig.boat().state.ForwardSpeed(), turn = rig.boat().state.TurnRate();
    EXPECT_EQ((speed > 0.01f) - (speed < -0.01f), c.speedSign) << "speed " << speed;
    EXPECT_EQ((turn > 0.01f) - (turn < -0.01f), c.turnSign) << "turn rate " << turn;
    const float bowX = rig.boat().AbsoluteDirection().x;
    EXPECT_EQ((bowX > 0.01f) - (bowX < -0.01f), -c.turnSign) << "the bow swings " << bowX;
    EXPECT_FLOAT_EQ(rig.boat().Position.Y(), 0) << "at sea level";
  }
}

TEST(BoatSailing, SpeedAndTurnRateAreClamped) {
  // Pushed far past their limits (by grounding, say), one frame brings them back in range
  // before the damping.
  const struct {
    const char* name;
    float speed, turn;
    float wantSpeed, wantTurn;
  } cases[] = {
      {"too fast ahead", 9, 0, boat::kMaxSpeed * (1 - kDt), 0},
      {"too fast astern", -9, 0, boat::kMinSpeed * (1 - kDt), 0},
      {"turning too fast", 0, 7, 0, boat::kMaxTurnRate * (1 - kDt / 2)},
      {"turning too fast the other way", 0, -7, 0, -boat::kMaxTurnRate * (1 - kDt / 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    rig.boat().state.ForwardSpeed() = c.speed;
    rig.boat().state.TurnRate() = c.turn;
    StepBoatSail(rig.boat(), kDt);
    EXPECT_NEAR(rig.boat().state.ForwardSpeed(), c.wantSpeed, 1e-5f);
    EXPECT_NEAR(rig.boat().state.TurnRate(), c.wantTurn, 1e-5f);
  }
}

TEST(BoatSailing, ItRocksWithTheWavesAndLeavesAWake) {
  BoatRig rig;
  rig.boat().Position.SetY(0.7f);
  rig.boat().state.ForwardSpeed() = -2.5f;
  StepBoatSail(rig.boat(), kDt);
  EXPECT_FLOAT_EQ(rig.boat().Position.Y(), 0);
  EXPECT_EQ(rig.field.wakes, 1);
  EXPECT_EQ(rig.field.lastWake, 3) << "|floor(-2.5)|";

  // The hull tilts with the world's two wave phases, never more than half a degree.
  float largest = 0;
  for (int i = 0; i < 600; ++i) {
    rig.w.world->wavePhaseA -= kDt;
    rig.w.world->wavePhaseB += 2 * kDt;
    StepBoatSail(rig.boat(), kDt);
    const TAffineVector up(rig.boat().Children(0)->AbsoluteUp());
    const float tilt = std::acos(std::min(1.0f, up.y)) * 180 / kPi;
    largest = std::max(largest, tilt);
    ASSERT_LE(tilt, 0.5f * std::sqrt(2.0f) + 0.01f);
    ASSERT_GE(rig.boat().state.RockingPhase(), 0);
    ASSERT_LE(rig.boat().state.RockingPhase(), 100 + kDt);
  }
  EXPECT_GT(largest, 0.3f) << "it does rock";
}

TEST(BoatSailing, AgroundItIsDamagedAndPushedOff) {
  // Land under the bow only, or under the stern only: 20 armour a second, and the push backs
  // the boat off (bow) or drives it on (stern), with a bump every frame.
  const struct {
    const char* name;
    int z0, z1;  // the land's rows
    int speedSign;
  } cases[] = {
      {"bow on land", 32, 63, -1},
      {"stern on land", 0, 28, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    rig.Land(0, 63, c.z0, c.z1);
    rig.boat().Position.SetPoint(30.5f, 0, 30.5f);
    const float armour = rig.boat().state.armour;
    const float z = rig.boat().Position.Z();
    StepBoatSail(rig.boat(), kDt);
    const float speed = rig.boat().state.ForwardSpeed();
    EXPECT_EQ((speed > 0) - (speed < 0), c.speedSign);
    EXPECT_NEAR(rig.boat().state.armour, armour - 20 * kDt, 1e-3f);
    EXPECT_EQ(rig.field.Count("hit0") + rig.field.Count("hit1") + rig.field.Count("hit2"), 1);
    rig.Sail(0.5f);
    EXPECT_EQ((rig.boat().Position.Z() > z) - (rig.boat().Position.Z() < z), c.speedSign) << "pushed off";
  }
  BoatRig rig;
  const float armour = rig.boat().state.armour;
  rig.Sail(1);
  EXPECT_EQ(rig.boat().state.armour, armour) << "open sea costs nothing";
  EXPECT_EQ(rig.field.samples.size(), 0u);
}

TEST(BoatSailing, TwoBoatsOnOneSpotPartWithoutNaN) {
  {
    // Nothing to tell which way to part: they still push each other apart, sideways.
    BoatRig rig;
    TTRVEntity& other = rig.Add({30, 0, 30}, 1);
    rig.boat().isFar = 0;
    // The aim on the boat itself: the mounts have no direction to turn toward.
    rig.boat().controls.aimPoint = TVector(30, 0, 30, 1);
    for (int i = 0; i < 5 * 60; ++i) {
      StepBoatSail(rig.boat(), kDt);
      StepBoatSail(other, kDt);
      ASSERT_TRUE(Finite(rig.boat().Position.AsAffineVector()));
      for (int m = 0; m < 4; ++m) ASSERT_TRUE(Finite(TAffineVector(rig.boat().state.Mount(m))));
    }
    EXPECT_GT(VectorLength(rig.boat().AbsoluteAffinePosition() - other.AbsoluteAffinePosition()), 0.6f)
        << "they came apart";
  }
  {
    // Both captains engaging each other from no distance at all.
    BoatRig rig;
    TTRVEntity& other = rig.Add({30, 0, 30}, 1);
    rig.boat().isFar = 0;
    for (int i = 0; i < 600; ++i) {
      rig.boat().Progress(kDt);
      other.Progress(kDt);
      ASSERT_TRUE(Finite(rig.boat().Position.AsAffineVector()));
      ASSERT_TRUE(Finite(other.Position.AsAffineVector()));
      for (int m = 0; m < 4; ++m) ASSERT_TRUE(Finite(TAffineVector(rig.boat().state.Mount(m))));
    }
  }
}

TEST(BoatMounts, EachMountSwingsOntoTheAimFromEitherSide) {
  // The boat sits at (30, 0, 30) facing +Z; every aim lies within its mount's arc, on the
  // boat's +X side and its -X side, above and below the mount. Each starts turned away to the
  // far end of its arc and must end within its firing deviation.
  const struct {
    const char* name;
    int mount;
    TAffineVector aim;
    float startYaw;
  } cases[] = {
      {"front gun, ahead on +X", boat::kFrontGun, {37, 0.3f, 40}, 120},
      {"front gun, ahead on -X", boat::kFrontGun, {23, 2.5f, 40}, -120},
      {"front gun, abeam aft on +X", boat::kFrontGun, {40, 0.5f, 28}, 0},
      {"right machine gun, forward", boat::kRightGun, {38, 0.3f, 35}, -80},
      {"right machine gun, aft and high", boat::kRightGun, {38, 3, 25}, 80},
      {"left machine gun, forward", boat::kLeftGun, {22, 0.3f, 35}, 80},
      {"left machine gun, aft and high", boat::kLeftGun, {22, 3, 25}, -80},
      {"launcher, astern on +X and high", boat::kRearLauncher, {34, 3.5f, 20}, -150},
      {"launcher, astern on -X", boat::kRearLauncher, {25, 0.5f, 21}, 150},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    rig.boat().state.Mount(c.mount).x = c.startYaw;
    for (int i = 0; i < 15 * 60; ++i) {
      rig.boat().controls.aimPoint = TVector(c.aim, 1);
      StepBoatSail(rig.boat(), kDt);
    }
    const TGLBaseSceneObject& weapon = MountWeapon(rig.boat(), c.mount);
    const float deviation = boat::kMounts[static_cast<std::size_t>(c.mount)].deviation;
    EXPECT_TRUE(CanAim(weapon.AbsoluteAffinePosition(), c.aim, deviation, TAffineVector(weapon.AbsoluteDirection())))
        << "yaw " << rig.boat().state.Mount(c.mount).x << " pitch " << rig.boat().state.Mount(c.mount).y;
  }
}

TEST(BoatMounts, FrontGunAndLauncherNeverSwingThroughTheirBlindArc) {
  // With the aim on one side of the boat and the mount turned to the other, it swings back at
  // its full rate past the bow (front gun) or the stern (launcher), never the short way round
  // through the bridge; the yaw moves steadily toward the aim's side and stays in its range.
  const struct {
    const char* name;
    int mount;
    float startYaw;
    TAffineVector aim;
    float rate;  // degrees per second while it swings back
  } cases[] = {
      {"front gun on -X, aim astern on +X", boat::kFrontGun, 120, {33, 0.5f, 22}, -boat::kFrontSwingRate},
      {"front gun on +X, aim astern on -X", boat::kFrontGun, -120, {27, 0.5f, 22}, boat::kFrontSwingRate},
      {"launcher on +X, aim forward on -X", boat::kRearLauncher, 150, {27, 0.5f, 38}, -boat::kRearSwingRate},
      {"launcher on -X, aim forward on +X", boat::kRearLauncher, -150, {33, 0.5f, 38}, boat::kRearSwingRate},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    const boat::MountLimits& limits = boat::kMounts[static_cast<std::size_t>(c.mount)];
    float& yaw = rig.boat().state.Mount(c.mount).x;
    yaw = c.startYaw;
    float previous = yaw;
    bool crossed = false;
    for (int i = 0; i < 10 * 60; ++i) {
      rig.boat().controls.aimPoint = TVector(c.aim, 1);
      const bool swinging = previous * c.rate < 0;  // still on the far side
      StepBoatSail(rig.boat(), kDt);
      if (swinging) {
        ASSERT_NEAR(yaw - previous, c.rate * kDt, 1e-3f) << "at yaw " << previous;
      }
      ASSERT_GE(yaw, limits.minYaw);
      ASSERT_LE(yaw, limits.maxYaw);
      // Never back toward the blind arc it started next to.
      if (c.rate < 0) {
        ASSERT_LE(yaw, c.startYaw + 1e-3f);
      } else {
        ASSERT_GE(yaw, c.startYaw - 1e-3f);
      }
      crossed = crossed || yaw * c.startYaw < 0;
      previous = yaw;
    }
    EXPECT_TRUE(crossed) << "it came round to the aim's side, ending at " << yaw;
  }
}

TEST(BoatWeapons, FireWithTheAirStrikeSelectedCallsItAndFiresEveryMount) {
  // The trigger with the air strike in hand: the strike is called when ready, and the front
  // gun, both machine guns and the launcher all try their shot in the same frame.
  const struct {
    const char* name;
    float airStrikeTimer;
    bool strikeAnswer;
    int calls;
    std::uint8_t weaponAfter;
  } cases[] = {
      {"ready and dropped", -1, true, 1, boat::kAllMounts},
      {"ready but refused", -1, false, 1, boat::kAirStrike},
      {"counting again", 5, true, 0, boat::kAirStrike},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig(true, true);
    rig.w.world->airStrikeTimer = -1;
    rig.engine.controls.weaponRequest = boat::kAirStrike;
    rig.boat().Progress(kDt);
    ASSERT_EQ(rig.boat().state.Weapon(), boat::kAirStrike);
    EXPECT_EQ(rig.field.Count("AirStrikeSelected"), 1);

    rig.field.Clear();
    rig.w.world->airStrikeTimer = c.airStrikeTimer;
    rig.field.airStrikeAnswer = c.strikeAnswer;
    rig.engine.controls.fire = true;
    rig.boat().Progress(kDt);
    EXPECT_EQ(rig.field.airStrikes, c.calls);
    EXPECT_EQ(rig.boat().state.Weapon(), c.weaponAfter);
    if (c.weaponAfter == 0) {
      EXPECT_EQ(rig.engine.controls.weaponRequest, boat::kAllMounts) << "the engine's request follows";
    }
    EXPECT_EQ(CountShots(rig.field.shots, Weapon::Gun), 1);
    EXPECT_EQ(CountShots(rig.field.shots, Weapon::Bullet), 2);
    EXPECT_EQ(CountShots(rig.field.shots, Weapon::Rocket), 1);
  }
}

TEST(BoatWeapons, TheAirStrikeIsRefusedWhileItCountsDown) {
  BoatRig rig(true, true);
  rig.w.world->airStrikeTimer = 12;
  rig.engine.controls.weaponRequest = boat::kAirStrike;
  rig.boat().Progress(kDt);
  EXPECT_EQ(rig.boat().state.Weapon(), boat::kAllMounts);
  EXPECT_EQ(rig.engine.controls.weaponRequest, boat::kAllMounts);
  EXPECT_EQ(rig.field.Count("AirStrikeNotReady"), 1);
  EXPECT_EQ(rig.field.Count("AirStrikeSelected"), 0);
}

TEST(BoatWeapons, EachMountNeedsItsDeviationAndReloads) {
  // The player's mounts take the same aim test as the computer's: a mount turned well away
  // from the aim is refused and tries again soon; on the aim it fires and reloads. Rockets
  // follow the player's cursor, or the computer's target.
  const struct {
    const char* name;
    Weapon weapon;
    float deviation, reload, retry;
  } cases[] = {
      {"front gun", Weapon::Gun, 0.025f, 1.5f, 0.1f},
      {"machine gun", Weapon::Bullet, 0.09f, 0.2f, 0.05f},
      {"launcher", Weapon::Rocket, 0.05f, 1.5f, 0.1f},
  };
  for (const bool player : {true, false}) {
    BoatRig rig(player);
    TTRVEntity& enemy = rig.Add({30, 0, 50}, 1);
    if (!player) rig.boat().target = &enemy;
    rig.boat().controls.fire = true;
    // The aim abeam on +X: only the right machine gun starts near it, and the others take a
    // while to come round, refused meanwhile.
    for (int i = 0; i < 20 * 60; ++i) {
      rig.field.frame = i;
      rig.boat().controls.aimPoint = TVector(45, 0.5f, 30, 1);
      StepBoatSail(rig.boat(), kDt);
    }
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (player ? ", player" : ", computer"));
      int refused = 0, fired = 0, lastFired = -1000, shortestGap = 100000;
      for (const Shot& s : rig.field.shots) {
        if (s.weapon != c.weapon) continue;
        EXPECT_EQ(s.deviation, c.deviation);
        if (s.fired) {
          ++fired;
          if (lastFired >= 0 && c.weapon != Weapon::Bullet) shortestGap = std::min(shortestGap, s.frame - lastFired);
          lastFired = s.frame;
        } else {
          ++refused;
        }
        if (c.weapon == Weapon::Rocket) {
          EXPECT_EQ(s.homing, player ? rig.w.world->aimMarker : enemy.aimNode);
          EXPECT_EQ(s.steering, player ? boat::kPlayerRocketSteering : boat::kAIRocketSteering);
        }
      }
      EXPECT_GT(fired, 0);
      if (c.weapon != Weapon::Bullet) {
        EXPECT_GT(refused, 0) << "it was refused while it came round";
        EXPECT_GE(shortestGap, static_cast<int>(c.reload / kDt)) << "it reloads between shots";
      }
    }
  }
}

TEST(BoatWeapons, AComputerBoatKeepsItsFrontGunOffHelicopters) {
  const struct {
    const char* name;
    int targetType;  // -1: no target
    bool gun;
  } cases[] = {
      {"helicopter", utHeli, false},
      {"tank", utTank, true},
      {"boat", utBoat, true},
      {"turret", utTurret, true},
      {"no target", -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    TTRVEntity* target = c.targetType >= 0 ? &rig.w.Add(c.targetType, {30, 0, 45}, false, 1) : nullptr;
    rig.boat().target = target;
    rig.boat().controls.fire = true;
    for (int i = 0; i < 5 * 60; ++i) {
      rig.boat().controls.aimPoint = TVector(30, 0.6f, 45, 1);
      StepBoatSail(rig.boat(), kDt);
    }
    EXPECT_EQ(CountShots(rig.field.shots, Weapon::Gun) > 0, c.gun);
    EXPECT_GT(CountShots(rig.field.shots, Weapon::Bullet), 0) << "the machine guns fire at anything";
  }
}

TEST(BoatWreck, ItExplodesOnceAndSinksSlowlyToThreeBelow) {
  BoatRig rig;
  rig.boat().isFar = 0;
  rig.boat().state.armour = 0;  // exactly 0 is a wreck
  const TGLBaseSceneObject& hullNode = *rig.boat().Children(0);
  const float dt = 0.1f;
  for (int i = 0; i < 600; ++i) rig.boat().Progress(dt);  // a minute
  EXPECT_NEAR(rig.boat().Position.Y(), -60 * boat::kWreckSinkSpeed, 1e-3f) << "0.025 a second";
  EXPECT_GT(hullNode.RollAngle(), 2 * 60 - 1) << "it lists as it goes";
  for (int i = 0; i < 1200; ++i) rig.boat().Progress(dt);  // two more
  EXPECT_FLOAT_EQ(rig.boat().Position.Y(), boat::kWreckDepth);
  EXPECT_EQ(rig.field.explosions.size(), 3u);
  for (const auto& e : rig.field.explosions) EXPECT_TRUE(e.upward);
  EXPECT_EQ(rig.field.Count("explosion"), 1);
  EXPECT_EQ(rig.field.washOverWater, 1) << "one splash";
  EXPECT_EQ(rig.field.wakes, 0);
  EXPECT_EQ(rig.field.shots.size(), 0u) << "a wreck holds no trigger";
}

TEST(BoatPlayer, TheHUDShowsEveryMountWithItsReloadAndAim) {
  BoatRig rig(true);
  TTRVEntity& u = rig.boat();
  // Straight along the front gun's barrel: on its mark; the launcher faces astern: off it.
  const TGLBaseSceneObject& barrel = MountWeapon(u, boat::kFrontGun);
  const TAffineVector ahead = barrel.AbsoluteAffinePosition() + TAffineVector(barrel.AbsoluteDirection()) * 8.0f;
  u.controls.aimPoint = TVector(ahead, 1);
  u.state.Mount(boat::kFrontGun).z = 0.75f;
  u.state.Mount(boat::kRightGun).z = 0.05f;
  u.state.Mount(boat::kLeftGun).z = 0.1f;
  u.state.Mount(boat::kRearLauncher).z = -0.01f;
  StepBoatPlayer(u, kDt);
  ASSERT_EQ(rig.field.hudUpdates, 1);
  const TTRVHUDReadout& hud = rig.field.hud;
  EXPECT_EQ(hud.unit, &u);
  EXPECT_EQ(hud.machineGun, TTRVHUDReadout::Selected);
  EXPECT_EQ(hud.gun, TTRVHUDReadout::Selected);
  EXPECT_EQ(hud.rockets, TTRVHUDReadout::Selected);
  EXPECT_FALSE(hud.airStrikeSelected);
  EXPECT_TRUE(hud.gunAimed);
  EXPECT_FALSE(hud.rocketAimed);
  EXPECT_EQ(u.state.FrontGunAimed(), 1);
  EXPECT_EQ(u.state.RearLauncherAimed(), 0);
  EXPECT_NEAR(hud.gunReady, 0.5f, 1e-5f);
  EXPECT_NEAR(hud.machineGunReady, 0.5f, 1e-5f) << "the slower of the two machine guns";
  EXPECT_NEAR(hud.rocketReady, 1, 0.01f);
}

TEST(BoatCaptain, TurnsTowardItsTargetFromEitherSide) {
  // An enemy boat astern on the +X side or the -X side: the captain brings the bow round onto
  // it, closes in and opens fire.
  for (const float side : {1.0f, -1.0f}) {
    SCOPED_TRACE(side > 0 ? "target on the +X side" : "target on the -X side");
    BoatRig rig;
    rig.boat().isFar = 0;
    TTRVEntity& enemy = rig.Add({30 + side * 12, 0, 20}, 1);
    float closest = 1e9f;
    for (int i = 0; i < 20 * 60; ++i) {
      rig.boat().Progress(kDt);
      const TAffineVector offset = enemy.AbsoluteAffinePosition() - rig.boat().AbsoluteAffinePosition();
      closest = std::min(closest, std::hypot(offset.x, offset.z));
      ASSERT_TRUE(Finite(rig.boat().Position.AsAffineVector()));
    }
    const TAffineVector offset = enemy.AbsoluteAffinePosition() - rig.boat().AbsoluteAffinePosition();
    EXPECT_GT(VectorDotProduct(Flat(offset), Flat(TAffineVector(rig.boat().AbsoluteDirection()))), std::cos(0.6f))
        << "its bow points at the target";
    EXPECT_LT(closest, boat::kStopDistance + 1) << "it closed in";
    EXPECT_GT(CountShots(rig.field.shots, Weapon::Gun), 0) << "it fired on the boat in sight";
  }
}

TEST(BoatCaptain, ItTurnsAwayFromBoatsAcrossItsBowAndBacksOffWhenBoxedIn) {
  // Idle boats lying across the bow on the +X side, the -X side or both, inside the side
  // probes but clear of the hull.
  const struct {
    const char* name;
    std::vector<float> blockersX;
    int turnSign;  // of the bow's swing toward +X after a second
    bool brake;
  } cases[] = {
      {"boat ahead on +X", {31.3f}, -1, false},
      {"boat ahead on -X", {28.7f}, 1, false},
      {"boats ahead on both sides", {31.3f, 28.7f}, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoatRig rig;
    rig.boat().isFar = 0;
    rig.boat().aiTimer = 100;  // no target: idle
    for (const float x : c.blockersX) rig.Add({x, 0, 32.2f}, 0);
    StepBoatAI(rig.boat(), kDt);
    EXPECT_EQ(rig.boat().controls.brake, c.brake);
    for (int i = 0; i < 60; ++i) {
      StepBoatAI(rig.boat(), kDt);
      StepBoatSail(rig.boat(), kDt);
    }
    const float bowX = rig.boat().AbsoluteDirection().x;
    EXPECT_EQ((bowX > 0.005f) - (bowX < -0.005f), c.turnSign) << "bow " << bowX;
  }
}

}  // namespace

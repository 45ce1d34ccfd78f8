// The helicopter: how it hovers, climbs and sinks with the controls, its speed limits, the gun
// that follows the aim, weapon choice and reloads, the wreck's fall, and the computer pilot
// that turns toward its target from either side.
#include "units/heli.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/units/recording_battlefield.h"
#include "tests/units/unit_fixture.h"
#include "units/entity.h"

namespace {

using unittest::RecordingBattlefield;
using unittest::UnitWorld;

constexpr float kDt = 1.0f / 60;
constexpr float kGround = 2;  // the fixture's flat island

// What the engine lends the player's unit.
struct EngineSide {
  TTRVControlBlock controls;
  bool tutorial = false;
  int tutorialWeapon = -1;
  TTRVStatus status = TTRVStatus::None;
  TTRVReason reason = TTRVReason::None;

  TTRVCockpit Cockpit() { return {&controls, nullptr, nullptr, &tutorial, &tutorialWeapon, nullptr, &status, &reason}; }
};

// A helicopter with the recording battlefield, near the fixture's camera target; with a
// cockpit, the player's unit takes its controls from `engine`.
struct HeliRig {
  explicit HeliRig(bool player = false, bool cockpit = false)
      : w(100, 2, true, true, cockpit ? engine.Cockpit() : TTRVCockpit{}), unit(w.Add(utHeli, {10, 4, 10}, player)) {
    unit.battlefield = &field;
    w.world->airPathFinder.Reset(64, 64, true);
  }
  void Run(float seconds) {
    for (int i = 0; i < static_cast<int>(seconds / kDt + 0.5f); ++i) unit.Progress(kDt);
  }
  float Height() const { return unit.Position.Y() - kGround; }

  EngineSide engine;
  UnitWorld w;
  RecordingBattlefield field;
  TTRVEntity& unit;
};

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(HeliFlight, WithNoInputItSettlesWhereLiftBalancesItsWeight) {
  // The lift fades out at the hover height; gravity (1 per second) meets it dt below the
  // point where the lift would be 1, so every start settles at the same height.
  const float settle = heli::kHoverHeight - (1 - kDt);
  for (const float start : {0.3f, 1.5f, 8.0f}) {
    SCOPED_TRACE(testing::Message() << "start " << start << " above the ground");
    HeliRig rig;
    rig.unit.Position.SetY(kGround + start);
    rig.Run(30);
    EXPECT_NEAR(rig.Height(), settle, 0.02f);
    EXPECT_NEAR(rig.unit.state.Altitude(), settle - heli::kClearance, 0.02f);
  }
}

TEST(HeliFlight, BrakeLiftsAndAccelerateSinks) {
  // One frame from the same hover, each with one control held: the change of the vertical
  // speed against the frame with nothing held.
  const struct {
    const char* name;
    bool TTRVControlBlock::*control;
    float expected;
  } cases[] = {
      {"brake: dt to the lift and 0.05 dt", &TTRVControlBlock::brake, kDt + 0.05f * kDt},
      {"accelerate: -0.5 dt", &TTRVControlBlock::accelerate, -0.5f * kDt},
      {"climb: dt to the lift", &TTRVControlBlock::climb, kDt},
      {"descend: nothing", &TTRVControlBlock::descend, 0},
  };
  const auto oneFrame = [](bool TTRVControlBlock::*control) {
    HeliRig rig(true);
    rig.Run(10);
    if (control) rig.unit.controls.*control = true;
    StepHeliFlight(rig.unit, kDt);
    return rig.unit.state.Velocity().y;
  };
  const float idle = oneFrame(nullptr);
  for (const auto& c : cases) EXPECT_NEAR(oneFrame(c.control) - idle, c.expected, 1e-4f) << c.name;
}

TEST(HeliFlight, SpeedsStayWithinTheirLimits) {
  const struct {
    const char* name;
    bool TTRVControlBlock::*control;
    float min, max;
    float TVector::*axis;
  } cases[] = {
      {"accelerate", &TTRVControlBlock::accelerate, 0, heli::kMaxForward, &TVector::z},
      {"brake", &TTRVControlBlock::brake, heli::kMinForward, 0, &TVector::z},
      {"left", &TTRVControlBlock::turnLeft, 0, heli::kMaxLateral, &TVector::x},
      {"right", &TTRVControlBlock::turnRight, -heli::kMaxLateral, 0, &TVector::x},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeliRig rig;
    float extreme = 0;
    for (int i = 0; i < 600; ++i) {
      rig.unit.controls.*c.control = true;
      rig.unit.controls.climb = true;  // keeps it off the ground
      StepHeliFlight(rig.unit, kDt);
      const float v = rig.unit.state.Velocity().*c.axis;
      EXPECT_GE(v, c.min);
      EXPECT_LE(v, c.max);
      if (std::abs(v) > std::abs(extreme)) extreme = v;
    }
    EXPECT_NEAR(std::abs(extreme), std::max(std::abs(c.min), std::abs(c.max)), 1e-4f) << "held long, it reaches the limit";
  }
}

TEST(HeliFlight, TheGunSwingsOntoTheAimFromEverySide) {
  // Aims within the gun's reach (yaw within 45 degrees, pitch within -20 .. 30 of the body):
  // to the +X side and the -X side, above and below the gun.
  const TAffineVector aims[] = {{14, 3.8f, 20}, {6, 3.8f, 20}, {10, 6.5f, 20}, {10, 1.0f, 20}, {15, 2.0f, 18}};
  for (const TAffineVector& aim : aims) {
    SCOPED_TRACE(testing::Message() << "aim " << aim.x << ", " << aim.y << ", " << aim.z);
    HeliRig rig;
    rig.unit.Position.SetY(kGround + heli::kHoverHeight - (1 - kDt));
    for (int i = 0; i < 600; ++i) {
      rig.unit.controls.aimPoint = TVector(aim, 1);
      StepHeliFlight(rig.unit, kDt);
    }
    TGLBaseSceneObject& gun = *rig.unit.Children(0)->Children(0)->Children(2);
    const TAffineVector toAim = VectorNormalize(aim - gun.AbsoluteAffinePosition());
    EXPECT_GT(VectorDotProduct(toAim, TAffineVector(gun.AbsoluteDirection())), std::cos(3.0f * 3.14159f / 180))
        << "yaw " << rig.unit.state.GunYaw() << " pitch " << rig.unit.state.GunPitch();
  }
}

TEST(HeliWeapons, AnAirStrikeThatIsNotReadyFallsBackToTheMachineGun) {
  const struct {
    const char* name;
    float airStrikeTimer;
    bool tutorialForces;
    std::uint8_t weapon;
    const char* sample;
  } cases[] = {
      {"still counting", 12, false, 0, "AirStrikeNotReady"},
      {"still counting in the tutorial's lesson", 12, true, 0, nullptr},
      {"ready", -1, false, 2, "AirStrikeSelected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeliRig rig(true, true);
    rig.engine.tutorial = c.tutorialForces;
    rig.engine.tutorialWeapon = c.tutorialForces ? 2 : -1;
    rig.w.world->airStrikeTimer = c.airStrikeTimer;
    rig.engine.controls.weaponRequest = 2;
    rig.unit.Progress(kDt);
    EXPECT_EQ(rig.unit.state.Weapon(), c.weapon);
    EXPECT_EQ(rig.engine.controls.weaponRequest, c.weapon) << "the engine's request follows";
    EXPECT_EQ(rig.field.Count("AirStrikeNotReady"), c.sample && std::string(c.sample) == "AirStrikeNotReady" ? 1 : 0);
    EXPECT_EQ(rig.field.Count("AirStrikeSelected"), c.weapon == 2 ? 1 : 0);
  }
}

TEST(HeliWeapons, ReloadsAndPods) {
  // The machine gun fires every 0.1 s; a computer pilot whose rocket is refused by the aim
  // test tries again 0.1 s later from the same pod; the player's pods take turns on every
  // pull, launched or not, and reload 1.1 s.
  {
    HeliRig rig;
    rig.unit.controls.fire = true;
    rig.unit.controls.aimPoint = TVector(10, 4, 30, 1);  // straight ahead of the gun
    for (int i = 0; i < 60; ++i) StepHeliFlight(rig.unit, kDt);
    // A shot, then 0.1 s of reload: one shot every seventh frame at 60 frames a second.
    EXPECT_GE(rig.field.shots.size(), 8u) << "machine gun, one second";
    EXPECT_LE(rig.field.shots.size(), 10u);
    for (const auto& shot : rig.field.shots) EXPECT_EQ(shot.deviation, heli::kAIMachineGunDeviation);
  }
  {
    HeliRig rig;
    rig.unit.controls.weaponRequest = 1;
    rig.unit.controls.fire = true;
    rig.unit.controls.aimPoint = TVector(40, 4, 10, 1);  // far to the side: refused
    for (int i = 0; i < 60; ++i) {
      rig.unit.controls.aimPoint = TVector(40, 4, 10, 1);
      rig.unit.state.GunYaw() = 0;  // keeps the gun from swinging onto it
      StepHeliFlight(rig.unit, kDt);
    }
    ASSERT_GE(rig.field.shots.size(), 8u);
    EXPECT_LE(rig.field.shots.size(), 11u) << "a retry every 0.1 s";
    for (const auto& shot : rig.field.shots) {
      EXPECT_FALSE(shot.fired);
      EXPECT_EQ(shot.steering, heli::kAIRocketSteering);
    }
    EXPECT_EQ(rig.unit.state.RocketPod(), 3) << "a refused rocket keeps the pod";
  }
  {
    HeliRig rig(true);
    rig.unit.controls.weaponRequest = 1;
    rig.unit.controls.fire = true;
    std::vector<std::uint8_t> pods;
    for (int i = 0; i < 180; ++i) {
      rig.unit.controls.aimPoint = TVector(40, 4, 10, 1);
      const std::size_t before = rig.field.shots.size();
      StepHeliFlight(rig.unit, kDt);
      if (rig.field.shots.size() > before) pods.push_back(rig.unit.state.RocketPod());
    }
    ASSERT_EQ(pods.size(), 3u) << "one pull per 1.1 s in three seconds";
    EXPECT_EQ(pods, (std::vector<std::uint8_t>{4, 3, 4}));
    for (const auto& shot : rig.field.shots) {
      EXPECT_TRUE(shot.fired) << "the player's shots take no aim test";
      EXPECT_EQ(shot.homing, rig.w.world->aimMarker);
    }
  }
}

TEST(HeliWreck, AtSeaItSinksAndStopsAtTheFloor) {
  HeliRig rig;
  for (int x = 20; x < 40; ++x)
    for (int z = 20; z < 40; ++z) rig.w.world->heightGrid.Set(x, z, 0);
  rig.unit.Position.SetPoint(30, 0.1f, 30);
  rig.w.cameraTarget.Position.SetPoint(30, 0, 30);  // near all the way down
  rig.unit.state.armour = 0;  // exactly 0 is a wreck
  rig.Run(50);
  EXPECT_FLOAT_EQ(rig.unit.Position.Y(), kWreckFloor);
  EXPECT_GT(rig.field.washOverWater, 0) << "it splashes while it goes down";
  rig.Run(5);
  EXPECT_FLOAT_EQ(rig.unit.Position.Y(), kWreckFloor);
}

TEST(HeliWreck, OverLandItSpinsDownExplodesOnceAndLiesOnTheSlope) {
  HeliRig rig;
  // A slope rising toward +X under the helicopter.
  for (int x = 0; x < 64; ++x)
    for (int z = 0; z < 64; ++z) rig.w.world->heightGrid.Set(x, z, static_cast<std::uint8_t>(50 + x));
  rig.unit.Position.SetPoint(10.2f, 20, 10.3f);
  rig.unit.state.armour = -5;
  TGLBaseSceneObject& tilt = *rig.unit.Children(0);
  rig.Run(1);
  EXPECT_NE(tilt.TurnAngle(), 0) << "the body spins while the rotor winds down";
  rig.Run(25);
  EXPECT_EQ(rig.field.explosions.size(), 1u);
  EXPECT_EQ(rig.field.Count("explosion"), 1);
  EXPECT_EQ(rig.unit.state.RotorSpeed(), 0);
  const TAffineVector up(rig.unit.AbsoluteUp());
  const TTRVSurface ground = SurfaceAt(GroundOf(*rig.w.world), rig.unit.AbsoluteAffinePosition());
  EXPECT_GT(VectorDotProduct(up, TAffineVector(ground.normal)), 0.999f) << "lies along the slope";
  EXPECT_LT(up.x, -0.01f);
  EXPECT_NEAR(rig.unit.state.Altitude(), 0, 0.02f);
}

TEST(HeliWreck, DestroyedOnItsSkidsItStillExplodes) {
  HeliRig rig;
  rig.unit.Position.SetY(kGround + heli::kClearance);
  rig.unit.state.RotorSpeed() = 0;
  rig.unit.state.armour = 0;
  rig.Run(2);
  EXPECT_EQ(rig.field.explosions.size(), 1u);
}

TEST(HeliPlayer, ADestroyedPlayersHelicopterLosesTheMissionEveryFrame) {
  for (const float armour : {0.0f, -3.0f}) {
    SCOPED_TRACE(testing::Message() << "armour " << armour);
    HeliRig rig(true, true);
    rig.unit.Progress(kDt);
    EXPECT_EQ(rig.engine.status, TTRVStatus::None) << "alive";
    rig.unit.state.armour = armour;
    for (int i = 0; i < 3; ++i) {
      rig.engine.status = TTRVStatus::None;  // the shell reads and clears it every tick
      rig.unit.Progress(kDt);
      EXPECT_EQ(rig.engine.status, TTRVStatus::Failed);
      EXPECT_EQ(rig.engine.reason, TTRVReason::HeliDestroyed);
    }
  }
}

TEST(HeliPlayer, TheHUDShowsTheWeaponInHandAndItsReload) {
  HeliRig rig(true);
  rig.unit.controls.weaponRequest = 1;
  rig.unit.Progress(kDt);
  rig.unit.Progress(kDt);
  ASSERT_GT(rig.field.hudUpdates, 0);
  EXPECT_EQ(rig.field.hud.unit, &rig.unit);
  EXPECT_EQ(rig.field.hud.rockets, TTRVHUDReadout::Selected);
  EXPECT_EQ(rig.field.hud.machineGun, TTRVHUDReadout::Available);
  EXPECT_EQ(rig.field.hud.gun, TTRVHUDReadout::Hidden);
  EXPECT_FALSE(rig.field.hud.airStrikeSelected);
}

TEST(HeliFlight, CollidingHelicoptersPartWithoutNaN) {
  // Two helicopters on the same spot: the push has no direction to take from their
  // positions and must not become NaN.
  UnitWorld w;
  w.world->airPathFinder.Reset(64, 64, true);
  TTRVEntity& a = w.Add(utHeli, {10, 4, 10}, false, 0);
  TTRVEntity& b = w.Add(utHeli, {10, 4, 10}, false, 1);
  for (int i = 0; i < 120; ++i) {
    StepHeliFlight(a, kDt);
    StepHeliFlight(b, kDt);
  }
  EXPECT_TRUE(Finite(a.Position.AsAffineVector()));
  EXPECT_TRUE(Finite(b.Position.AsAffineVector()));
  EXPECT_TRUE(Finite(TAffineVector(a.state.Velocity())));
}

TEST(HeliPilot, TurnsTowardItsTargetFromEitherSide) {
  // An enemy tank behind the helicopter, on its +X side or its -X side: the pilot turns its
  // nose onto it and closes in.
  for (const float side : {1.0f, -1.0f}) {
    SCOPED_TRACE(side > 0 ? "target on the +X side" : "target on the -X side");
    UnitWorld w;
    w.world->airPathFinder.Reset(64, 64, true);
    w.cameraTarget.Position.SetPoint(30, 0, 30);
    TTRVEntity& pilot = w.Add(utHeli, {30, 4, 30}, false, 0);
    TTRVEntity& tank = w.Add(utTank, {30 + side * 12, 2, 22}, false, 1);
    tank.Progress(kDt);  // placed: near
    RecordingBattlefield field;
    pilot.battlefield = &field;
    float closest = 1e9f;
    for (int i = 0; i < 8 * 60; ++i) {
      pilot.Progress(kDt);
      const TAffineVector offset = tank.AbsoluteAffinePosition() - pilot.AbsoluteAffinePosition();
      closest = std::min(closest, std::hypot(offset.x, offset.z));
      ASSERT_TRUE(Finite(pilot.Position.AsAffineVector()));
    }
    const TAffineVector offset = tank.AbsoluteAffinePosition() - pilot.AbsoluteAffinePosition();
    const TAffineVector flat = VectorNormalize(TAffineVector(offset.x, 0, offset.z));
    const TAffineVector nose(pilot.AbsoluteDirection());
    EXPECT_GT(VectorDotProduct(flat, VectorNormalize(TAffineVector(nose.x, 0, nose.z))), std::cos(0.6f))
        << "its nose points at the target";
    EXPECT_LT(closest, 10) << "it came within strafing distance";
    EXPECT_EQ(pilot.controls.weaponRequest, 1) << "rockets for a tank";
    EXPECT_FALSE(field.shots.empty()) << "it fired at the tank in sight";
  }
}

TEST(HeliRig, TheTailRotorHasAnUprightFrame) {
  HeliRig rig;
  TGLBaseSceneObject& tail = *rig.unit.Children(0)->Children(0)->Children(5);
  const TAffineVector up(tail.Up.AsAffineVector()), dir(tail.Direction.AsAffineVector());
  EXPECT_NEAR(up.z, -1, 1e-5f);
  EXPECT_NEAR(VectorLength(dir), 1, 1e-5f);
  EXPECT_NEAR(VectorDotProduct(up, dir), 0, 1e-5f);
}

}  // namespace

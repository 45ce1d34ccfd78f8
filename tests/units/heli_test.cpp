// The helicopter: how it hovers, climbs and sinks with the controls, its speed limits, the gun
// that follows the aim, weapon choice and reloads, the wreck's fall, and the computer pilot
// that turns toward its target from either side.
#include "units/heli.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "tests/units/recording_battlefield.h"
#include "ai/worldbeacon.h"
#include "platform/random.h"
#include "terrain/sector.h"
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
      {"still counting", 12, false, heli::kMachineGun, "AirStrikeNotReady"},
      {"still counting in the tutorial's lesson", 12, true, heli::kMachineGun, nullptr},
      {"ready", -1, false, heli::kAirStrike, "AirStrikeSelected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeliRig rig(true, true);
    rig.engine.tutorial = c.tutorialForces;
    rig.engine.tutorialWeapon = c.tutorialForces ? weapons::kAirStrike : -1;
    rig.w.world->airStrikeTimer = c.airStrikeTimer;
    rig.engine.controls.weaponRequest = heli::kAirStrike;
    rig.unit.Progress(kDt);
    EXPECT_EQ(rig.unit.state.Weapon(), c.weapon);
    EXPECT_EQ(rig.engine.controls.weaponRequest, c.weapon) << "the engine's request follows";
    EXPECT_EQ(rig.field.Count("AirStrikeNotReady"), c.sample && std::string(c.sample) == "AirStrikeNotReady" ? 1 : 0);
    EXPECT_EQ(rig.field.Count("AirStrikeSelected"), c.weapon == heli::kAirStrike ? 1 : 0);
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
    rig.unit.controls.weaponRequest = heli::kRockets;
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
    rig.unit.controls.weaponRequest = heli::kRockets;
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
  rig.unit.controls.weaponRequest = heli::kRockets;
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
  // Two near helicopters whose boxes overlap, a little apart or on the very same spot (where
  // their positions give the push no direction): both are pushed, they part, and nothing
  // becomes NaN.
  const struct {
    const char* name;
    TAffineVector offset;  // of the second from the first
  } cases[] = {
      {"side by side", {0.1f, 0, 0}},
      {"one behind the other", {0, 0, 0.3f}},
      {"on one spot", {0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitWorld w;
    w.world->airPathFinder.Reset(64, 64, true);
    w.cameraTarget.Position.SetPoint(10, 4, 10);
    TTRVEntity& a = w.Add(utHeli, {10, 4, 10}, false, 0);
    TTRVEntity& b = w.Add(utHeli, TAffineVector(10, 4, 10) + c.offset, false, 1);
    RecordingBattlefield field;
    a.battlefield = b.battlefield = &field;
    a.isFar = b.isFar = 0;  // placed and near: the collision searches see them
    const auto apart = [&] {
      const TAffineVector d = a.AbsoluteAffinePosition() - b.AbsoluteAffinePosition();
      return std::hypot(d.x, d.z);
    };
    const float before = apart();
    for (int i = 0; i < 120; ++i) {
      StepHeliFlight(a, kDt);
      StepHeliFlight(b, kDt);
      ASSERT_TRUE(Finite(a.Position.AsAffineVector()));
      ASSERT_TRUE(Finite(b.Position.AsAffineVector()));
      ASSERT_TRUE(Finite(TAffineVector(a.state.Velocity())));
    }
    EXPECT_GT(apart(), before + 0.2f) << "they parted";
    EXPECT_GT(field.Count("hit0") + field.Count("hit1") + field.Count("hit2"), 0) << "the bump was heard";
  }
}

TEST(HeliFlight, AnObstacleItTouchesPushesItAway) {
  // A box of the sector touching the helicopter's collision box from one side; a wreck is not
  // pushed by obstacles.
  const struct {
    const char* name;
    TAffineVector offset;  // of the box from the helicopter
    bool wreck;
    bool pushed;
  } cases[] = {
      {"on its +X side", {0.25f, -0.1f, -0.1f}, false, true},
      {"on its -X side", {-0.25f, -0.1f, -0.1f}, false, true},
      {"ahead", {0, -0.1f, 0.4f}, false, true},
      {"behind", {0, -0.1f, -0.6f}, false, true},
      {"clear of it", {1.5f, 0, 0}, false, false},
      {"a wreck against it", {0.25f, -0.1f, -0.1f}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeliRig rig;
    TTRVSector sector;
    const TAffineVector start = rig.unit.AbsoluteAffinePosition();
    TGLDummyCube* box = sector.obstacleCube->AddNewChild<TGLDummyCube>();
    box->Position.SetPoint(start + c.offset);
    box->Scale.SetVector(0.3f, 0.3f, 0.3f);
    if (c.wreck) rig.unit.state.armour = 0;
    const auto flatDistance = [&] {
      const TAffineVector d = rig.unit.AbsoluteAffinePosition() - box->AbsoluteAffinePosition();
      return std::hypot(d.x, d.z);
    };
    const float before = flatDistance();
    for (int i = 0; i < 30; ++i) {
      rig.unit.sector = &sector;
      StepHeliFlight(rig.unit, kDt);
    }
    const int hits = rig.field.Count("hit0") + rig.field.Count("hit1") + rig.field.Count("hit2");
    if (c.pushed) {
      EXPECT_GT(flatDistance(), before + 0.1f) << "pushed off the box";
      EXPECT_GT(hits, 0);
    } else {
      EXPECT_NEAR(flatDistance(), before, 0.01f);
      EXPECT_EQ(hits, 0);
    }
  }
}

TEST(HeliFlight, FlyingForwardDipsTheNoseAndBrakingRaisesIt) {
  // Held for two seconds: the nose's world-space forward vector (the fuselage's direction,
  // tilted with the speed) points down when flying forward and up when going backward; with
  // no speed it is level.
  const struct {
    const char* name;
    bool accelerate, brake;
    int noseSign;  // of the fuselage direction's height
  } cases[] = {
      {"flying forward", true, false, -1},
      {"braking to fly backward", false, true, 1},
      {"hovering", false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeliRig rig;
    for (int i = 0; i < 120; ++i) {
      rig.unit.controls.accelerate = c.accelerate;
      rig.unit.controls.brake = c.brake;
      rig.unit.controls.climb = true;  // keeps it off the ground
      StepHeliFlight(rig.unit, kDt);
    }
    const float speed = rig.unit.state.Velocity().z;
    EXPECT_EQ((speed > 0.1f) - (speed < -0.1f), -c.noseSign) << "forward speed " << speed;
    const TAffineVector nose(rig.unit.Children(0)->Children(0)->AbsoluteDirection());
    EXPECT_EQ((nose.y > 0.05f) - (nose.y < -0.05f), c.noseSign) << "nose " << nose.y;
    EXPECT_GT(nose.z, 0.9f) << "still facing ahead";
  }
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
    EXPECT_EQ(pilot.controls.weaponRequest, heli::kRockets) << "rockets for a tank";
    EXPECT_FALSE(field.shots.empty()) << "it fired at the tank in sight";
  }
}

// A computer pilot over open ground at (30, 4, 30) facing +Z, near the camera target, with the
// recording battlefield; others are placed near without running their own frames.
struct PilotWorld {
  PilotWorld() {
    w.world->airPathFinder.Reset(64, 64, true);
    w.world->groundPathFinder.Reset(64, 64, true);
    w.cameraTarget.Position.SetPoint(30, 0, 30);
    pilot = &w.Add(utHeli, {30, 4, 30}, false, 0);
    pilot->battlefield = &field;
    pilot->isFar = 0;
  }
  TTRVEntity& Other(int type, TAffineVector at, int side, bool player = false) {
    TTRVEntity& other = w.Add(type, at, player, side);
    other.isFar = 0;
    return other;
  }
  TTRVEntity& Pilot() { return *pilot; }

  UnitWorld w;
  RecordingBattlefield field;
  TTRVEntity* pilot = nullptr;
};

TEST(HeliPilot, BelowAltitudeOneItClimbsInsteadOfFlyingOn) {
  // Engaging an enemy tank well ahead (a waypoint that would have it fly forward).
  const struct {
    float altitude;
    bool climb, accelerate, descend;
  } cases[] = {{0.5f, true, false, false}, {0.99f, true, false, false}, {2, false, true, false}, {3.5f, false, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "altitude " << c.altitude);
    PilotWorld p;
    p.Other(utTank, {29.5f, 2, 52}, 1);
    p.Pilot().state.Altitude() = c.altitude;
    StepHeliAI(p.Pilot(), kDt);
    ASSERT_EQ(p.Pilot().aiState, TTRVAIState::Engage);
    EXPECT_EQ(p.Pilot().controls.climb, c.climb);
    EXPECT_EQ(p.Pilot().controls.accelerate, c.accelerate);
    EXPECT_EQ(p.Pilot().controls.descend, c.descend);
  }
}

TEST(HeliPilot, WithinTenOfAGroundTargetItStrafesToTheSideOfThePodInUse) {
  // A target 6 ahead, in sight: the pilot stops flying on; round a tank it brakes and slides
  // toward the pod it fires from (pod 3 hangs on the +X side), a helicopter it only faces.
  const struct {
    const char* name;
    int type;
    std::uint8_t pod;
    int slide;  // the sign of the lateral speed after a frame of flight
  } cases[] = {
      {"tank, pod 3", utTank, 3, 1},
      {"tank, pod 4", utTank, 4, -1},
      {"turret, pod 3", utTurret, 3, 1},
      {"helicopter", utHeli, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PilotWorld p;
    p.Other(c.type, {29.8f, c.type == utHeli ? 4.0f : 2.0f, 36}, 1);
    TTRVEntity& pilot = p.Pilot();
    pilot.state.Altitude() = 2;
    pilot.state.RocketPod() = c.pod;
    StepHeliAI(pilot, kDt);
    ASSERT_EQ(pilot.aiState, TTRVAIState::Engage);
    const TTRVControlBlock& k = pilot.controls;
    EXPECT_TRUE(k.fire) << "in sight";
    EXPECT_FALSE(k.accelerate);
    EXPECT_EQ(k.brake, c.slide != 0);
    // Its waypoint is its own cell (the target is within reach), which lies on the +X side by
    // the letters: a helicopter target leaves that turn as it is.
    if (c.slide == 0) continue;
    EXPECT_EQ(k.turnLeft, c.slide > 0);
    EXPECT_EQ(k.turnRight, c.slide < 0);
    pilot.controls.fire = false;  // a launch would switch pods
    StepHeliFlight(pilot, kDt);
    const float lateral = pilot.state.Velocity().x;
    EXPECT_EQ((lateral > 1e-4f) - (lateral < -1e-4f), c.slide) << "lateral speed " << lateral;
    const TGLBaseSceneObject& pod = *pilot.Children(0)->Children(0)->Children(c.pod);
    EXPECT_GT(pod.Position.X() * lateral, 0) << "toward the pod's side";
  }
}

TEST(HeliPilot, TheWeaponFitsTheTarget) {
  // The machine gun against helicopters, rockets against tanks and turrets, either against a
  // boat; the choice is made each time the pilot looks for a target.
  using weapons::heli::kMachineGun;
  using weapons::heli::kRockets;
  const struct {
    const char* name;
    int type;
    std::set<std::uint8_t> weapons;
  } cases[] = {
      {"helicopter", utHeli, {kMachineGun}},
      {"tank", utTank, {kRockets}},
      {"turret", utTurret, {kRockets}},
      {"boat", utBoat, {kMachineGun, kRockets}},
  };
  platform::Random().Seed(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PilotWorld p;
    p.Other(c.type, {29.5f, c.type == utHeli ? 4.0f : 2.0f, 42}, 1);
    std::set<std::uint8_t> chosen;
    for (int i = 0; i < 30; ++i) {
      p.Pilot().aiTimer = -1;
      StepHeliAI(p.Pilot(), kDt);
      chosen.insert(p.Pilot().controls.weaponRequest);
    }
    EXPECT_EQ(chosen, c.weapons);
  }
  // And the gun is what it fires at a helicopter.
  PilotWorld p;
  p.Other(utHeli, {29.9f, 4, 38}, 1);
  for (int i = 0; i < 60; ++i) p.Pilot().Progress(kDt);
  ASSERT_FALSE(p.field.shots.empty());
  for (const auto& shot : p.field.shots) EXPECT_EQ(shot.weapon, RecordingBattlefield::Weapon::Bullet);
}

TEST(HeliPilot, AdvancingItFliesDownTheEnemysAirBeaconNotToThePlayer) {
  // No enemy in sight; it follows the player of its attacking side, so it advances: down the
  // field toward the main enemy's base at (52, 52), while the player waits at (14, 14).
  PilotWorld p;
  TTRVWorld& world = *p.w.world;
  world.sides[0].attacking = 1;
  world.sides[0].mainEnemy = 1;
  auto beacon = std::make_shared<TTRVAIWorldBeacon>(world.airPathFinder, GroundOf(world));
  beacon->Compute({52, 52});
  world.sides[1].airBeacon = beacon;
  p.w.cameraTarget.Position.SetPoint(34, 0, 34);
  p.Other(utHeli, {14, 4, 14}, 0, true);
  const TAffineVector base(52, 4, 52);
  const auto toBase = [&] {
    const TAffineVector d = base - p.Pilot().AbsoluteAffinePosition();
    return std::hypot(d.x, d.z);
  };
  const float before = toBase();
  for (int i = 0; i < 20 * 60; ++i) {
    p.Pilot().Progress(kDt);
    p.Pilot().isFar = 0;  // stays near for the test, wherever the camera target is
    ASSERT_TRUE(Finite(p.Pilot().Position.AsAffineVector()));
  }
  EXPECT_EQ(p.Pilot().aiState, TTRVAIState::Advance);
  EXPECT_LT(toBase(), before / 3) << "it flew most of the way to the base";
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

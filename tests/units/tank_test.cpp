// The tank: handling and its limits, the slope and the water, the turret and gun that follow
// the aim from either side, weapon choice and reloads, the wreck, units at one spot, and the
// computer driver that turns toward its target, stops to shoot and keeps clear of other tanks.
#include "units/tank.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>

#include "platform/random.h"
#include "tests/units/recording_battlefield.h"
#include "terrain/sector.h"
#include "tests/units/unit_fixture.h"
#include "units/entity.h"

namespace {

using unittest::RecordingBattlefield;
using unittest::UnitWorld;

constexpr float kDt = 1.0f / 60;
constexpr float kGround = 2;  // the fixture's flat island
const TAffineVector kSpot{20, kGround, 20};

// What the engine lends the player's unit.
struct EngineSide {
  TTRVControlBlock controls;
  TTRVStatus status = TTRVStatus::None;
  TTRVReason reason = TTRVReason::None;

  TTRVCockpit Cockpit() { return {&controls, nullptr, nullptr, nullptr, nullptr, nullptr, &status, &reason}; }
};

// Open ground for the driver's searches, made before the units so their beacons see it.
UnitWorld& OpenGround(UnitWorld& w) {
  w.world->groundPathFinder.Reset(64, 64, true);
  return w;
}

// A tank with the recording battlefield, near the fixture's camera target; with a cockpit the
// player's tank takes its controls from `engine`.
struct TankRig {
  explicit TankRig(bool player = false, bool cockpit = false, TAffineVector at = kSpot)
      : w(100, 2, true, true, cockpit ? engine.Cockpit() : TTRVCockpit{}), unit(OpenGround(w).Add(utTank, at, player)) {
    unit.battlefield = &field;
  }
  void Drive(int frames) {
    for (int i = 0; i < frames; ++i) StepTankDrive(unit, kDt);
  }
  void Run(float seconds) {
    for (int i = 0; i < static_cast<int>(seconds / kDt + 0.5f); ++i) unit.Progress(kDt);
  }
  void Sea(int from, int to) {
    for (int x = from; x < to; ++x)
      for (int z = from; z < to; ++z) w.world->heightGrid.Set(x, z, 0);
  }
  TGLBaseSceneObject& Gun() { return *unit.Children(0)->Children(1)->Children(0); }

  EngineSide engine;
  UnitWorld w;
  RecordingBattlefield field;
  TTRVEntity& unit;
};

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(TankDrive, ComputerTanksBrakeAndTurnHalfAsHardAgainAsThePlayers) {
  // One frame from rest with one control held; the player's answer against the computer's.
  const struct {
    const char* name;
    bool TTRVControlBlock::*control;
  } cases[] = {{"brake", &TTRVControlBlock::brake}, {"turn right", &TTRVControlBlock::turnRight}};
  const auto oneFrame = [](bool player, bool TTRVControlBlock::*control) {
    TankRig rig(player);
    rig.unit.controls.*control = true;
    StepTankDrive(rig.unit, kDt);
    return control == &TTRVControlBlock::brake ? rig.unit.state.ForwardSpeed() : rig.unit.TurnAngle();
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const float player = oneFrame(true, c.control), computer = oneFrame(false, c.control);
    EXPECT_NE(player, 0);
    EXPECT_NEAR(computer / player, tank::kAIHandling, 1e-4f);
  }
  EXPECT_GT(oneFrame(false, &TTRVControlBlock::turnRight), 0) << "right turns clockwise from above";
  EXPECT_LT(oneFrame(false, &TTRVControlBlock::turnLeft), 0);
}

TEST(TankDrive, SpeedAndTurnRateAreClampedThenDamped) {
  // Values beyond the limits (as a steep slope leaves them) are clamped before the frame's
  // damping: (1 - dt) for the speed, (1 - 2 dt) for the turn rate.
  const struct {
    const char* name;
    float speed, turnRate;
    float expectedSpeed, expectedTurnRate;
  } cases[] = {
      {"too fast ahead, turning right", 5, 50, tank::kMaxSpeed * (1 - kDt), tank::kMaxTurnRate * (1 - 2 * kDt)},
      {"too fast astern, turning left", -5, -50, tank::kMinSpeed * (1 - kDt), -tank::kMaxTurnRate * (1 - 2 * kDt)},
      {"within the limits", 1, 2, 1 - kDt, 2 * (1 - 2 * kDt)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TankRig rig;
    rig.unit.state.ForwardSpeed() = c.speed;
    rig.unit.state.TurnRate() = c.turnRate;
    StepTankDrive(rig.unit, kDt);
    EXPECT_NEAR(rig.unit.state.ForwardSpeed(), c.expectedSpeed, 1e-5f);
    EXPECT_NEAR(rig.unit.state.TurnRate(), c.expectedTurnRate, 1e-5f);
  }
  // Held long, a computer's brake runs into the limit astern.
  TankRig rig;
  for (int i = 0; i < 600; ++i) {
    rig.unit.controls.brake = true;
    StepTankDrive(rig.unit, kDt);
    ASSERT_GE(rig.unit.state.ForwardSpeed(), tank::kMinSpeed);
  }
  EXPECT_NEAR(rig.unit.state.ForwardSpeed(), tank::kMinSpeed * (1 - kDt), 1e-4f);
}

TEST(TankDrive, WithoutInputTheSpeedHalvesInAboutSevenTenthsOfASecond) {
  TankRig rig;
  rig.unit.state.ForwardSpeed() = 1;
  rig.Drive(41);
  EXPECT_GT(rig.unit.state.ForwardSpeed(), 0.5f);
  rig.Drive(1);
  EXPECT_LT(rig.unit.state.ForwardSpeed(), 0.5f);
  EXPECT_GT(rig.unit.Position.Z(), kSpot.z) << "it rolled on meanwhile";
}

TEST(TankDrive, DownhillSpeedsItUpAndUphillSlowsItDown) {
  // The ground rises toward +X by 1/25 a cell; the tank rolls at speed 1 facing -X (down),
  // +Z (across) or +X (up).
  const struct {
    const char* name;
    TAffineVector facing;
    float dropPerSecond;  // height lost per second at speed 1
  } cases[] = {
      {"downhill", {-1, 0, 0}, tank::kDriveScale / 25},
      {"across", {0, 0, 1}, 0},
      {"uphill", {1, 0, 0}, -tank::kDriveScale / 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TankRig rig;
    for (int x = 0; x < 64; ++x)
      for (int z = 0; z < 64; ++z) rig.w.world->heightGrid.Set(x, z, static_cast<std::uint8_t>(50 + x));
    rig.unit.Direction.SetVector(c.facing);
    rig.Drive(1);  // on the slope, with a height to compare against
    rig.unit.state.ForwardSpeed() = 1;
    rig.Drive(2);
    // Damped twice; the height lost while rolling in the first frame counts in the second, at
    // 12 dt per unit.
    const float expected = (1 - kDt) * (1 - kDt) + c.dropPerSecond * (1 - kDt) * kDt * tank::kSlopeGain * kDt;
    EXPECT_NEAR(rig.unit.state.ForwardSpeed(), expected, 2e-6f);
  }
}

TEST(TankDrive, ANewTankDoesNotRollOffOnItsFirstFrame) {
  // Its kept position is all zeros until the first frame: that is no height to roll down from.
  TankRig rig;
  StepTankDrive(rig.unit, kDt);
  EXPECT_EQ(rig.unit.state.ForwardSpeed(), 0);
}

TEST(TankDrive, ItFollowsTheGroundOnItsThreeContacts) {
  TankRig rig;
  for (int x = 0; x < 64; ++x)
    for (int z = 0; z < 64; ++z) rig.w.world->heightGrid.Set(x, z, static_cast<std::uint8_t>(50 + x + z / 2));
  rig.unit.Turn(30);
  rig.Drive(1);
  const TTRVGroundView ground = GroundOf(*rig.w.world);
  float sum = 0;
  for (int i = 1; i <= 3; ++i) {
    const TAffineVector contact = rig.unit.Children(i)->AbsoluteAffinePosition();
    const float h = SurfaceAt(ground, contact).height;
    EXPECT_NEAR(contact.y, h, 1e-4f) << "contact " << i << " on the ground";
    sum += h;
  }
  EXPECT_NEAR(rig.unit.Position.Y(), sum / 3, 1e-4f);
  const TAffineVector up(rig.unit.Children(0)->AbsoluteUp());
  const TAffineVector normal(SurfaceAt(ground, rig.unit.AbsoluteAffinePosition()).normal);
  // The contacts straddle the cells' triangles, so their plane is close to the ground's, not equal.
  EXPECT_GT(VectorDotProduct(up, normal), 0.999f) << "the hull lies along the slope";
  const TAffineVector toFront = VectorNormalize(rig.unit.Children(1)->AbsoluteAffinePosition() - rig.unit.AbsoluteAffinePosition());
  EXPECT_GT(VectorDotProduct(TAffineVector(rig.unit.Children(0)->AbsoluteDirection()), toFront), 0.9999f);
}

TEST(TankDrive, InTheWaterItLosesTenArmourASecond) {
  TankRig rig;
  rig.Sea(10, 30);
  rig.unit.Position.SetY(0);
  const float before = rig.unit.state.armour;
  rig.Drive(60);
  EXPECT_NEAR(before - rig.unit.state.armour, tank::kDrownRate, 0.01f);
  TankRig dry;
  dry.Drive(60);
  EXPECT_EQ(dry.unit.state.armour, before) << "on land it keeps its armour";
}

TEST(TankDrive, ACornerOnAnObstacleSlowsTurnsAndSlidesItAway) {
  // A small box touching one corner of a tank facing +Z at speed 0.5. Front corners push it
  // back, rear ones on; every corner turns that corner away from the box (a front +X corner
  // swings the nose toward -X, a rear +X corner the tail toward -X and so the nose toward +X)
  // and slides it away from the box (+X corners toward -X).
  const struct {
    const char* name;
    float x, z;  // of the box, from the tank
    float push, turn, slide;
  } cases[] = {
      {"front +X", 0.2f, 0.2f, -1, 1, -1},
      {"front -X", -0.2f, 0.2f, -1, -1, 1},
      {"rear +X", 0.2f, -0.2f, 1, -1, -1},
      {"rear -X", -0.2f, -0.2f, 1, 1, 1},
      {"clear", 0.2f, 0.6f, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TankRig rig;
    TTRVSector sector;
    TGLDummyCube* box = sector.obstacleCube->AddNewChild<TGLDummyCube>();
    box->Position.SetPoint(kSpot.x + c.x, kSpot.y + 0.106f, kSpot.z + c.z);
    box->Scale.SetVector(0.1f, 0.1f, 0.1f);
    rig.Drive(1);  // the hull settles on the ground
    rig.unit.sector = &sector;
    rig.unit.state.ForwardSpeed() = 0.5f;
    StepTankDrive(rig.unit, kDt);
    const float damped = 0.5f * (1 - kDt);
    const bool hit = c.push != 0;
    EXPECT_NEAR(rig.unit.state.ForwardSpeed(), hit ? damped + c.push * kDt - damped * kDt * 10 : damped, 1e-6f);
    EXPECT_NEAR(rig.unit.state.TurnRate(), c.turn * kDt, 1e-6f);
    EXPECT_NEAR(rig.unit.Position.X() - kSpot.x, c.slide * 0.1f * kDt, 1e-6f);
    EXPECT_EQ(rig.field.Count("hit0") + rig.field.Count("hit1") + rig.field.Count("hit2"), hit ? 1 : 0);
    // Where the hull goes on the frames after: the nose swings to the side the turn says (a
    // positive turn toward -X), so the touching corner leaves the box.
    if (!hit) continue;
    rig.Drive(30);
    const float noseX = rig.unit.AbsoluteDirection().x;
    EXPECT_EQ((noseX > 1e-3f) - (noseX < -1e-3f), -static_cast<int>(c.turn)) << "nose " << noseX;
  }
}

TEST(TankAim, TurretAndGunSwingOntoTheAimFromEitherSide) {
  // Ahead and behind on the +X side and the -X side, above and below the gun; the player's
  // slow turret and a computer's fast one.
  const TAffineVector aims[] = {{26, 2.3f, 28}, {14, 2.3f, 28}, {25, 2.3f, 14}, {15, 2.3f, 14}, {20, 5, 28}, {20, 2, 24}};
  for (const bool player : {true, false}) {
    for (const TAffineVector& aim : aims) {
      SCOPED_TRACE(testing::Message() << (player ? "player" : "computer") << ", aim " << aim.x << ", " << aim.y << ", "
                                      << aim.z);
      TankRig rig(player);
      for (int i = 0; i < 300; ++i) {
        rig.unit.controls.aimPoint = TVector(aim, 1);
        StepTankDrive(rig.unit, kDt);
      }
      TGLBaseSceneObject& gun = rig.Gun();
      const TAffineVector toAim = VectorNormalize(aim - gun.AbsoluteAffinePosition());
      EXPECT_GT(VectorDotProduct(toAim, TAffineVector(gun.AbsoluteDirection())), std::cos(1.0f * 3.14159f / 180))
          << "pitch " << rig.unit.state.GunPitch();
    }
  }
}

TEST(TankAim, TheGunStopsAtItsElevationLimitsAndAnAimOnTheTankIsNoNaN) {
  const struct {
    const char* name;
    TAffineVector aim;
    float pitch;
  } cases[] = {
      {"straight up", {20, 40, 21}, tank::kMinGunPitch},
      {"at its feet", {20, 0, 21}, tank::kMaxGunPitch},
      {"on the tank's origin", kSpot, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TankRig rig;
    for (int i = 0; i < 300; ++i) {
      rig.unit.controls.aimPoint = TVector(c.aim, 1);
      StepTankDrive(rig.unit, kDt);
    }
    EXPECT_FLOAT_EQ(rig.unit.state.GunPitch(), c.pitch);
    EXPECT_TRUE(Finite(TAffineVector(rig.Gun().AbsoluteDirection())));
  }
}

TEST(TankWeapons, ANewTankTakesTheCannonOnItsFirstFrame) {
  // It is set up with the machine gun while the control block asks for the cannon.
  for (const bool player : {true, false}) {
    SCOPED_TRACE(player ? "player" : "computer");
    TankRig rig(player, player);
    EXPECT_EQ(rig.unit.state.Weapon(), tank::kMachineGun);
    rig.unit.controls.weaponRequest = tank::kCannon;
    rig.engine.controls.weaponRequest = tank::kCannon;
    StepTankDrive(rig.unit, kDt);
    EXPECT_EQ(rig.unit.state.Weapon(), tank::kCannon);
    EXPECT_EQ(rig.field.Count("CannonSel"), player ? 1 : 0) << "only the player hears it";
    StepTankDrive(rig.unit, kDt);
    EXPECT_EQ(rig.field.Count("CannonSel"), player ? 1 : 0) << "once";
  }
}

TEST(TankWeapons, AnAirStrikeThatIsNotReadyFallsBackToTheMachineGun) {
  const struct {
    const char* name;
    std::uint8_t inHand;
    float airStrikeTimer;
    std::uint8_t weapon;
    const char* sample;
  } cases[] = {
      {"from the machine gun, still counting", tank::kMachineGun, 12, tank::kMachineGun, "AirStrikeNotReady"},
      {"from the cannon, still counting", tank::kCannon, 12, tank::kMachineGun, "AirStrikeNotReady"},
      {"ready", tank::kCannon, -1, tank::kAirStrike, "AirStrikeSelected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TankRig rig(true, true);
    rig.w.world->airStrikeTimer = c.airStrikeTimer;
    rig.unit.state.Weapon() = c.inHand;
    rig.engine.controls.weaponRequest = tank::kAirStrike;
    rig.unit.Progress(kDt);
    EXPECT_EQ(rig.unit.state.Weapon(), c.weapon);
    EXPECT_EQ(rig.unit.controls.weaponRequest, c.weapon);
    EXPECT_EQ(rig.engine.controls.weaponRequest, c.weapon) << "the engine's request follows";
    EXPECT_EQ(rig.field.Count(c.sample), 1);
    EXPECT_EQ(rig.field.samples.size(), 1u) << "and nothing else is said";
  }
}

TEST(TankWeapons, CallingTheAirStrikeTakesTheMachineGunBack) {
  for (const bool answered : {true, false}) {
    SCOPED_TRACE(answered ? "called" : "refused");
    TankRig rig(true);
    rig.w.world->airStrikeTimer = -1;
    rig.field.airStrikeAnswer = answered;
    rig.unit.state.Weapon() = tank::kAirStrike;
    rig.unit.controls.weaponRequest = tank::kAirStrike;
    rig.unit.controls.fire = true;
    rig.unit.holdFire = true;  // the strike does not wait for the guns
    StepTankDrive(rig.unit, kDt);
    EXPECT_EQ(rig.field.airStrikes, 1);
    EXPECT_EQ(rig.unit.state.Weapon(), answered ? tank::kMachineGun : tank::kAirStrike);
    EXPECT_TRUE(rig.field.shots.empty());
  }
}

TEST(TankWeapons, ShotsReloadsAndRetries) {
  using Weapon = RecordingBattlefield::Weapon;
  const struct {
    const char* name;
    bool player;
    std::uint8_t weapon;
    bool onTarget;
    bool holdFire;
    bool fired;
    float deviation;
    float timer;  // after the shot
    const char* sample;
  } cases[] = {
      {"computer's machine gun", false, tank::kMachineGun, true, false, true, 0.005f, 0.2f, "machinegun"},
      {"computer's machine gun off target", false, tank::kMachineGun, false, false, false, 0.005f, 0.1f, nullptr},
      {"computer's cannon", false, tank::kCannon, true, false, true, 0.025f, 1.5f, "gun"},
      {"computer's cannon off target", false, tank::kCannon, false, false, false, 0.025f, 0.1f, nullptr},
      {"player's machine gun off target", true, tank::kMachineGun, false, false, true, -1, 0.2f, "machinegun"},
      {"player's cannon off target", true, tank::kCannon, false, false, true, -1, 1.5f, "gun"},
      {"holding fire", false, tank::kCannon, true, true, false, 0, -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TankRig rig(c.player);
    TTRVUnitState& s = rig.unit.state;
    s.Weapon() = c.weapon;
    rig.unit.controls.weaponRequest = c.weapon;
    s.TankMachineGunTimer() = -1;
    s.TankCannonTimer() = -1;
    rig.unit.holdFire = c.holdFire;
    rig.unit.controls.fire = true;
    const TAffineVector gun = rig.Gun().AbsoluteAffinePosition();
    const TAffineVector aim = c.onTarget ? gun + TAffineVector(0, 0, 10) : gun + TAffineVector(10, 0, 0);
    rig.unit.controls.aimPoint = TVector(aim, 1);
    StepTankDrive(rig.unit, kDt);
    const float timer = c.weapon == tank::kCannon ? s.TankCannonTimer() : s.TankMachineGunTimer();
    EXPECT_FLOAT_EQ(timer, c.timer);
    if (c.holdFire) {
      EXPECT_TRUE(rig.field.shots.empty());
      continue;
    }
    ASSERT_EQ(rig.field.shots.size(), 1u);
    const auto& shot = rig.field.shots[0];
    EXPECT_EQ(shot.weapon, c.weapon == tank::kCannon ? Weapon::Gun : Weapon::Bullet);
    EXPECT_EQ(shot.fired, c.fired);
    EXPECT_FLOAT_EQ(shot.deviation, c.deviation);
    EXPECT_EQ(rig.field.samples.size(), c.sample ? 1u : 0u);
    if (c.sample) {
      EXPECT_EQ(rig.field.samples[0].name, c.sample);
    }
  }
}

TEST(TankWreck, InTheWaterItSinksToTheFloorAndStaysThere) {
  TankRig rig;
  rig.Sea(10, 30);
  rig.unit.Position.SetY(0);
  rig.unit.state.armour = 0;  // exactly 0 is a wreck
  rig.unit.state.ForwardSpeed() = 1;
  rig.Run(41);
  EXPECT_FLOAT_EQ(rig.unit.Position.Y(), kWreckFloor);
  EXPECT_GT(rig.field.smokeFrames, 0) << "it smokes on the way down";
  EXPECT_TRUE(rig.field.explosions.empty()) << "a drowned tank does not blow up";
  rig.Run(2);
  EXPECT_FLOAT_EQ(rig.unit.Position.Y(), kWreckFloor);
}

TEST(TankWreck, OnLandItBlowsUpOnceAndRollsOut) {
  TankRig rig;
  rig.unit.state.ForwardSpeed() = 1;
  rig.unit.state.armour = -5;
  rig.unit.controls.accelerate = true;
  rig.Drive(1);
  EXPECT_FALSE(rig.unit.controls.accelerate) << "nobody drives a wreck";
  rig.Drive(600);
  EXPECT_EQ(rig.field.explosions.size(), 1u);
  EXPECT_TRUE(rig.field.explosions[0].upward);
  EXPECT_EQ(rig.field.Count("explosion"), 1);
  EXPECT_LT(std::abs(rig.unit.state.ForwardSpeed()), 0.01f);
  EXPECT_GT(rig.unit.Position.Z(), kSpot.z + 0.5f) << "it rolled on before it stopped";
  const float z = rig.unit.Position.Z();
  rig.Drive(60);
  EXPECT_EQ(rig.unit.Position.Z(), z) << "stopped, it stays";
}

TEST(TankCollision, TwoTanksAtOneSpotPartWithoutNaN) {
  // With nobody at the controls the push alone must find a way apart; with the computer's
  // drivers each also aims at the other from no distance at all.
  static const std::array<TTRVUnitHooks, 4> kDriveOnly{{{}, {nullptr, nullptr, StepTankDrive, StepTankSinking, nullptr}, {}, {}}};
  for (const bool drivers : {false, true}) {
    SCOPED_TRACE(drivers ? "computer drivers" : "nobody driving");
    UnitWorld w;
    OpenGround(w);
    RecordingBattlefield field;
    TTRVEntity& a = w.Add(utTank, kSpot, false, 0);
    TTRVEntity& b = w.Add(utTank, kSpot, false, 1);
    a.battlefield = b.battlefield = &field;
    if (!drivers) a.hooks = b.hooks = &kDriveOnly;
    for (int i = 0; i < 120; ++i) {
      a.Progress(kDt);
      b.Progress(kDt);
      ASSERT_TRUE(Finite(a.Position.AsAffineVector()));
      ASSERT_TRUE(Finite(b.Position.AsAffineVector()));
      ASSERT_TRUE(std::isfinite(a.state.ForwardSpeed()) && std::isfinite(b.state.TurnRate()));
      ASSERT_TRUE(std::isfinite(a.state.GunPitch()) && std::isfinite(b.state.GunPitch()));
    }
    EXPECT_GT(VectorLength(a.AbsoluteAffinePosition() - b.AbsoluteAffinePosition()), 0.01f);
    int hits = 0;
    for (const char* sample : {"hit0", "hit1", "hit2"}) hits += field.Count(sample);
    EXPECT_GT(hits, 0);
  }
}

// A computer tank at (30, 2, 30) facing +Z with the camera target beside it.
struct DriverWorld {
  DriverWorld() {
    OpenGround(w);
    w.cameraTarget.Position.SetPoint(30, 0, 30);
  }
  TTRVEntity& Driver(int side = 1) {
    TTRVEntity& driver = w.Add(utTank, {30, kGround, 30}, false, side);
    driver.battlefield = &field;
    return driver;
  }
  TTRVEntity& Other(TAffineVector at, int side) {
    TTRVEntity& other = w.Add(utTank, at, false, side);
    other.isFar = 0;  // placed and near, without running its own frame
    return other;
  }

  UnitWorld w;
  RecordingBattlefield field;
};

TEST(TankDriver, TurnsTowardItsTargetFromEitherSideAndClosesIn) {
  for (const float side : {1.0f, -1.0f}) {
    SCOPED_TRACE(side > 0 ? "target behind on the +X side" : "target behind on the -X side");
    DriverWorld d;
    TTRVEntity& driver = d.Driver();
    TTRVEntity& target = d.Other({30 + side * 16, kGround, 14}, 0);
    float closest = 1e9f;
    for (int i = 0; i < 12 * 60; ++i) {
      driver.Progress(kDt);
      ASSERT_TRUE(Finite(driver.Position.AsAffineVector()));
      const TAffineVector offset = target.AbsoluteAffinePosition() - driver.AbsoluteAffinePosition();
      closest = std::min(closest, std::hypot(offset.x, offset.z));
    }
    const TAffineVector offset = target.AbsoluteAffinePosition() - driver.AbsoluteAffinePosition();
    const TAffineVector flat = VectorNormalize(TAffineVector(offset.x, 0, offset.z));
    EXPECT_GT(VectorDotProduct(flat, TAffineVector(driver.AbsoluteDirection())), std::cos(0.4f)) << "nose on the target";
    EXPECT_LT(closest, tank::kStopAndShoot + 1) << "it drove up to shooting distance";
    EXPECT_EQ(driver.state.Weapon(), tank::kCannon) << "the cannon for a tank";
    bool fired = false;
    for (const auto& shot : d.field.shots) fired = fired || shot.fired;
    EXPECT_TRUE(fired);
  }
}

TEST(TankDriver, TheWeaponFitsTheTarget) {
  // The machine gun against a helicopter, the cannon against tanks and turrets, either against
  // a boat; the choice is made each time the driver looks for a target.
  const struct {
    const char* name;
    int type;
    std::set<std::uint8_t> weapons;
  } cases[] = {
      {"helicopter", utHeli, {tank::kMachineGun}},
      {"tank", utTank, {tank::kCannon}},
      {"turret", utTurret, {tank::kCannon}},
      {"boat", utBoat, {tank::kCannon, tank::kMachineGun}},
  };
  platform::Random().Seed(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DriverWorld d;
    TTRVEntity& driver = d.Driver(0);
    d.w.Add(c.type, {30, c.type == utHeli ? 5.0f : kGround, 40}, false, 1).isFar = 0;
    std::set<std::uint8_t> chosen;
    for (int i = 0; i < 30; ++i) {
      driver.aiTimer = -1;
      StepTankAI(driver, kDt);
      ASSERT_EQ(driver.aiState, TTRVAIState::Engage);
      chosen.insert(driver.controls.weaponRequest);
    }
    EXPECT_EQ(chosen, c.weapons);
  }
}

TEST(TankDriver, WithinFifteenOfAVisibleTargetItStopsAndShoots) {
  const struct {
    const char* name;
    float ahead;
    bool stops;
  } cases[] = {{"10 ahead", 10, true}, {"25 ahead", 25, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DriverWorld d;
    TTRVEntity& driver = d.Driver();
    TTRVEntity& target = d.Other({30, kGround, 30 + c.ahead}, 0);
    driver.Progress(kDt);
    EXPECT_EQ(driver.target, &target);
    EXPECT_TRUE(driver.controls.fire);
    EXPECT_EQ(driver.controls.accelerate, !c.stops);
    EXPECT_FALSE(driver.controls.turnLeft && c.stops);
    EXPECT_FALSE(driver.controls.turnRight && c.stops);
    const TAffineVector aim(driver.controls.aimPoint);
    EXPECT_LT(VectorLength(aim - target.aimNode->AbsoluteAffinePosition()), 1e-3f) << "it keeps aiming at it";
  }
}

TEST(TankDriver, WithNowhereToGoOnThePlayersSideItFollowsThePlayer) {
  // The enemy stands on the driver's own cell, so the way to it leads nowhere. A driver of the
  // player's side then falls in behind the player (advancing while its side attacks or roams);
  // one of another side keeps its target and shuffles to a free neighbour.
  const struct {
    const char* name;
    int side;
    bool attacking, roaming;
    bool followsPlayer;
    TTRVAIState state;
  } cases[] = {
      {"player's side", 0, false, false, true, TTRVAIState::Engage},
      {"player's side, attacking", 0, true, false, true, TTRVAIState::Advance},
      {"player's side, roaming", 0, false, true, true, TTRVAIState::Advance},
      {"another side", 1, false, false, false, TTRVAIState::Engage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DriverWorld d;
    auto& side = d.w.world->sides[static_cast<std::size_t>(c.side)];
    side.attacking = c.attacking;
    side.roaming = c.roaming;
    TTRVEntity& player = d.w.Add(utTank, {36, kGround, 36}, true, 0);
    player.isFar = 0;
    TTRVEntity& driver = d.Driver(c.side);
    TTRVEntity& enemy = d.Other({30.3f, kGround, 30.3f}, 1 - c.side);
    driver.Progress(kDt);
    ASSERT_EQ(driver.target, &enemy);
    driver.Progress(kDt);
    EXPECT_EQ(driver.target, c.followsPlayer ? &player : &enemy);
    EXPECT_EQ(driver.holdFire, c.followsPlayer);
    EXPECT_EQ(driver.aiState, c.state);
    EXPECT_TRUE(Finite(driver.Position.AsAffineVector()));
  }
}

TEST(TankDriver, ForwardProbesTurnItAwayFromTheTankAheadOrBackItOff) {
  constexpr int kEither = 2;
  // An idle driver (no enemy, nobody to follow) facing +Z with a tank of its own side a little
  // ahead; a second of driving. What counts is where its nose ends up: away from the other
  // tank, never into it (a left turn swings the nose toward +X, docs/scene-conventions.md).
  const struct {
    const char* name;
    float x;  // of the other tank, 1 ahead of the driver
    bool wreck;
    int noseSwing;  // the sign of the nose's X after the second; kEither: backing off it may turn
    bool backsOff;
  } cases[] = {
      {"nothing ahead", 33, false, 0, false},
      {"straight ahead: back off", 30, false, kEither, true},
      {"ahead on the +X side only", 30.62f, false, -1, false},
      {"ahead in the middle only, toward -X", 29.65f, false, 1, false},
      {"a wreck straight ahead", 30, true, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DriverWorld d;
    TTRVEntity& driver = d.Driver();
    TTRVEntity& other = d.Other({c.x, kGround, 31}, 1);
    if (c.wreck) other.state.armour = 0;
    const TAffineVector start = driver.AbsoluteAffinePosition();
    const auto toOther = [&] {
      const TAffineVector offset = other.AbsoluteAffinePosition() - driver.AbsoluteAffinePosition();
      return VectorNormalize(TAffineVector(offset.x, 0, offset.z));
    };
    const float facingBefore = VectorDotProduct(toOther(), TAffineVector(driver.AbsoluteDirection()));
    for (int i = 0; i < 60; ++i) {
      StepTankAI(driver, kDt);
      ASSERT_EQ(driver.aiState, TTRVAIState::Idle) << "idle";
      ASSERT_FALSE(driver.controls.accelerate);
      StepTankDrive(driver, kDt);
    }
    const float noseX = driver.AbsoluteDirection().x;
    if (c.noseSwing != kEither) {
      EXPECT_EQ((noseX > 0.02f) - (noseX < -0.02f), c.noseSwing) << "nose " << noseX;
    }
    if (c.noseSwing == 1 || c.noseSwing == -1) {
      EXPECT_LT(VectorDotProduct(toOther(), TAffineVector(driver.AbsoluteDirection())), facingBefore - 0.02f)
          << "the nose turned off the other tank";
    }
    const float backed = start.z - driver.AbsoluteAffinePosition().z;
    EXPECT_EQ(backed > 0.05f, c.backsOff) << "backed off by " << backed;
  }
}

TEST(TankPlayer, TheHUDShowsBothGunsAndWhetherTheCannonIsOnTarget) {
  TankRig rig(true, true);
  rig.engine.controls.weaponRequest = tank::kCannon;
  const TAffineVector gun = rig.Gun().AbsoluteAffinePosition();
  rig.engine.controls.aimPoint = TVector(gun + TAffineVector(0, 0, 10), 1);
  rig.unit.Progress(kDt);
  rig.unit.Progress(kDt);
  ASSERT_GT(rig.field.hudUpdates, 0);
  EXPECT_EQ(rig.field.hud.unit, &rig.unit);
  EXPECT_EQ(rig.field.hud.gun, TTRVHUDReadout::Selected);
  EXPECT_EQ(rig.field.hud.machineGun, TTRVHUDReadout::Available);
  EXPECT_EQ(rig.field.hud.rockets, TTRVHUDReadout::Hidden);
  EXPECT_TRUE(rig.field.hud.gunAimed);
  EXPECT_EQ(rig.unit.state.GunAimed(), 1);
  EXPECT_FLOAT_EQ(rig.field.hud.rocketReady, 0);

  rig.engine.controls.aimPoint = TVector(gun + TAffineVector(10, 0, 0), 1);
  rig.unit.Progress(kDt);
  EXPECT_FALSE(rig.field.hud.gunAimed);
  EXPECT_EQ(rig.unit.state.GunAimed(), 0);
}

TEST(TankPlayer, ADestroyedPlayersTankLosesTheMission) {
  TankRig rig(true, true);
  rig.unit.Progress(kDt);
  EXPECT_EQ(rig.engine.status, TTRVStatus::None);
  rig.unit.state.armour = -1;
  rig.unit.Progress(kDt);
  EXPECT_EQ(rig.engine.status, TTRVStatus::Failed);
  EXPECT_EQ(rig.engine.reason, TTRVReason::TankDestroyed);
}

}  // namespace

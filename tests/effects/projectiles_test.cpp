// Shots through the world: rounds stop at hills and spare friends, shells burst on the first
// unit in their way, rockets speed up, steer and burst on a unit, an obstacle or the ground
// (never on their shooter) or give up after eight seconds, the air strike waits its minute and
// its bombs burst on roofs and hurt every side around them, and the lines drawn for rounds and
// shells fade in their time.
#include "effects/projectiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/airstrike.h"
#include "terrain/sector.h"
#include "tests/units/unit_fixture.h"
#include "units/targets.h"

namespace {

using unittest::UnitWorld;

constexpr float kGround = 2;

struct Range {
  UnitWorld w{100, 2};
  TTRVEffects effects{GroundOf(*w.world), nullptr};
  TTRVProjectiles shots{*w.world, effects};
  std::vector<TTRVUnitRef> units;

  TTRVEntity& Tank(float x, float z, int side) {
    TTRVEntity& t = w.Add(utTank, {x, kGround, z}, false, side);
    t.isFar = 0;
    return t;
  }
  TTRVUnitList Units() {
    CollectUnitRefs(*w.world, units);
    return units;
  }
  // A box of the sector at (0, 0), which holds the cells 0 .. 31 each way.
  void Obstacle(const TAffineVector& at, float size) {
    if (!sector) {
      auto* column = w.world->sectorRoot->AddNewChild<TGLDummyCube>();
      column->Tag = 0;
      sector = column->AddNewChild<TTRVSector>();
    }
    auto* box = sector->obstacleCube->AddNewChild<TGLDummyCube>();
    box->Position.SetPoint(at);
    box->Scale.SetVector(size, size, size);
  }
  // Steps the rockets until none is left (or 20 s); where the last one was.
  TAffineVector FlyRockets(float dt = 1.0f / 60) {
    TAffineVector last{0};
    for (int i = 0; i < static_cast<int>(20 / dt) && w.world->rocketRoot->Count() > 0; ++i) {
      last = w.world->rocketRoot->Children(0)->AbsoluteAffinePosition();
      shots.StepBombsAndRockets(dt, Units());
    }
    return last;
  }
  TTRVSector* sector = nullptr;
  // A ridge across the line of fire at x = 22 .. 23, far higher than the shots fly.
  void Ridge() {
    for (int x = 22; x <= 23; ++x)
      for (int z = 0; z < 64; ++z) w.world->heightGrid.Set(x, z, 250);
  }
};

const TAffineVector kAlongX{1, 0, 0};

TEST(Projectiles, ARoundStopsAtTheHillAlongTheBarrelAndSparesFriends) {
  Range r;
  r.Ridge();
  TTRVEntity& beyond = r.Tank(30, 10, 1);
  const TAffineVector from{10, 3, 10.2f};
  ASSERT_TRUE(r.shots.FireBullet(from, {30, 3, 10.2f}, -1, {nullptr, 0}, kAlongX, r.Units()));
  ASSERT_EQ(r.shots.Bullets().size(), 1u);
  EXPECT_NEAR(r.shots.Bullets()[0].tail.x - from.x, 12, 1.01f) << "ends where the ridge begins";
  EXPECT_FLOAT_EQ(beyond.state.armour, 250) << "nothing behind the hill is hit";

  Range open;
  TTRVEntity& friendTank = open.Tank(20, 10, 0);
  TTRVEntity& enemyTank = open.Tank(20, 20, 1);
  const TAffineVector muzzle{10, kGround + 0.2f, 10};
  ASSERT_TRUE(open.shots.FireBullet(muzzle, {20, kGround + 0.2f, 10}, -1, {nullptr, 0}, kAlongX, open.Units()));
  EXPECT_FLOAT_EQ(friendTank.state.armour, 250) << "no harm to one's own side";
  const TAffineVector diagonal = VectorNormalize(TAffineVector(10, 0, 10));
  ASSERT_TRUE(open.shots.FireBullet(muzzle, {20, kGround + 0.2f, 20}, -1, {nullptr, 0}, diagonal, open.Units()));
  EXPECT_FLOAT_EQ(enemyTank.state.armour, 240);
  EXPECT_FALSE(open.shots.FireBullet(muzzle, {20, kGround + 0.2f, 20}, 0.01f, {nullptr, 0}, kAlongX, open.Units()))
      << "off the aim: not fired";
}

TEST(Projectiles, AShellBurstsOnTheFirstUnitInItsWayWhateverItsSide) {
  Range r;
  TTRVEntity& friendTank = r.Tank(16, 10, 0);
  TTRVEntity& enemyTank = r.Tank(17.5f, 10, 1);
  TTRVEntity& farEnemy = r.Tank(30, 10, 1);
  ASSERT_TRUE(r.shots.FireGun({10, kGround + 0.2f, 10}, {30, kGround + 0.2f, 10}, -1, {nullptr, 0}, kAlongX, r.Units()));
  ASSERT_EQ(r.shots.CannonTrails().size(), 1u);
  EXPECT_NEAR(r.shots.CannonTrails()[0].to.x, 16, 0.01f) << "stops at the friend in the way";
  EXPECT_FLOAT_EQ(friendTank.state.armour, 250) << "the blast spares the shooter's side";
  EXPECT_FLOAT_EQ(enemyTank.state.armour, 150) << "an enemy within 3 of the burst";
  EXPECT_FLOAT_EQ(farEnemy.state.armour, 250);
}

TEST(Projectiles, ARocketWithoutTargetFliesStraightAndGivesUpAfterEightSeconds) {
  Range r;
  r.w.world->heightGrid.Fill(0);  // open sea: nothing to hit but itself running out
  ASSERT_TRUE(r.shots.FireRocket({5, 30, 5}, {5, 30, 60}, 0.5f, nullptr, -1, {nullptr, 0}, {0, 0, 1}));
  auto* rocket = dynamic_cast<TTRVRocket*>(r.w.world->rocketRoot->Children(0));
  ASSERT_TRUE(rocket);
  const float dt = 0.05f;
  int steps = 0;
  float lastZ = rocket->Position.Z();
  while (r.w.world->rocketRoot->Count() > 0 && steps < 1000) {
    r.shots.StepBombsAndRockets(dt, r.Units());
    ++steps;
    if (r.w.world->rocketRoot->Count() == 0) break;
    EXPECT_NEAR(rocket->Position.X(), 5, 1e-4f);
    EXPECT_GT(rocket->Position.Z(), lastZ);
    EXPECT_LE(rocket->speed, 10.5f);
    lastZ = rocket->Position.Z();
  }
  EXPECT_NEAR(steps * dt, kRocketLifetime, 2 * dt) << "gone once its eight seconds are up";
}

TEST(Projectiles, ARocketSpeedsUpToTenAndSteersOntoItsTarget) {
  Range r;
  r.w.world->heightGrid.Fill(0);
  TGLDummyCube mark;  // what it homes on: off its course, to the +X side and ahead
  mark.Position.SetPoint(25, 30, 20);
  ASSERT_TRUE(r.shots.FireRocket({5, 30, 5}, {5, 30, 60}, 0.5f, &mark, -1, {nullptr, 0}, {0, 0, 1}));
  auto* rocket = dynamic_cast<TTRVRocket*>(r.w.world->rocketRoot->Children(0));
  ASSERT_TRUE(rocket);
  std::vector<float> speeds;
  const auto toMark = [&] {
    return VectorDotProduct(TAffineVector(rocket->AbsoluteDirection()),
                            VectorNormalize(mark.AbsoluteAffinePosition() - rocket->AbsoluteAffinePosition()));
  };
  const float before = toMark();
  for (int i = 0; i < 30; ++i) {
    r.shots.StepBombsAndRockets(0.05f, r.Units());
    speeds.push_back(rocket->speed);
  }
  EXPECT_FLOAT_EQ(speeds.front(), 1 + 0.05f * 10) << "it starts at 1 and gains 10 a second";
  for (std::size_t i = 1; i < speeds.size(); ++i) EXPECT_GE(speeds[i], speeds[i - 1]);
  EXPECT_NEAR(speeds.back(), 10, 0.5f) << "up to its top speed";
  EXPECT_GT(rocket->Position.X(), 5.5f) << "it turned toward the +X side";
  EXPECT_GT(toMark(), before) << "its nose came round onto the mark";
}

TEST(Projectiles, ARocketBurstsOnAUnitAnObstacleOrTheGroundAndHurtsEnemiesNearBy) {
  // Fired along +X at the height of a tank's hull, from x = 10; an enemy tank stands near the
  // end of each flight (beside it, so a flight that did not burst there leaves it whole). The
  // burst takes 50 from enemies within 3 of it, nothing from the shooter's side.
  const struct {
    const char* name;
    bool tankInPath, obstacle;
    TAffineVector aimDown;  // the facing
    float burstX;           // where it bursts, within a unit
  } cases[] = {
      {"an enemy tank in its path", true, false, {1, 0, 0}, 15.7f},
      {"an obstacle in its path", false, true, {1, 0, 0}, 15.5f},
      {"the ground ahead", false, false, VectorNormalize(TAffineVector(1, -0.03f, 0)), 16.7f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Range r;
    TTRVEntity& shooter = r.Tank(10, 10, 0);
    TTRVEntity& friendTank = r.Tank(16, 11.5f, 0);
    TTRVEntity& enemy = r.Tank(c.tankInPath ? 16 : 16.5f, c.tankInPath ? 10 : 11.5f, 1);
    TTRVEntity& farEnemy = r.Tank(24, 10, 1);
    if (c.obstacle) r.Obstacle({16, kGround + 0.2f, 10}, 0.6f);
    const TAffineVector from(10, kGround + 0.2f, 10);
    ASSERT_TRUE(r.shots.FireRocket(from, from + c.aimDown * 20.0f, 0, nullptr, -1, {&shooter, 0}, c.aimDown));
    const TAffineVector last = r.FlyRockets();
    EXPECT_EQ(r.w.world->rocketRoot->Count(), 0);
    EXPECT_NEAR(last.x, c.burstX, 1) << "it burst there";
    EXPECT_FLOAT_EQ(enemy.state.armour, 250 - 50);
    EXPECT_FLOAT_EQ(farEnemy.state.armour, 250) << "out of the blast";
    EXPECT_FLOAT_EQ(friendTank.state.armour, 250) << "the shooter's side is spared";
    EXPECT_FLOAT_EQ(shooter.state.armour, 250) << "it flew out of its shooter unharmed";
  }
}

TEST(Projectiles, BombsHurtEverySideWithinFifteenOfTheirBurst) {
  // The strike's eleven bombs, all brought over one point: 20 from each unit within 15 of a
  // burst, the caller's own side too.
  Range r;
  r.w.world->airStrikeTimer = kAirStrikeResting;
  ASSERT_TRUE(r.shots.CallAirStrike({30, 0, 30}));
  TGLBaseSceneObject* bombs = r.w.world->bombRoot;
  for (int k = 0; k < bombs->Count(); ++k) bombs->Children(k)->Position.SetPoint(30, 255, 30);
  TTRVEntity& own = r.Tank(30 + 14.8f, 30, 0);
  TTRVEntity& enemy = r.Tank(30, 30 - 14.8f, 1);
  TTRVEntity& under = r.Tank(30, 30, 1);
  TTRVEntity& outside = r.Tank(30 + 15.2f, 30, 1);
  for (int i = 0; i < 200 && bombs->Count() > 0; ++i) r.shots.StepBombsAndRockets(0.05f, r.Units());
  ASSERT_EQ(bombs->Count(), 0);
  const float struck = 250 - kBombsPerStrike * 20;
  EXPECT_FLOAT_EQ(own.state.armour, struck) << "the caller's side is not spared";
  EXPECT_FLOAT_EQ(enemy.state.armour, struck);
  EXPECT_FLOAT_EQ(under.state.armour, struck);
  EXPECT_FLOAT_EQ(outside.state.armour, 250);
}

TEST(Projectiles, TracersAndSmokeLinesLastTheirTime) {
  // A tracer lives as long as it takes to run its length at 40 a second, a second at most; a
  // shell's smoke line 0.6 s. Each is looked at just before and just after its time.
  const struct {
    const char* name;
    bool shell;
    float length;
    float life;
  } cases[] = {
      {"a round over 20", false, 20, 0.5f},
      {"a round over 8", false, 8, 0.2f},
      {"a round over 60: a second at most", false, 60, 1},
      {"a shell's smoke line", true, 20, 0.6f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Range r;
    r.w.world->heightGrid.Fill(0);
    const TAffineVector from(2, 5, 2);
    const TAffineVector to = from + kAlongX * c.length;
    if (c.shell)
      ASSERT_TRUE(r.shots.FireGun(from, to, -1, {nullptr, 0}, kAlongX, r.Units()));
    else
      ASSERT_TRUE(r.shots.FireBullet(from, to, -1, {nullptr, 0}, kAlongX, r.Units()));
    const auto alive = [&] { return (c.shell ? r.shots.CannonTrails().size() : r.shots.Bullets().size()) == 1; };
    const float dt = 0.01f;
    int steps = 0;
    for (; steps < 300 && alive(); ++steps) {
      r.shots.StepBullets(dt);
      r.shots.StepTrails(dt);
    }
    EXPECT_NEAR(steps * dt, c.life, 2 * dt);
  }
}

TEST(Projectiles, TheAirStrikeWaitsItsMinuteAndBombsBurstOnRoofs) {
  Range r;
  r.w.world->objectHeightGrid = TTRVGrid<float>(64, 64, 0);
  for (int x = 15; x < 26; ++x)
    for (int z = 15; z < 26; ++z) r.w.world->objectHeightGrid.Set(x, z, 3);  // a roof 3 above the ground
  r.w.world->airStrikeTimer = kAirStrikeResting;
  ASSERT_TRUE(r.shots.CallAirStrike({20, 0, 20}));
  EXPECT_EQ(r.w.world->bombRoot->Count(), kBombsPerStrike);
  EXPECT_FLOAT_EQ(r.w.world->airStrikeTimer, kAirStrikeWait);
  EXPECT_FALSE(r.shots.CallAirStrike({20, 0, 20})) << "a second call within the minute drops nothing";
  EXPECT_EQ(r.w.world->bombRoot->Count(), kBombsPerStrike);

  std::vector<float> landed;
  for (int i = 0; i < 200 && r.w.world->bombRoot->Count() > 0; ++i) {
    TGLBaseSceneObject* bombs = r.w.world->bombRoot;
    for (int k = 0; k < bombs->Count(); ++k) {
      const float y = bombs->Children(k)->Position.Y();
      if (y < 100) landed.push_back(y);
    }
    r.shots.StepBombsAndRockets(0.05f, r.Units());
  }
  EXPECT_EQ(r.w.world->bombRoot->Count(), 0);
  ASSERT_FALSE(landed.empty());
  for (float y : landed) EXPECT_GE(y, kGround + 3 - 1e-3f) << "no bomb goes through the roof";
}

}  // namespace

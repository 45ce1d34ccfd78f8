// Shots through the world: rounds stop at hills and spare friends, shells burst on the first
// unit in their way, rockets give up after eight seconds, the air strike waits its minute and
// bombs burst on roofs.
#include "effects/projectiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/airstrike.h"
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

// Target choice: the nearest live, near enemy; the player to follow on one's own side; and
// searches that never reach a unit freed since the last one.
#include <gtest/gtest.h>

#include "tests/units/unit_fixture.h"
#include "units/targets.h"

namespace {

using unittest::UnitWorld;

TTRVEntity& Near(TTRVEntity& unit) {
  unit.isFar = 0;
  return unit;
}

TEST(UnitTargets, TheNearestLiveNearEnemyIsEngaged) {
  UnitWorld w(100, 3);
  TTRVEntity& me = Near(w.Add(utHeli, {10, 7, 10}, false, 0));
  Near(w.Add(utTank, {11, 7, 10}, false, 0));                       // a friend, nearer than any enemy
  TTRVEntity& wreck = Near(w.Add(utTank, {12, 7, 10}, false, 1));
  wreck.state.armour = 0;                                           // a wreck at exactly 0 counts as destroyed
  TTRVEntity& far = w.Add(utTank, {13, 7, 10}, false, 1);           // isFar stays 4: not placed yet
  (void)far;
  TTRVEntity& second = Near(w.Add(utTank, {20, 7, 10}, false, 2));
  TTRVEntity& nearest = Near(w.Add(utTank, {16, 7, 10}, false, 1));
  Near(w.Add(utTank, {4, 7, 10}, false, 2));                        // as near as `nearest`, found later: a tie keeps the first
  me.holdFire = true;
  me.goalCell = {5, 5};
  ASSERT_TRUE(FindNearestEnemy(me));
  EXPECT_EQ(me.target, &nearest);
  EXPECT_FALSE(me.holdFire);
  EXPECT_EQ(me.goalCell.x, 0);
  EXPECT_EQ(me.goalCell.z, 0);

  nearest.state.armour = -1;
  ASSERT_TRUE(FindNearestEnemy(me));
  EXPECT_NE(me.target, &nearest);
  EXPECT_EQ(me.target->state.side, 2);
  (void)second;

  me.state.armour = 0;  // a wreck chooses nobody
  EXPECT_FALSE(FindNearestEnemy(me));
  EXPECT_EQ(me.target, nullptr);
}

TEST(UnitTargets, OnlyALivePlayerOfTheUnitsOwnSideIsFollowed) {
  UnitWorld w(100, 2);
  TTRVEntity& player = Near(w.Add(utHeli, {10, 7, 10}, true, 0));
  TTRVEntity& wingman = Near(w.Add(utHeli, {14, 7, 10}, false, 0));
  TTRVEntity& enemy = Near(w.Add(utHeli, {30, 7, 10}, false, 1));
  ASSERT_TRUE(FindPlayerToFollow(wingman));
  EXPECT_EQ(wingman.target, &player);
  EXPECT_TRUE(wingman.holdFire) << "a follower keeps its fire until it picks an enemy";
  EXPECT_FALSE(FindPlayerToFollow(enemy));
  EXPECT_EQ(enemy.target, nullptr);
  player.state.armour = 0;
  EXPECT_FALSE(FindPlayerToFollow(wingman));
  EXPECT_EQ(wingman.target, nullptr);
}

TEST(UnitTargets, AUnitFreedBetweenSearchesIsNeverReached) {
  UnitWorld w(100, 2);
  TTRVEntity& me = Near(w.Add(utHeli, {10, 7, 10}, false, 0));
  TTRVEntity& gone = Near(w.Add(utTank, {12, 7, 10}, false, 1));
  TTRVEntity& stays = Near(w.Add(utTank, {30, 7, 10}, false, 1));
  ASSERT_TRUE(FindNearestEnemy(me));
  EXPECT_EQ(me.target, &gone);
  gone.Free();
  ASSERT_TRUE(FindNearestEnemy(me));
  EXPECT_EQ(me.target, &stays);
  int count = 0;
  ForEachUnit(*w.world, [&](TTRVEntity&) { ++count; });
  EXPECT_EQ(count, 2);
}

}  // namespace

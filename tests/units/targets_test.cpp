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
  EXPECT_EQ(me.target, nullptr) << "a freed unit is nobody's target";
  ASSERT_TRUE(FindNearestEnemy(me));
  EXPECT_EQ(me.target, &stays);
  int count = 0;
  ForEachUnit(*w.world, [&](TTRVEntity&) { ++count; });
  EXPECT_EQ(count, 2);
}

TEST(UnitTargets, TheAIChoosesAgainOnlyWhenItsTimerRunsOut) {
  struct Case {
    int type;
    bool enemyNear, playerOnSide, attacking;
    TTRVAIState state;
    bool followsPlayer;
  } cases[] = {
      {utHeli, true, true, false, TTRVAIState::Engage, false},   // an enemy beats following
      {utHeli, false, true, false, TTRVAIState::Engage, true},   // following a defending side's player engages beside him
      {utTank, false, true, true, TTRVAIState::Advance, true},    // an attacking side's follower advances
      {utTurret, false, true, false, TTRVAIState::Idle, false},  // turrets never follow
      {utBoat, false, false, false, TTRVAIState::Idle, false},   // nothing found: idle
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    UnitWorld w(100, 2);
    w.world->sides[0].attacking = c.attacking ? 1 : 0;
    TTRVEntity& me = Near(w.Add(c.type, {10, 7, 10}, false, 0));
    if (c.playerOnSide) Near(w.Add(utHeli, {12, 7, 10}, true, 0));
    if (c.enemyNear) Near(w.Add(utTank, {20, 7, 10}, false, 1));
    me.aiTimer = 0.05f;
    EXPECT_FALSE(StepAIChoice(me, 0.04f)) << "the timer has not run out";
    EXPECT_EQ(me.target, nullptr);
    ASSERT_TRUE(StepAIChoice(me, 0.04f));
    EXPECT_EQ(me.aiState, c.state);
    EXPECT_EQ(me.holdFire, c.followsPlayer);
    const float low = 3, high = c.type == utHeli ? 4 : 6;
    EXPECT_GE(me.aiTimer, low);
    EXPECT_LT(me.aiTimer, high);
  }
}

TEST(UnitTargets, TheEngageDistanceScalesWithThePlayersSideStrength) {
  UnitWorld w(100, 2);
  TTRVEntity& me = w.Add(utTank, {10, 7, 10}, false, 1);
  me.engageRange = 8;
  w.world->playerSide = 0;
  w.world->sideStrength[0] = 1.5f;
  w.world->sideStrength[1] = 0.1f;
  EXPECT_FLOAT_EQ(EngageDistance(me), 12);
}

}  // namespace

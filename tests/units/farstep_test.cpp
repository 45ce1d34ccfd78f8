// The far step: its one-second cadence, far wrecks put out of the way, far combat, the
// columns that advance on the main enemy's base front unit first and stop at the engage
// threshold, defenders holding near their own base, roamers closing on the player, and where
// each type's height ends up. The fields are whole-map beacons over an open 64 x 64 path grid.
#include "units/farstep.h"

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <memory>
#include <vector>

#include "ai/worldbeacon.h"
#include "platform/random.h"
#include "tests/units/unit_fixture.h"

namespace {

using unittest::UnitWorld;

constexpr float kPastInterval = kFarStepInterval + 0.5f;  // one call, one far step

// Three sides on the fixture's flat island (ground at 2) with every path grid open and the
// camera target well away from every unit, so that each unit is far (or no camera target).
class FarField {
 public:
  explicit FarField(bool player = true) : w(100, 3, true, player) {
    for (TTRVPathFinder* f : {&world().airPathFinder, &world().groundPathFinder, &world().waterPathFinder})
      f->Reset(64, 64, true);
    w.cameraTarget.Position.SetPoint(1000, 0, 1000);
  }

  TTRVWorld& world() { return *w.world; }
  TTRVWorldFractionInfo& Side(int s) { return world().sides[static_cast<std::size_t>(s)]; }

  // The side's three world beacons, all toward the goal.
  void Beacons(int s, TTRVCell goal) {
    TTRVWorldFractionInfo& side = Side(s);
    side.airBeacon = MakeBeacon(world().airPathFinder, goal);
    side.groundBeacon = MakeBeacon(world().groundPathFinder, goal);
    side.waterBeacon = MakeBeacon(world().waterPathFinder, goal);
  }

  // The ground region, built toward the map's centre as the loader builds it.
  void GroundRegion() {
    world().groundRegion = std::make_unique<TTRVAIWorldBeaconFloating>(world().groundPathFinder);
    world().groundRegion->Compute({32, 32});
  }

  // A unit of the side standing at (x, z) on the ground (a helicopter at its altitude above it).
  TTRVEntity& Unit(int type, float x, float z, int side = 0, std::uint16_t engageRange = 0) {
    TTRVEntity& u = w.Add(type, {x, 0, z}, false, side);
    u.engageRange = engageRange;
    u.Position.SetY(type == utHeli ? 2 + u.state.Altitude() : 2);
    return u;
  }

  UnitWorld w;

 private:
  std::shared_ptr<TTRVAIWorldBeacon> MakeBeacon(const TTRVPathFinder& finder, TTRVCell goal) {
    auto b = std::make_shared<TTRVAIWorldBeacon>(finder, GroundOf(world()));
    b->Compute(goal);
    return b;
  }
};

TAffineVector Where(const TTRVEntity& u) { return u.AbsoluteAffinePosition(); }

void ExpectAt(const TTRVEntity& u, const TAffineVector& want) {
  const TAffineVector at = Where(u);
  EXPECT_FLOAT_EQ(at.x, want.x);
  EXPECT_FLOAT_EQ(at.y, want.y);
  EXPECT_FLOAT_EQ(at.z, want.z);
}

TEST(FarStepCadence, OnceTheTimerExceedsASecondThroughTheUnitsFrame) {
  FarField f;
  f.Side(0).attacking = 1;
  f.Side(0).mainEnemy = 1;
  f.Beacons(1, {50, 10});
  TTRVEntity& tank = f.Unit(utTank, 10, 10);
  tank.farTimer = 0;
  tank.aiTimer = 5;
  // 0.5 + 0.5 is exactly 1: not yet past it.
  for (int i = 0; i < 2; ++i) {
    tank.Progress(0.5);
    EXPECT_EQ(tank.isFar, 1);
    EXPECT_FLOAT_EQ(tank.aiTimer, 0) << "a far unit's AI chooses again as soon as it comes near";
    EXPECT_FLOAT_EQ(Where(tank).x, 10) << "call " << i;
  }
  EXPECT_FLOAT_EQ(tank.farTimer, 1);
  tank.Progress(0.5);
  EXPECT_FLOAT_EQ(Where(tank).x, 11);
  EXPECT_FLOAT_EQ(tank.farTimer, 0);
  tank.Progress(0.5);
  EXPECT_FLOAT_EQ(Where(tank).x, 11);
}

TEST(FarStepCadence, TurretsAreLeftAlone) {
  FarField f;
  f.Side(0).attacking = 1;
  f.Side(0).mainEnemy = 1;
  f.Beacons(1, {50, 10});
  TTRVEntity& turret = f.Unit(utTurret, 10, 10);
  turret.state.armour = 0;
  FarStep(turret, kPastInterval);
  ExpectAt(turret, {10, 2, 10});
}

TEST(FarStepWreck, GoesFarBelowTheGroundAndNowhereElse) {
  for (int type : {utHeli, utTank, utBoat}) {
    SCOPED_TRACE(testing::Message() << "type " << type);
    FarField f;
    f.Side(0).attacking = 1;
    f.Side(0).mainEnemy = 1;
    f.Side(0).roaming = 1;
    f.Beacons(1, {50, 10});
    TTRVEntity& wreck = f.Unit(type, 10, 12);
    TTRVEntity& enemy = f.Unit(utTank, 12, 12, 1);
    wreck.state.armour = 0;
    FarStep(wreck, kPastInterval);
    ExpectAt(wreck, {10, kFarWreckHeight, 12});
    EXPECT_FLOAT_EQ(enemy.state.armour, 250) << "a wreck fights no one";
  }
}

TEST(FarStepCombat, AnEnemyWithinSixteenHoldsTheUnitAndTakesDamageOnlyWhenStancesArePreset) {
  struct Case {
    int type;
    float enemyDistance;
    bool stancesPreset;
    bool enemyAlive;
    bool held;
    float enemyLoss;
  } cases[] = {
      {utHeli, 15.9f, true, true, true, 2},  {utTank, 15.9f, true, true, true, 4},
      {utBoat, 15.9f, true, true, true, 6},  {utTank, 15.9f, false, true, true, 0},
      {utTank, 16.0f, true, true, false, 0},  // the radius itself is out of reach
      {utBoat, 5.0f, true, false, false, 0},  // a wreck holds no one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " distance " << c.enemyDistance << " preset "
                                    << c.stancesPreset << " alive " << c.enemyAlive);
    FarField f;
    f.world().stancesPreset = c.stancesPreset ? 1 : 0;
    f.Side(0).attacking = 1;
    f.Side(0).mainEnemy = 1;
    f.Beacons(1, {50, 10});
    TTRVEntity& unit = f.Unit(c.type, 10, 10);
    // Behind the unit and off its row, so that the enemy never stands in its column.
    TTRVEntity& enemy = f.Unit(utTurret, 10, 10 + c.enemyDistance, 1);
    const float armour = c.enemyAlive ? 100.0f : 0.0f;
    enemy.state.armour = armour;
    FarStep(unit, kPastInterval);
    EXPECT_FLOAT_EQ(Where(unit).x, c.held ? 10 : 11);
    EXPECT_FLOAT_EQ(enemy.state.armour, armour - c.enemyLoss);
  }
}

TEST(FarStepCombat, OwnSideIsNoEnemy) {
  FarField f;
  f.world().stancesPreset = 1;
  f.Side(0).attacking = 1;
  f.Side(0).mainEnemy = 1;
  f.Beacons(1, {50, 10});
  TTRVEntity& unit = f.Unit(utTank, 10, 10);
  TTRVEntity& friendly = f.Unit(utTurret, 10, 14);
  FarStep(unit, kPastInterval);
  EXPECT_FLOAT_EQ(Where(unit).x, 11);
  EXPECT_FLOAT_EQ(friendly.state.armour, 350);
}

TEST(FarStepColumn, AUnitWaitsWhileOneOfItsTypeNearerTheGoalIsWithinTheLeaderRadius) {
  struct Case {
    int type;
    int frontType;
    float gap;  // the front unit stands this far ahead, on the same row
    bool backMoves;
  } cases[] = {
      {utHeli, utHeli, 2.9f, false}, {utHeli, utHeli, 3, true},  {utTank, utTank, 4.9f, false},
      {utTank, utTank, 5, true},     {utBoat, utBoat, 9.9f, false}, {utBoat, utBoat, 10, true},
      {utTank, utBoat, 2, true},  // another type is no leader
      {utTank, utTank, -2, true},  // one behind is no leader either
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " front " << c.frontType << " gap " << c.gap);
    FarField f;
    f.Side(0).attacking = 1;
    f.Side(0).mainEnemy = 1;
    f.Beacons(1, {50, 10});
    TTRVEntity& back = f.Unit(c.type, 20, 10);
    f.Unit(c.frontType, 20 + c.gap, 10);
    FarStep(back, kPastInterval);
    EXPECT_FLOAT_EQ(Where(back).x, c.backMoves ? 21 : 20);
    EXPECT_FLOAT_EQ(Where(back).z, 10);
  }
}

TEST(FarStepColumn, AnAttackingColumnAdvancesFrontFirstAndStopsAtTheEngageThreshold) {
  FarField f;
  f.Side(0).attacking = 1;
  f.Side(0).mainEnemy = 2;
  f.Beacons(1, {10, 50});  // not the main enemy: a column walking this field goes the wrong way
  f.Beacons(2, {50, 10});
  TTRVEntity& back = f.Unit(utTank, 10, 10, 0, 8);
  TTRVEntity& front = f.Unit(utTank, 13, 10, 0, 8);
  std::vector<float> backTrail;
  for (int i = 0; i < 60; ++i) {
    // The game steps a side's units from the last to the first.
    FarStep(front, kPastInterval);
    FarStep(back, kPastInterval);
    backTrail.push_back(Where(back).x);
  }
  EXPECT_EQ(front.state.targetSide, 2);
  EXPECT_EQ(back.state.targetSide, 2);
  // The front stops once fewer than 8 steps remain: 50 - 43 = 7.
  ExpectAt(front, {43, 2, 10});
  // The back one starts only once the front is 5 ahead, and closes up to 4 behind it.
  EXPECT_FLOAT_EQ(backTrail[0], 10);
  EXPECT_FLOAT_EQ(backTrail[1], 11);
  ExpectAt(back, {39, 2, 10});
}

TEST(FarStepColumn, AStepThatCannotWalkDownTheFieldStartsFromTheCellTheUnitIsRoundedTo) {
  // The goal at (12, 10) holds 2 and its neighbours 1, so a unit on (11, 10) has nowhere lower
  // to walk and takes a cell step instead: to one of the neighbours of (11, 10). At x = 10.6 it
  // counts as standing on (11, 10) though its corner is (10, 10); a step from (10, 10) would
  // take it onto (11, 10) and leave it there.
  FarField f;
  f.Side(0).attacking = 1;
  f.Side(0).mainEnemy = 1;
  f.Beacons(1, {12, 10});
  TTRVEntity& tank = f.Unit(utTank, 10.6f, 10.2f);
  FarStep(tank, kPastInterval);
  const TAffineVector at = Where(tank);
  const TTRVCell cell{static_cast<int>(std::lround(at.x)), static_cast<int>(std::lround(at.z))};
  EXPECT_FLOAT_EQ(at.x, static_cast<float>(cell.x)) << "moved onto a cell's corner";
  EXPECT_EQ(std::abs(cell.x - 11) + std::abs(cell.z - 10), 1) << "to a neighbour of (11, 10), not "
                                                                << cell.x << ", " << cell.z;
}

TEST(FarStepColumn, DefendersCloseOnTheirOwnBaseToTheEngageRangeTimesTheGuardFactor) {
  struct Case {
    int type;
    std::uint16_t engageRange;
    float startX;  // steps to the goal: 50 - startX
    bool moves;
  } cases[] = {
      {utHeli, 4, 42, true},  {utHeli, 4, 43, false},  // 4 x 2
      {utTank, 4, 42, true},  {utTank, 4, 43, false},  // 4 x 2
      {utBoat, 3, 41, true},  {utBoat, 3, 42, false},  // 3 x 3
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " from " << c.startX);
    FarField f;
    f.Side(0).defending = 1;
    f.Side(0).mainEnemy = 1;
    f.Beacons(0, {50, 40});
    f.Beacons(1, {50, 10});  // the enemy's base: no business of a defender
    TTRVEntity& unit = f.Unit(c.type, c.startX, 40, 0, c.engageRange);
    FarStep(unit, kPastInterval);
    EXPECT_EQ(unit.state.targetSide, 0);
    EXPECT_FLOAT_EQ(Where(unit).x, c.moves ? c.startX + 1 : c.startX);
    EXPECT_FLOAT_EQ(Where(unit).z, 40);
  }
}

TEST(FarStepRoaming, RoamersCloseOnThePlayerAndEachStanceMovesOnItsOwn) {
  struct Case {
    bool attacking, defending;
    float expectedX;
  } cases[] = {
      {false, false, 11},  // roaming alone
      {true, false, 12},   // attacking toward the same side of the map, and roaming
      {true, true, 13},    // all three
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "attacking " << c.attacking << " defending " << c.defending);
    FarField f;
    f.Side(0).roaming = 1;
    f.Side(0).attacking = c.attacking;
    f.Side(0).defending = c.defending;
    f.Side(0).mainEnemy = 1;
    f.Beacons(0, {50, 10});
    f.Beacons(1, {50, 10});
    f.GroundRegion();
    f.w.cameraTarget.Position.SetPoint(60, 2, 10);  // the player, 50 away
    TTRVEntity& tank = f.Unit(utTank, 10, 10);
    FarStep(tank, kPastInterval);
    ExpectAt(tank, {c.expectedX, 2, 10});
  }
}

TEST(FarStepHeight, EachTypeSettlesAfterAMovePerItsRule) {
  // The ground rises with x + z, so that every cell a unit may reach lies at its own height.
  struct Case {
    int type;
    bool wanders;  // next to the goal: no walk down the field, a step to a neighbour instead
    bool onGround;
    float above;   // above the ground the unit ends on; a boat that wanders keeps its height
  } cases[] = {
      {utHeli, false, true, 1.5f}, {utHeli, true, true, 1.5f}, {utTank, false, true, 0},
      {utTank, true, true, 0},     {utBoat, false, true, 0},   {utBoat, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " wanders " << c.wanders);
    platform::Random().Seed(3);
    FarField f;
    for (int x = 0; x < 64; ++x)
      for (int z = 0; z < 64; ++z) f.world().heightGrid(x, z) = static_cast<std::uint8_t>(x + z);
    f.Side(0).attacking = 1;
    f.Side(0).mainEnemy = 1;
    f.Beacons(1, {50, 10});
    const float startX = c.wanders ? 49 : 20;
    TTRVEntity& unit = f.Unit(c.type, startX, 10, 0, 1);
    unit.state.Altitude() = 1.5f;
    unit.Position.SetY(0.25f);
    FarStep(unit, kPastInterval);
    const TAffineVector at = Where(unit);
    if (c.wanders) {
      const std::vector<TAffineVector> around{{48, 0, 10}, {50, 0, 10}, {49, 0, 9}, {49, 0, 11}};
      EXPECT_NE(std::find(around.begin(), around.end(), TAffineVector(at.x, 0, at.z)), around.end())
          << at.x << ", " << at.z;
    } else {
      EXPECT_FLOAT_EQ(at.x, startX + 1);
      EXPECT_FLOAT_EQ(at.z, 10);
    }
    const float ground = (at.x + at.z) / 25;
    EXPECT_FLOAT_EQ(at.y, c.onGround ? ground + c.above : 0.25f);
  }
}

TEST(FarStepGuards, MissingSidesBeaconsRegionsOrPlayerLeaveThatPartOut) {
  struct Case {
    const char* what;
    bool attacking, roaming;
    int unitSide;
    int mainEnemy;
    bool enemyBeacons;  // the main enemy has world beacons
    bool region;        // the world has a ground region
    bool player;        // the context has a camera target
  } cases[] = {
      {"side beyond the world's", true, true, 5, 1, true, true, true},
      {"main enemy beyond the world's", true, false, 0, 7, true, true, true},
      {"main enemy without beacons", true, false, 0, 1, false, true, true},
      {"no region", false, true, 0, 1, true, false, true},
      {"no player", false, true, 0, 1, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FarField f(c.player);
    f.Side(0).attacking = c.attacking;
    f.Side(0).roaming = c.roaming;
    f.Side(0).mainEnemy = static_cast<std::uint8_t>(c.mainEnemy);
    if (c.enemyBeacons) f.Beacons(1, {50, 10});
    if (c.region) f.GroundRegion();
    TTRVEntity& tank = f.Unit(utTank, 10, 10);
    tank.state.side = static_cast<std::uint8_t>(c.unitSide);
    FarStep(tank, kPastInterval);
    ExpectAt(tank, {10, 2, 10});
  }
}

}  // namespace

// New-game set-up on a small island: the units each side gets and where they stand, the
// player's unit, naval piers with and without their theme, the grids the spawn searches use,
// a side with no room reported rather than waited on, and the game step reaching the units.
#include "game/newgame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <memory>
#include <vector>

#include "game/game.h"
#include "platform/random.h"
#include "scene/proxy.h"
#include "tests/terrain/sector_fixture.h"
#include "units/entity.h"
#include "units/targets.h"

namespace {

using namespace sectortest;

// 4 x 4 sectors (128 x 128 cells): land at height 2 on [20, 100) x [20, 100), sea around.
// Land base 0 at (40, 40), land base 1 at (80, 80), each with its turrets in a row; naval
// base 1 in the sea at (110, 64).
class NewGame : public ::testing::Test {
 protected:
  void SetUp() override { platform::Random().Seed(7); }

  void Write(bool military = true, bool land = true) {
    WriteTheme(folder.Path(), "Basic", {tcOpenGround, tcSea, tcRiver});
    if (military) WriteTheme(folder.Path(), "Military", {tcOpenGround});
    for (const char* unit : {"Heli", "Tank", "Boat", "Turret"}) WriteTheme(folder.Path(), unit, {0});
    Island island(4, 4, military ? std::vector<std::string>{"Basic", "Military"} : std::vector<std::string>{"Basic"});
    if (land)
      island.Fill(20, 20, 100, 100, tcOpenGround, 50);
    else
      island.Fill(60, 60, 62, 62, tcOpenGround, 50);  // a rock, all coast
    TTRVWorldFileData d = island.Build();
    AddTestBases(d);
    WriteWorld(folder, "Isle", d);
  }

  static TTRVWorldFractionInfo Side(const std::string& name, std::array<std::int16_t, 4> counts) {
    TTRVWorldFractionInfo s;
    s.name = name;
    s.unitCounts = counts;
    return s;
  }

  // Starts the game; false with the loader's or set-up's message in `error`.
  bool Start(const TTRVWorldInfo& info) {
    progress = {};
    TTRVWorldContext c = Context(folder, &scene, &progress);
    c.settings.ViewDistance = 1;
    c.cameraTarget = &cameraTarget;
    c.cockpit.status = &status;
    c.cockpit.reason = &reason;
    if (engineControls) c.cockpit.controls = &controls;
    game = StartNewGame(c, "Isle", &info, error);
    return game != nullptr;
  }

  TTRVWorld& W() { return game->World(); }
  std::vector<TTRVEntity*> Units(int side) {
    std::vector<TTRVEntity*> out;
    TGLBaseSceneObject* cube = W().sideRoot->Children(side);
    for (int k = 0; k < cube->Count(); ++k) out.push_back(dynamic_cast<TTRVEntity*>(cube->Children(k)));
    return out;
  }
  static int CountType(const std::vector<TTRVEntity*>& units, int type) {
    int n = 0;
    for (const TTRVEntity* u : units) n += u->state.unitType == type;
    return n;
  }
  static TTRVCell CellAt(const TTRVEntity& u) {
    const TAffineVector p = u.AbsoluteAffinePosition();
    return {static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.z))};
  }

  ProgramFolder folder;
  TGLScene scene;
  TGLDummyCube cameraTarget;
  TTRVStatus status = TTRVStatus::None;
  TTRVReason reason = TTRVReason::None;
  bool engineControls = false;  // lend the player's unit the engine's control block below
  TTRVControlBlock controls;
  std::unique_ptr<TTRVGame> game;
  std::string error;
  Progress progress;
};

TEST_F(NewGame, EachSideGetsItsUnitsInRecordOrderWithOnePlayer) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("North", {2, 3, 0, 4}), Side("South", {1, 0, 2, 0})};
  info.playerSide = 1;
  info.playerUnitType = utHeli;
  ASSERT_TRUE(Start(info)) << error;
  ASSERT_EQ(W().sideRoot->Count(), 2);

  const std::vector<std::vector<int>> wantTypes = {{3, 3, 3, 3, 0, 0, 1, 1, 1}, {0, 2, 2}};
  int players = 0;
  for (int d = 0; d < 2; ++d) {
    const std::vector<TTRVEntity*> units = Units(d);
    ASSERT_EQ(units.size(), wantTypes[static_cast<std::size_t>(d)].size()) << "side " << d;
    for (std::size_t k = 0; k < units.size(); ++k) {
      ASSERT_NE(units[k], nullptr);
      EXPECT_EQ(units[k]->state.unitType, wantTypes[static_cast<std::size_t>(d)][k]) << "side " << d << " unit " << k;
      EXPECT_EQ(units[k]->state.side, d);
      EXPECT_EQ(units[k]->world, &W());
      players += units[k]->state.isPlayer;
    }
    EXPECT_EQ(W().sides[static_cast<std::size_t>(d)].sideIndex, d);
  }
  EXPECT_EQ(players, 1);
  const TTRVEntity& player = *Units(1)[0];
  EXPECT_EQ(player.state.isPlayer, 1) << "the player's side's first unit of the player's type";
  EXPECT_EQ(CellAt(player), W().sides[1].rallyCell[utHeli]);
  EXPECT_FLOAT_EQ(cameraTarget.AbsoluteAffinePosition().x, player.AbsoluteAffinePosition().x);

  // Land turrets stand on their base's turret cells, on the ground.
  const std::vector<TTRVEntity*> north = Units(0);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(CellAt(*north[static_cast<std::size_t>(k)]), (TTRVCell{32 + k, 45})) << "turret " << k;
    EXPECT_EQ(north[static_cast<std::size_t>(k)]->state.unitType, utTurret);
  }
  for (int d = 0; d < 2; ++d) {
    const TTRVWorldFractionInfo& s = W().sides[static_cast<std::size_t>(d)];
    EXPECT_NE(s.airBeacon, nullptr);
    EXPECT_NE(s.groundBeacon, nullptr);
    EXPECT_NE(s.waterBeacon, nullptr);
    EXPECT_TRUE(W().groundPathFinder.Passable(s.rallyCell[utTank].x, s.rallyCell[utTank].z));
    EXPECT_TRUE(W().waterPathFinder.Passable(s.rallyCell[utBoat].x, s.rallyCell[utBoat].z));
  }
  EXPECT_EQ(W().stancesPreset, 0);
  EXPECT_TRUE(W().sides[0].roaming && W().sides[1].roaming) << "no stance chosen: every side roams";

  // The set-up reports last, after the loader.
  std::vector<std::pair<std::string, int>> reports;
  for (std::size_t k = progress.texts.size() >= 4 ? progress.texts.size() - 4 : 0; k < progress.texts.size(); ++k)
    reports.emplace_back(progress.texts[k], progress.percents[k]);
  const std::vector<std::pair<std::string, int>> want = {
      {"Starting new game", 80}, {"Starting new game", 90}, {"Adding units: North", 90}, {"Adding units: South", 100}};
  EXPECT_EQ(reports, want);
}

TEST_F(NewGame, AStanceOnThePlayersSideKeepsEverySidesStances) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {1, 0, 0, 0}), Side("Red", {1, 0, 0, 0})};
  info.sides[0].attacking = 1;
  ASSERT_TRUE(Start(info)) << error;
  EXPECT_EQ(W().stancesPreset, 1);
  EXPECT_EQ(W().sides[0].roaming, 0);
  EXPECT_EQ(W().sides[1].roaming, 0);
}

TEST_F(NewGame, APlayerSideWithoutThePlayersTypeGetsOneAtItsRallyCell) {
  Write();
  for (std::uint8_t type : {utHeli, utTank, utBoat}) {
    SCOPED_TRACE(static_cast<int>(type));
    TTRVWorldInfo info;
    info.sides = {Side("Blue", {0, 0, 0, 2}), Side("Red", {1, 1, 1, 0})};
    info.playerUnitType = type;
    ASSERT_TRUE(Start(info)) << error;
    EXPECT_EQ(W().sides[0].unitCounts[type], 1);
    const std::vector<TTRVEntity*> units = Units(0);
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(CountType(units, type), 1);
    const TTRVEntity& player = *units[2];
    EXPECT_EQ(player.state.unitType, type);
    EXPECT_EQ(player.state.isPlayer, 1);
    EXPECT_EQ(CellAt(player), W().sides[0].rallyCell[type]);
    game.reset();
  }
}

TEST_F(NewGame, HelicoptersGatherOnTheGridOfThePlayersVehicle) {
  Write();
  struct Case {
    std::uint8_t playerType;
    const TTRVPathFinder TTRVWorld::*grid;
  };
  for (const Case& c : {Case{utHeli, &TTRVWorld::airPathFinder}, Case{utTank, &TTRVWorld::groundPathFinder},
                        Case{utBoat, &TTRVWorld::waterPathFinder}}) {
    SCOPED_TRACE(static_cast<int>(c.playerType));
    TTRVWorldInfo info;
    info.sides = {Side("Blue", {3, 1, 1, 0}), Side("Red", {3, 1, 1, 0})};
    info.playerUnitType = c.playerType;
    ASSERT_TRUE(Start(info)) << error;
    EXPECT_EQ(&SpawnGrid(W(), utHeli), &(W().*c.grid));
    for (int d = 0; d < 2; ++d) {
      const TTRVCell rally = W().sides[static_cast<std::size_t>(d)].rallyCell[utHeli];
      EXPECT_TRUE((W().*c.grid).Passable(rally.x, rally.z)) << "side " << d;
      for (const TTRVEntity* u : Units(d))
        if (u->state.unitType == utHeli) {
          EXPECT_TRUE((W().*c.grid).Passable(CellAt(*u).x, CellAt(*u).z));
        }
    }
    game.reset();
  }
}

TEST_F(NewGame, UnitsStandOnFreeCellsOfTheirGridWithOrWithoutScatter) {
  Write();
  for (std::uint8_t scatter : {0, 1}) {
    SCOPED_TRACE(static_cast<int>(scatter));
    TTRVWorldInfo info;
    info.sides = {Side("Blue", {6, 12, 6, 0}), Side("Red", {6, 12, 6, 0})};
    for (TTRVWorldFractionInfo& s : info.sides) s.scatterSpawn = scatter;
    ASSERT_TRUE(Start(info)) << error;
    const TTRVPathFinder* grids[3] = {&W().airPathFinder, &W().groundPathFinder, &W().waterPathFinder};
    for (int d = 0; d < 2; ++d) {
      const std::vector<TTRVEntity*> units = Units(d);
      ASSERT_EQ(units.size(), 24u);
      for (const TTRVEntity* u : units) {
        const TTRVCell c = CellAt(*u);
        EXPECT_TRUE(grids[u->state.unitType]->Passable(c.x, c.z)) << "side " << d << " type " << int(u->state.unitType);
        if (u->state.unitType == utTank) {
          EXPECT_FLOAT_EQ(u->AbsoluteAffinePosition().y, 2) << "on the ground";
        }
      }
      // Twelve tanks on 16 sectors step out by 2 cells each: unscattered they all stand
      // within 24 cells of their rally cell; scattered groups reach well beyond it.
      const TTRVCell rally = W().sides[static_cast<std::size_t>(d)].rallyCell[utTank];
      int farthest = 0;
      for (const TTRVEntity* u : units)
        if (u->state.unitType == utTank) {
          const TTRVCell c = CellAt(*u);
          farthest = std::max({farthest, std::abs(c.x - rally.x), std::abs(c.z - rally.z)});
        }
      if (scatter) {
        EXPECT_GT(farthest, 24) << "side " << d;
      } else {
        EXPECT_LE(farthest, 24) << "side " << d;
      }
    }
    game.reset();
  }
}

TEST_F(NewGame, NavalTurretsStandOnThePierAtTheTableOffsets) {
  for (bool military : {true, false}) {
    SCOPED_TRACE(military);
    Write(military);  // without it the world names no Military theme
    TTRVWorldInfo info;
    info.sides = {Side("Land", {1, 1, 0, 0}), Side("Fleet", {0, 0, 2, 20})};
    info.sides[1].navalBase = 1;
    ASSERT_TRUE(Start(info)) << error;
    EXPECT_EQ(W().staticRoot->Count(), military ? 1 : 0) << "the pier needs its theme";
    if (military) {
      EXPECT_NE(dynamic_cast<TGLProxyObject*>(W().staticRoot->Children(0)), nullptr);
    }

    const std::vector<TTRVEntity*> units = Units(1);
    ASSERT_EQ(units.size(), 16u + 2u) << "a pier has 16 turret slots";
    for (int k = 0; k < kMaxSideTurrets; ++k) {
      const TAffineVector p = units[static_cast<std::size_t>(k)]->AbsoluteAffinePosition();
      const TAffineVector& o = kNavalTurretOffsets[static_cast<std::size_t>(k)];
      EXPECT_NEAR(p.x, 110 + o.x, 1e-4f) << "slot " << k;
      EXPECT_NEAR(p.y, o.y, 1e-4f) << "slot " << k;
      EXPECT_NEAR(p.z, 64 + o.z, 1e-4f) << "slot " << k;
    }
    EXPECT_FLOAT_EQ(W().sides[1].basePosition.x, 110);
    EXPECT_FLOAT_EQ(W().objectHeightGrid(103, 62), 1.65f);
    EXPECT_FLOAT_EQ(W().objectHeightGrid(102, 62), 0);
    for (const TTRVPathFinder* g : {&W().airPathFinder, &W().groundPathFinder, &W().waterPathFinder}) {
      EXPECT_FALSE(g->Passable(102, 61));
      EXPECT_FALSE(g->Passable(118, 67));
    }
    EXPECT_TRUE(W().airPathFinder.Passable(119, 64));
    game.reset();
  }
}

TEST_F(NewGame, SidesBeyondTheBasesAndEmptySidesStillSetUp) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("A", {0, 0, 0, 0}), Side("B", {0, 0, 0, 0}), Side("C", {0, 2, 0, 3})};
  info.playerSide = 9;  // beyond the sides: the first side plays
  info.playerUnitType = utTank;
  ASSERT_TRUE(Start(info)) << error;
  EXPECT_EQ(W().playerSide, 0);
  ASSERT_EQ(W().sideRoot->Count(), 3);
  EXPECT_EQ(Units(0).size(), 1u) << "the player's tank only";
  EXPECT_TRUE(Units(1).empty());
  // Side 2 has no land base of its own: it gathers at the map's centre, its turrets with its tanks.
  EXPECT_FLOAT_EQ(W().sides[2].basePosition.x, 64);
  const std::vector<TTRVEntity*> c = Units(2);
  ASSERT_EQ(c.size(), 5u);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(CellAt(*c[static_cast<std::size_t>(k)]), W().sides[2].rallyCell[utTank]);
}

TEST_F(NewGame, ASideWithNoRoomIsReported) {
  Write(false, false);  // a rock in the sea: no cell for tanks
  TTRVWorldInfo info;
  info.sides = {Side("Wet", {1, 1, 0, 0}), Side("Other", {1, 1, 0, 0})};
  ASSERT_FALSE(Start(info));
  EXPECT_NE(error.find("Wet"), std::string::npos) << error;
  EXPECT_NE(error.find("tanks"), std::string::npos) << error;
}

TEST_F(NewGame, ARunningGameStepsTheUnits) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {1, 1, 0, 1}), Side("Red", {1, 1, 0, 0})};
  ASSERT_TRUE(Start(info)) << error;
  for (int d = 0; d < 2; ++d)
    for (const TTRVEntity* u : Units(d)) EXPECT_EQ(u->isFar, kFarUntilFirstFrame);
  game->SetRunning(true);
  // The first frame lays out the sectors around the camera, the next one bakes their ground
  // and simulates nothing.
  game->Step(0.05);
  TTRVEntity& player = *Units(0)[1];
  EXPECT_EQ(player.isFar, 0);
  player.isFar = kFarUntilFirstFrame;
  game->Step(0.05);
  EXPECT_EQ(player.isFar, kFarUntilFirstFrame) << "a frame that baked steps no unit";
  EXPECT_EQ(status, TTRVStatus::Accomplished) << "but judges the mission: no conditions, won at once";
  EXPECT_EQ(reason, TTRVReason::None);
  for (int i = 0; i < 6; ++i) game->Step(0.05);
  for (int d = 0; d < 2; ++d)
    for (const TTRVEntity* u : Units(d)) EXPECT_NE(u->isFar, kFarUntilFirstFrame) << "side " << d;
  EXPECT_EQ(Units(0)[1]->isFar, 0) << "the player's unit is where the camera looks";
}

TEST_F(NewGame, ABakingFrameFreezesShotsSmokeAndTheStrikeWaitButJudgesTheMission) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {1, 0, 0, 0}), Side("Red", {0, 1, 0, 0})};
  info.sides[1].victoryLosses = {-1, 1, -1, -1};
  ASSERT_TRUE(Start(info)) << error;
  game->SetRunning(true);
  game->Step(0.05);  // lays out the sectors; the next frame bakes them
  TTRVEntity& tank = *Units(1)[0];
  const TAffineVector tankAt = tank.AbsoluteAffinePosition();
  tank.state.armour = 0;  // destroyed while the ground bakes: the mission must still see it
  ASSERT_TRUE(game->Projectiles().FireBullet({50, 10, 50}, {90, 10, 50}, -1, {}, {1, 0, 0}, {}));
  game->Effects().SmokePuffs({50, 5, 60});
  ASSERT_GT(game->Effects().ParticleCount(), 0);
  const TAffineVector bulletAt = game->Projectiles().Bullets().front().head;
  const TAffineVector smokeAt = game->Effects().Particles().front().position;
  W().airStrikeTimer = 30;

  game->Step(0.05);
  EXPECT_EQ(game->Projectiles().Bullets().front().head, bulletAt) << "the tracer waits";
  EXPECT_EQ(game->Effects().Particles().front().position, smokeAt) << "the smoke waits";
  EXPECT_EQ(W().airStrikeTimer, 30) << "the strike's wait waits";
  EXPECT_EQ(tank.AbsoluteAffinePosition(), tankAt);
  EXPECT_EQ(status, TTRVStatus::None) << "the counts are the set-up's until a step simulates";

  game->Step(0.05);  // simulates: the wreck is counted, and the mission is won
  EXPECT_LT(W().airStrikeTimer, 30);
  EXPECT_NE(game->Projectiles().Bullets().front().head, bulletAt);
  EXPECT_EQ(W().sides[1].aliveCounts[utTank], 0);
  EXPECT_EQ(status, TTRVStatus::Accomplished);
  EXPECT_EQ(reason, TTRVReason::EnemyUnitsDestroyed);
}

namespace selfwreck {
void Step(TTRVEntity& unit, float) {
  if (unit.state.side == 1) unit.state.armour = 0;
}
}  // namespace selfwreck

TEST_F(NewGame, AUnitLostDuringAStepIsCountedAndJudgedInThatStep) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {1, 0, 0, 0}), Side("Red", {0, 1, 0, 0})};
  info.sides[1].victoryLosses = {-1, 1, -1, -1};
  ASSERT_TRUE(Start(info)) << error;
  cameraTarget.Position.SetPoint(60, 0, 60);  // every unit near
  game->SetRunning(true);
  for (int i = 0; i < 3; ++i) game->Step(0.05);  // sectors laid out and baked
  ASSERT_EQ(status, TTRVStatus::None);

  static const std::array<TTRVUnitHooks, 4> wrecking = [] {
    std::array<TTRVUnitHooks, 4> h{};
    for (TTRVUnitHooks& row : h) row.player = row.ai = row.far = selfwreck::Step;
    return h;
  }();
  Units(1)[0]->hooks = &wrecking;
  game->Step(0.05);
  EXPECT_EQ(W().sides[1].aliveCounts[utTank], 0);
  EXPECT_EQ(status, TTRVStatus::Accomplished) << "the loss ends the mission in the step it happens";
}

// The tank aims at a point past a ridge it cannot see over: its guns stop at the ridge, the
// air strike lands where the player points.
TEST_F(NewGame, TheAirStrikeGoesUnderTheCursorPastARidgeTheUnitCannotSeeOver) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {0, 1, 0, 0}), Side("Red", {0, 0, 0, 1})};
  info.playerUnitType = utTank;
  engineControls = true;
  ASSERT_TRUE(Start(info)) << error;
  TTRVEntity* player = nullptr;
  for (TTRVEntity* u : Units(0))
    if (u->state.isPlayer) player = u;
  ASSERT_NE(player, nullptr);
  game->SetRunning(true);
  for (int i = 0; i < 3; ++i) game->Step(0.02);  // sectors laid out and baked

  const TAffineVector from = player->AbsoluteAffinePosition();
  const TAffineVector cursor(from.x + 24, 2, from.z + 24);
  // A ridge 10 high across the line, half way.
  const int middle = static_cast<int>(from.x + from.z) + 24;
  for (int z = 20; z < 100; ++z)
    for (int x = 20; x < 100; ++x)
      if (std::abs(x + z - middle) <= 2) W().heightGrid.Set(x, z, 250);
  game->KeepAimPoint(cursor);
  game->Step(0.02);

  const TAffineVector cut(player->controls.aimPoint);
  EXPECT_LT(VectorLength(cut - from), 20.0f) << "the unit's own aim stops at the ridge";
  EXPECT_EQ(TAffineVector(controls.aimPoint), cursor) << "handed to the step from the drawing";
  EXPECT_EQ(game->Battlefield().targetPoint, cursor) << "the strike flies over the ridge";
}

TEST_F(NewGame, TheFirstBakingFramesJudgeTheMissionOnTheUnitsPlaced) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {2, 1, 0, 0}), Side("Red", {2, 1, 0, 0})};
  info.sides[0].survivalMinimum = {1, -1, -1, -1};
  info.sides[1].victoryLosses = {2, -1, -1, -1};
  ASSERT_TRUE(Start(info)) << error;
  game->SetRunning(true);
  game->Step(0.05);  // lays out the sectors
  game->Step(0.05);  // bakes them: nothing is simulated
  EXPECT_EQ(status, TTRVStatus::None) << "neither side has lost anything yet";
  EXPECT_EQ(W().sides[0].aliveCounts[utHeli], 2);
}

// A step in which one unit frees another that has not stepped yet: every later search, and
// the step itself, passes over the freed unit.
namespace freeing {
TTRVEntity* freer = nullptr;
TTRVEntity* victim = nullptr;
std::map<const TTRVEntity*, int> steps;
std::vector<const TTRVEntity*> targets;

void Step(TTRVEntity& unit, float) {
  ++steps[&unit];
  if (&unit == freer && victim) {
    victim->Free();
    victim = nullptr;
  } else if (FindNearestEnemy(unit)) {
    targets.push_back(unit.target);
  }
}
}  // namespace freeing

TEST_F(NewGame, AUnitFreedDuringTheStepIsNeverReachedAgain) {
  Write();
  TTRVWorldInfo info;
  info.sides = {Side("Blue", {3, 1, 0, 0}), Side("Red", {2, 1, 0, 0})};
  ASSERT_TRUE(Start(info)) << error;
  cameraTarget.Position.SetPoint(60, 0, 60);  // every unit near
  game->SetRunning(true);
  for (int i = 0; i < 3; ++i) game->Step(0.05);  // sectors laid out and baked

  static const std::array<TTRVUnitHooks, 4> counting = [] {
    std::array<TTRVUnitHooks, 4> h{};
    for (TTRVUnitHooks& row : h) row.player = row.ai = row.far = freeing::Step;
    return h;
  }();
  std::vector<TTRVEntity*> blue = Units(0), red = Units(1);
  for (TTRVEntity* u : blue) u->hooks = &counting;
  for (TTRVEntity* u : red) u->hooks = &counting;
  // Side 0 steps from its last unit down: the last frees the first, which has not stepped.
  freeing::freer = blue.back();
  freeing::victim = blue.front();
  const TTRVEntity* gone = blue.front();
  freeing::steps.clear();
  freeing::targets.clear();
  game->Step(0.05);

  EXPECT_EQ(freeing::victim, nullptr) << "the free happened";
  EXPECT_EQ(freeing::steps.count(gone), 0u) << "the freed unit was not stepped";
  for (std::size_t k = 1; k < blue.size(); ++k) EXPECT_EQ(freeing::steps[blue[k]], 1) << "blue " << k;
  for (const TTRVEntity* u : red) EXPECT_EQ(freeing::steps[u], 1) << "each red unit once";
  ASSERT_FALSE(freeing::targets.empty());
  for (const TTRVEntity* t : freeing::targets) EXPECT_NE(t, gone);
  for (const TTRVEntity* u : red) EXPECT_NE(u->target, gone);
}

}  // namespace

namespace {

// A 10 x 10 world built by hand: every path grid free except where a case blocks it.
TEST(FindSpawnCell, AnswersOnlyInnerFreeCellsWithinTheRadius) {
  ProgramFolder folder;
  TTRVWorld world(Context(folder, nullptr));
  world.heightGrid.Reset(10, 10, 0);
  for (TTRVPathFinder* f : {&world.airPathFinder, &world.groundPathFinder, &world.waterPathFinder}) f->Reset(10, 10, true);
  platform::Random().Seed(3);

  EXPECT_EQ(FindSpawnCell(world, {5, 5}, utHeli, 0.9f), (TTRVCell{5, 5})) << "radius below 1: the centre only";
  EXPECT_EQ(FindSpawnCell(world, {0, 0}, utHeli, 0), kNoCell) << "the border is never a spawn cell";
  EXPECT_EQ(FindSpawnCell(world, {20, 20}, utTank, 3), kNoCell) << "off the map";
  for (int k = 0; k < 50; ++k) {
    const TTRVCell c = FindSpawnCell(world, {1, 8}, utBoat, 3);
    ASSERT_NE(c, kNoCell);
    EXPECT_TRUE(c.x > 0 && c.x < 9 && c.z > 0 && c.z < 9) << c.x << "," << c.z;
    EXPECT_LE(std::abs(c.x - 1), 3);
    EXPECT_LE(std::abs(c.z - 8), 3);
  }
  world.waterPathFinder.Reset(10, 10, false);
  world.waterPathFinder.SetPassable(4, 4, true);
  EXPECT_EQ(FindSpawnCell(world, {4, 4}, utBoat, 0), (TTRVCell{4, 4}));
  EXPECT_EQ(FindSpawnCell(world, {6, 6}, utBoat, 1), kNoCell);
}

}  // namespace

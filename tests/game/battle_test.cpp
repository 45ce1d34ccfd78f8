// A minute of a two-side battle on a generated island, with the forged themes and no window:
// the computer helicopters leave their bases, follow their route fields toward the enemy and
// end near it, near the camera and far from it, and nothing becomes NaN on the way.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "effects/projectiles.h"
#include "game/game.h"
#include "generator/creator.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "units/entity.h"
#include "units/targets.h"

namespace fs = std::filesystem;

namespace {

// The program folder this build forged its themes into.
fs::path BuiltProgramFolder() { return platform::ProgramFolder().parent_path() / "game"; }

bool Finite(const TAffineVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float Flat(const TAffineVector& a, const TAffineVector& b) { return std::hypot(a.x - b.x, a.z - b.z); }

class Battle : public ::testing::Test {
 protected:
  // One island for the suite: generating it is the slow part.
  static void SetUpTestSuite() {
    folder_ = fs::temp_directory_path() / ("morvane-battle-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(folder_, ec);
    fs::create_directories(folder_ / "worlds");
    fs::create_directory_symlink(BuiltProgramFolder() / "themes", folder_ / "themes", ec);
    platform::Random().Seed(11);
    TTRVWorldParams params;
    params.mapWidth = 10;
    params.mapHeight = 10;
    params.heightScale = 19;
    params.themeNames = {"Basic", "Water", "Military"};
    TTRVWorldCreator creator(folder_);
    const TTRVCreateResult made = creator.CreateWorld(params, TTRVSketchSource::RandomMulti, "Battle", 2);
    generated_ = made.ok;
    error_ = made.error;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  void SetUp() override {
    ASSERT_TRUE(fs::exists(BuiltProgramFolder() / "themes" / "Heli.TRV")) << "the build forges the themes";
    ASSERT_TRUE(generated_) << error_;
  }

  // A game's context in `scene`, with its camera and the camera's target, over the island.
  static TTRVWorldContext ContextIn(TGLScene& scene) {
    TTRVWorldContext context;
    context.scene = &scene;
    context.programFolder = folder_;
    context.settings.Language = "ENG";
    context.camera = scene.Objects().AddNewChild<TGLCamera>();
    context.cameraTarget = scene.Objects().AddNewChild<TGLDummyCube>();
    return context;
  }

  static TTRVWorldInfo TwoSides() {
    TTRVWorldInfo info;
    info.playerSide = 0;
    info.playerUnitType = utHeli;
    for (int s = 0; s < 2; ++s) {
      TTRVWorldFractionInfo side;
      side.name = s == 0 ? "Blue" : "Red";
      side.unitCounts = {5, 0, 0, 2};
      side.attacking = 1;
      side.mainEnemy = static_cast<std::uint8_t>(1 - s);
      info.sides.push_back(side);
    }
    return info;
  }

  static fs::path folder_;
  static bool generated_;
  static std::string error_;
};

fs::path Battle::folder_;
bool Battle::generated_ = false;
std::string Battle::error_;

TEST_F(Battle, ComputerHelicoptersCrossTheIslandTowardTheEnemy) {
  TGLScene scene;
  TTRVWorldContext context = ContextIn(scene);
  const TTRVWorldInfo info = TwoSides();
  std::string error;
  std::unique_ptr<TTRVGame> game = StartNewGame(context, "Battle", &info, error);
  ASSERT_TRUE(game) << error;
  TTRVWorld& world = game->World();

  struct Flight {
    TTRVEntity* unit;
    TAffineVector start;
  };
  std::vector<Flight> flights;
  TTRVEntity* player = nullptr;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (u.state.isPlayer) player = &u;
    else if (u.state.unitType == utHeli) flights.push_back({&u, u.AbsoluteAffinePosition()});
  });
  ASSERT_TRUE(player);
  ASSERT_EQ(flights.size(), 9u) << "five a side, one of them the player's";
  const TAffineVector enemyBase[2] = {world.sides[1].basePosition, world.sides[0].basePosition};

  // The player hovers at home with the camera on them, as in the first seconds of a game:
  // their own company starts near the camera, the enemy far from it.
  game->SetRunning(true);
  const double dt = 1.0 / 30;
  for (int i = 0; i < 60 * 30; ++i) {
    TAffineVector at = player->AbsoluteAffinePosition();
    at.y += 0.5f;
    world.FocusOn(at);
    game->Step(dt);
    if (i % 30 == 0)
      ForEachUnit(world, [&](TTRVEntity& u) { ASSERT_TRUE(Finite(u.AbsoluteAffinePosition())) << "step " << i; });
  }

  int nearer = 0, closeToEnemy = 0;
  for (const Flight& f : flights) {
    const TAffineVector end = f.unit->AbsoluteAffinePosition();
    const TAffineVector goal = enemyBase[f.unit->state.side];
    const float before = Flat(f.start, goal), after = Flat(end, goal);
    // Closest enemy unit at the end.
    float enemy = std::numeric_limits<float>::max();
    ForEachUnit(world, [&](TTRVEntity& u) {
      if (u.state.side != f.unit->state.side) enemy = std::min(enemy, Flat(u.AbsoluteAffinePosition(), end));
    });
    SCOPED_TRACE(testing::Message() << "side " << int(f.unit->state.side) << " from " << before << " to " << after
                                    << " off the enemy base, nearest enemy " << enemy << ", far " << int(f.unit->isFar)
                                    << ", armour " << f.unit->state.armour);
    EXPECT_GT(Flat(f.start, end), 10) << "it left its base";
    if (after < before - 20) ++nearer;
    if (enemy < 40) ++closeToEnemy;
  }
  EXPECT_GE(nearer, 7) << "most made their way toward the enemy base";
  EXPECT_GE(closeToEnemy, 5) << "most ended near the enemy";
}

// How one computer vehicle, followed by the camera so that it drives with its own step and not
// the far step, fared on its way to a goal.
struct TTRVDrive {
  float start = 0;    // flat distance from the goal at the start
  float closest = 0;  // the nearest it came
  float travelled = 0;
  float longestStuck = 0;  // seconds without moving a unit, away from the goal
};

TTRVDrive DriveToward(TTRVGame& game, TTRVEntity& driver, const TAffineVector& goal, float seconds) {
  TTRVWorld& world = game.World();
  const TAffineVector start = driver.AbsoluteAffinePosition();
  TTRVDrive drive;
  drive.start = drive.closest = Flat(start, goal);
  game.SetRunning(true);
  const double dt = 1.0 / 30;
  float stuckFor = 0;
  TAffineVector lastMoved = start;
  for (int step = 0; step < static_cast<int>(seconds * 30); ++step) {
    world.FocusOn(driver.AbsoluteAffinePosition() + TAffineVector(0, 1.5f, 0));
    game.Step(dt);
    const TAffineVector at = driver.AbsoluteAffinePosition();
    if (!Finite(at)) {
      ADD_FAILURE() << "NaN at step " << step;
      break;
    }
    drive.closest = std::min(drive.closest, Flat(at, goal));
    // Standing still at the goal is arriving, not being stuck.
    if (Flat(at, lastMoved) > 1 || Flat(at, goal) < 10) {
      lastMoved = at;
      stuckFor = 0;
    } else {
      stuckFor += static_cast<float>(dt);
      drive.longestStuck = std::max(drive.longestStuck, stuckFor);
    }
  }
  drive.travelled = Flat(driver.AbsoluteAffinePosition(), start);
  return drive;
}

TEST_F(Battle, AComputerTankDrivesOutOfItsBaseAlongTheRouteFieldToTheEnemyBase) {
  // A tank of an attacking side that follows its player advances down the enemy's ground
  // route field.
  platform::Random().Seed(5);
  TGLScene scene;
  TTRVWorldContext context = ContextIn(scene);
  TTRVWorldInfo info = TwoSides();
  info.playerUnitType = utTank;
  info.sides[0].unitCounts = {0, 2, 0, 0};
  info.sides[1].unitCounts = {0, 0, 0, 0};  // nobody on the way to fight
  std::string error;
  std::unique_ptr<TTRVGame> game = StartNewGame(context, "Battle", &info, error);
  ASSERT_TRUE(game) << error;
  TTRVEntity* driver = nullptr;
  ForEachUnit(game->World(), [&](TTRVEntity& u) {
    if (!driver && u.state.side == 0 && u.state.unitType == utTank && !u.state.isPlayer) driver = &u;
  });
  ASSERT_TRUE(driver);

  const TTRVDrive drive = DriveToward(*game, *driver, game->World().sides[1].basePosition, 90);
  SCOPED_TRACE(testing::Message() << "from " << drive.start << " to " << drive.closest << " off the enemy base");
  EXPECT_GT(drive.travelled, 15) << "it left its base";
  EXPECT_LT(drive.closest, 10) << "it reached the enemy's base";
  EXPECT_LT(drive.longestStuck, 8) << "never stuck for long";
}

TEST_F(Battle, AComputerBoatSailsFromItsNavalBaseToTheEnemysOverOpenSea) {
  platform::Random().Seed(7);
  TGLScene scene;
  TTRVWorldContext context = ContextIn(scene);
  TTRVWorldInfo info = TwoSides();
  info.playerUnitType = utBoat;
  for (TTRVWorldFractionInfo& side : info.sides) side.navalBase = 1;
  info.sides[0].unitCounts = {0, 0, 2, 0};
  info.sides[1].unitCounts = {0, 0, 0, 0};
  std::string error;
  std::unique_ptr<TTRVGame> game = StartNewGame(context, "Battle", &info, error);
  ASSERT_TRUE(game) << error;
  const TTRVWorld& world = game->World();
  const TAffineVector goal = world.sides[1].basePosition;
  ASSERT_GT(Flat(world.sides[0].basePosition, goal), 40) << "the island has two naval bases apart";
  TTRVEntity* captain = nullptr;
  ForEachUnit(game->World(), [&](TTRVEntity& u) {
    if (!captain && u.state.side == 0 && u.state.unitType == utBoat && !u.state.isPlayer) captain = &u;
  });
  ASSERT_TRUE(captain);

  const TTRVDrive drive = DriveToward(*game, *captain, goal, 300);
  SCOPED_TRACE(testing::Message() << "from " << drive.start << " to " << drive.closest << " off the enemy base");
  EXPECT_LT(drive.closest, 15) << "it reached the enemy's naval base";
  EXPECT_LT(drive.longestStuck, 8) << "never stuck for long";
  EXPECT_GT(captain->state.armour, 0) << "it never ran aground for long";
}

TEST_F(Battle, AFightUnderTheComputersPilotsEndsTheMission) {
  // The player's helicopter on autopilot among its company, the enemy's brought within sight:
  // they fight with real rounds and rockets until the mission rules end the game.
  TGLScene scene;
  TTRVStatus status = TTRVStatus::None;
  TTRVReason reason = TTRVReason::None;
  TTRVWorldContext context = ContextIn(scene);
  context.cockpit.status = &status;
  context.cockpit.reason = &reason;
  TTRVWorldInfo info = TwoSides();
  info.sides[0].unitCounts = {3, 0, 0, 0};
  info.sides[1].unitCounts = {3, 0, 0, 0};
  info.sides[0].survivalMinimum = {1, -1, -1, -1};  // the player's side loses with no helicopter left
  info.sides[1].victoryLosses = {3, -1, -1, -1};    // and wins when the enemy has none
  std::string error;
  std::unique_ptr<TTRVGame> game = StartNewGame(context, "Battle", &info, error);
  ASSERT_TRUE(game) << error;
  TTRVWorld& world = game->World();
  TTRVEntity* player = nullptr;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (u.state.isPlayer) player = &u;
  });
  ASSERT_TRUE(player);
  player->autopilot = true;
  const TAffineVector centre = player->AbsoluteAffinePosition();
  int k = 0;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (u.state.side != 1 || u.state.unitType != utHeli) return;
    u.Position.SetPoint(centre + TAffineVector(20.0f + 4.0f * static_cast<float>(k++), 1, 12));
  });

  game->SetRunning(true);
  const double dt = 1.0 / 30;
  int step = 0;
  for (; step < 240 * 30 && !MissionOver(status); ++step) {
    TAffineVector at = player->AbsoluteAffinePosition();
    at.y += 0.5f;
    world.FocusOn(at);
    game->Step(dt);
    if (step % 30 == 0)
      ForEachUnit(world, [&](TTRVEntity& u) {
        ASSERT_TRUE(Finite(u.AbsoluteAffinePosition())) << "step " << step;
        ASSERT_TRUE(std::isfinite(u.state.armour)) << "step " << step;
      });
  }
  ASSERT_TRUE(MissionOver(status)) << "no end after " << step / 30 << " s";
  EXPECT_GT(step, 30) << "the fight took its time: no mission ends before the units have counted";
  int blue = 0, red = 0;
  ForEachUnit(world, [&](TTRVEntity& u) {
    if (!u.Wrecked()) (u.state.side == 0 ? blue : red) += 1;
  });
  if (status == TTRVStatus::Accomplished) {
    EXPECT_EQ(reason, TTRVReason::EnemyUnitsDestroyed);
    EXPECT_EQ(red, 0);
  } else {
    EXPECT_EQ(reason, TTRVReason::UnitsLost);
    EXPECT_EQ(blue, 0);
  }
  // Shots still in the air point at live scene objects only: a rocket's target is a unit's aim
  // node or nothing, and every unit is still in the tree.
  for (int r = 0; r < world.rocketRoot->Count(); ++r) {
    auto* rocket = dynamic_cast<TTRVRocket*>(world.rocketRoot->Children(r));
    if (rocket && rocket->target) {
      EXPECT_NE(rocket->target->Parent(), nullptr);
    }
  }
}

}  // namespace

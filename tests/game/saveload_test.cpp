// A running game saved and loaded back on a small island: every side's counters, rally cells,
// bases and flags and every unit's state, position and direction come back; piers, beacons
// and the camera follow; campaign games and broken saves are refused before an island loads;
// a failed save keeps the old file and the game runs on; a save of an earlier version loads.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "game/saveload.h"
#include "platform/filebytes.h"
#include "scene/proxy.h"
#include "tests/game/save_fixture.h"
#include "tests/support/source.h"
#include "tests/world/side_expect.h"
#include "units/targets.h"
#include "world/filenames.h"

namespace {

using namespace savetest;

constexpr double kSavedAt = 46000.25;

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(platform::ReadFileBytes(file, kMaxSaveFileSize, bytes), platform::ReadFileResult::Ok) << file;
  return bytes;
}

void ExpectSameSides(const TTRVWorld& loaded, const TTRVWorld& saved) {
  ASSERT_EQ(loaded.sides.size(), saved.sides.size());
  for (std::size_t i = 0; i < saved.sides.size(); ++i) {
    const TTRVWorldFractionInfo& a = loaded.sides[i];
    const TTRVWorldFractionInfo& b = saved.sides[i];
    SCOPED_TRACE("side " + std::to_string(i));
    ExpectSameStoredSide(a, b);
    EXPECT_EQ(a.sideIndex, i);
    EXPECT_TRUE(a.airBeacon && a.groundBeacon && a.waterBeacon) << "every side gets its three world beacons";
  }
}

// Everything of a unit's block but the side its far step makes for, which a loaded unit draws anew.
std::array<std::byte, TTRVUnitState::kBytes> KeptState(TTRVUnitState s) {
  s.targetSide = 0;
  return s.ToBytes();
}

TEST_F(SaveGameTest, ALoadedGameHasEverySideAndUnitAsSaved) {
  std::unique_ptr<TTRVGame> game = StartGame(ThreeSides());
  ASSERT_TRUE(game);
  TTRVWorld& w = game->World();
  // Values a new game would never give, so that a field the load forgot shows.
  w.sides[2].rallyCell[utBoat] = {5, 6};
  w.sides[1].scatterSpawn = 1;
  w.sides[0].defending = 1;
  std::vector<TTRVEntity*> enemy = Units(w, 1);
  ASSERT_EQ(enemy.size(), 3u);
  enemy[0]->state.armour = 3.5f;
  enemy[0]->state.TurretRocketTimer() = 1.25f;
  enemy[0]->state.Weapon() = 1;
  TTRVEntity& player = *Units(w, 0)[0];
  ASSERT_EQ(player.state.isPlayer, 1);
  player.Position.SetPoint(50.5f, 7.25f, 60.75f);
  player.Direction.SetVector(0.6f, 0, 0.8f);
  player.state.Altitude() = 4.5f;
  game->SetRunning(true);

  std::string error;
  ASSERT_TRUE(game->SaveGame(SaveFile("Round"), kSavedAt, error)) << error;
  EXPECT_TRUE(game->Running()) << "the game runs on after saving";

  std::unique_ptr<TTRVGame> loaded = Load(SaveFile("Round"), error);
  ASSERT_TRUE(loaded) << error;
  const TTRVWorld& l = loaded->World();
  EXPECT_FALSE(loaded->Running()) << "the engine starts a loaded game";
  EXPECT_EQ(l.worldName, kIsleName);
  EXPECT_EQ(l.missionName, kNoCampaignName) << "a game outside any campaign";
  EXPECT_FALSE(NamesCampaign(l.missionName));
  EXPECT_EQ(l.missionType, mtAttack);
  EXPECT_EQ(l.playerUnitType, utHeli);
  EXPECT_EQ(l.playerSide, 0);
  EXPECT_EQ(l.savedAt, kSavedAt);
  ExpectSameSides(l, w);

  ASSERT_EQ(l.sideRoot->Count(), w.sideRoot->Count());
  for (int d = 0; d < w.sideRoot->Count(); ++d) {
    const std::vector<TTRVEntity*> was = Units(w, d), now = Units(l, d);
    ASSERT_EQ(now.size(), was.size()) << "side " << d;
    for (std::size_t k = 0; k < was.size(); ++k) {
      SCOPED_TRACE("side " + std::to_string(d) + " unit " + std::to_string(k));
      ASSERT_NE(now[k], nullptr);
      EXPECT_EQ(KeptState(now[k]->state), KeptState(was[k]->state));
      const TAffineVector p = now[k]->Position.AsAffineVector(), q = was[k]->Position.AsAffineVector();
      EXPECT_EQ(p.x, q.x);
      EXPECT_EQ(p.y, q.y);
      EXPECT_EQ(p.z, q.z);
      const TAffineVector a = now[k]->Direction.AsAffineVector(), b = was[k]->Direction.AsAffineVector();
      EXPECT_EQ(a.x, b.x);
      EXPECT_EQ(a.y, b.y);
      EXPECT_EQ(a.z, b.z);
      EXPECT_EQ(now[k]->world, &l);
      EXPECT_NE(now[k]->state.targetSide, now[k]->state.side) << "drawn anew among the other sides";
    }
  }
  EXPECT_EQ(Units(l, 1)[0]->state.armour, 3.5f) << "a unit keeps its saved armour, not a new unit's";
  EXPECT_FLOAT_EQ(cameraTarget.AbsoluteAffinePosition().x, 50.5f) << "the view goes to the player's unit";
  EXPECT_FLOAT_EQ(cameraTarget.AbsoluteAffinePosition().z, 60.75f);

  // The naval side's pier is rebuilt where the save says its base is.
  ASSERT_EQ(l.staticRoot->Count(), 1);
  const TAffineVector pier = l.staticRoot->Children(0)->Position.AsAffineVector();
  EXPECT_EQ(pier.x, w.sides[1].basePosition.x);
  EXPECT_EQ(pier.z, w.sides[1].basePosition.z);
  const TTRVCell base{static_cast<int>(w.sides[1].basePosition.x), static_cast<int>(w.sides[1].basePosition.z)};
  EXPECT_FALSE(l.waterPathFinder.Passable(base.x, base.z)) << "the pier closes its cells as in a new game";
  EXPECT_EQ(l.objectHeightGrid.At(base.x, base.z), w.objectHeightGrid.At(base.x, base.z));
}

TEST_F(SaveGameTest, LoadingReportsEachSideAndSetsTheStancesAsANewGameDoes) {
  struct Case {
    const char* what;
    int sides;
    bool playerStance;
    std::vector<int> readingPercents, addingPercents;
    bool everySideRoams;
  };
  const Case cases[] = {
      {"one side: no division by the sides after the first", 1, true, {80}, {90}, false},
      {"three sides, the player without a stance: every side roams", 3, false, {80, 85, 90}, {90, 95, 100}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVWorldInfo info = ThreeSides();
    info.sides.resize(static_cast<std::size_t>(c.sides));
    std::unique_ptr<TTRVGame> game = StartGame(info);
    ASSERT_TRUE(game);
    for (TTRVWorldFractionInfo& s : game->World().sides) s.defending = s.attacking = s.roaming = 0;
    game->World().sides[0].attacking = c.playerStance ? 1 : 0;
    std::string error;
    ASSERT_TRUE(game->SaveGame(SaveFile("Stances"), kSavedAt, error)) << error;
    game.reset();

    std::unique_ptr<TTRVGame> loaded = Load(SaveFile("Stances"), error);
    ASSERT_TRUE(loaded) << error;
    std::vector<int> reading, adding;
    for (std::size_t i = 0; i < progress.texts.size(); ++i) {
      if (progress.texts[i].starts_with("Reading units data: ")) reading.push_back(progress.percents[i]);
      if (progress.texts[i].starts_with("Adding units: ")) adding.push_back(progress.percents[i]);
    }
    EXPECT_EQ(reading, c.readingPercents);
    EXPECT_EQ(adding, c.addingPercents);
    EXPECT_EQ(progress.texts.back(), "Adding units: " + loaded->World().sides.back().name);
    EXPECT_EQ(loaded->World().stancesPreset, c.playerStance ? 1 : 0);
    for (const TTRVWorldFractionInfo& s : loaded->World().sides) EXPECT_EQ(s.roaming, c.everySideRoams ? 1 : 0);
  }
}

TEST_F(SaveGameTest, AGameOfACampaignIsRefusedAndNoFileIsWritten) {
  std::unique_ptr<TTRVGame> game = StartGame(ThreeSides());
  ASSERT_TRUE(game);
  game->World().missionName = "Archipelago";
  game->SetRunning(true);
  std::string error;
  EXPECT_FALSE(game->SaveGame(SaveFile("Camp"), kSavedAt, error));
  EXPECT_NE(error.find("campaign"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(SaveFile("Camp")));
  EXPECT_TRUE(game->Running());
}

TEST_F(SaveGameTest, SavingTwiceUnderOneNameReplacesTheFile) {
  std::unique_ptr<TTRVGame> game = StartGame(ThreeSides());
  ASSERT_TRUE(game);
  std::string error;
  // A longer file first: a second save that only overwrote the start would leave its tail.
  game->World().sides[2].name = std::string(200, 'x');
  ASSERT_TRUE(game->SaveGame(SaveFile("Twice"), kSavedAt, error)) << error;
  game->World().sides[2].name = "Short";
  Units(game->World(), 0)[1]->state.armour = 2;
  ASSERT_TRUE(game->SaveGame(SaveFile("Twice"), kSavedAt + 1, error)) << error;
  EXPECT_EQ(FileBytes(SaveFile("Twice")), WriteSaveFile(CollectSave(game->World()), kSavedAt + 1, error));

  std::unique_ptr<TTRVGame> loaded = Load(SaveFile("Twice"), error);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(loaded->World().sides[2].name, "Short");
  EXPECT_EQ(Units(loaded->World(), 0)[1]->state.armour, 2);
  EXPECT_EQ(loaded->World().savedAt, kSavedAt + 1);
}

TEST_F(SaveGameTest, AFailedSaveKeepsTheOldFileAndTheGameRunsOn) {
  std::unique_ptr<TTRVGame> game = StartGame(ThreeSides());
  ASSERT_TRUE(game);
  game->SetRunning(true);
  std::string error;
  ASSERT_TRUE(game->SaveGame(SaveFile("Kept"), kSavedAt, error)) << error;
  const std::vector<std::uint8_t> old = FileBytes(SaveFile("Kept"));
  Units(game->World(), 0)[1]->state.armour = 1;  // what the failed save would have written

  struct Case {
    const char* what;
    bool needsNonRoot;
    std::function<void()> breakIt, mend;
  };
  const std::filesystem::path saves = folder.Path() / "save";
  const std::filesystem::path kept = SaveFile("Kept");
  rlimit limit{};
  std::vector<Case> cases = {
      // The target itself a folder: the rename over it fails after the temporary file was written.
      {"a folder where the save would go", false,
       [&] {
         std::filesystem::rename(kept, saves / "aside");
         std::filesystem::create_directory(kept);
         std::ofstream(kept / "inside") << "x";
       },
       [&] {
         std::filesystem::remove_all(kept);
         std::filesystem::rename(saves / "aside", kept);
       }},
      {"a folder the game may not write", true, [&] { ::chmod(saves.c_str(), 0500); },
       [&] { ::chmod(saves.c_str(), 0700); }},
      // Writing stops after a few hundred bytes, as on a full disk: a save written over the old
      // file in place would leave it cut.
      {"a write cut off part-way", false,
       [&] {
         ::signal(SIGXFSZ, SIG_IGN);
         ::getrlimit(RLIMIT_FSIZE, &limit);
         rlimit small = limit;
         small.rlim_cur = 300;
         ::setrlimit(RLIMIT_FSIZE, &small);
       },
       [&] {
         ::setrlimit(RLIMIT_FSIZE, &limit);
         ::signal(SIGXFSZ, SIG_DFL);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needsNonRoot && ::geteuid() == 0) {
      std::cout << "skipped for root, who may write anywhere: " << c.what << "\n";
      continue;
    }
    c.breakIt();
    error.clear();
    EXPECT_FALSE(game->SaveGame(kept, kSavedAt + 2, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(game->Running()) << "the game goes on";
    c.mend();
    EXPECT_EQ(FileBytes(kept), old) << "the old save is kept byte for byte";
    for (const auto& entry : std::filesystem::directory_iterator(saves))
      EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "no temporary file is left";
  }
}

TEST_F(SaveGameTest, ABrokenSaveLoadsNoIsland) {
  // Saved by hand from a game on the island, then damaged: each refusal comes from the save
  // alone, before the island is loaded.
  std::unique_ptr<TTRVGame> game = StartGame(ThreeSides());
  ASSERT_TRUE(game);
  TTRVSaveData data = CollectSave(game->World());
  game.reset();
  struct Case {
    const char* what;
    std::function<void(TTRVSaveData&)> change;
    const char* says;
  };
  const Case cases[] = {
      {"a world name that leaves the worlds folder", [](TTRVSaveData& d) { d.setup.worldName = "../SaveIsle"; },
       "not a world name"},
      {"a missing world", [](TTRVSaveData& d) { d.setup.worldName = "Elsewhere"; }, "Elsewhere"},
      {"a rally cell off the island", [](TTRVSaveData& d) { d.setup.sides[1].rallyCell[utTank] = {128, 3}; },
       "off the island"},
      {"a base off the island", [](TTRVSaveData& d) { d.setup.sides[1].basePosition.z = -1; }, "off the island"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVSaveData changed = data;
    c.change(changed);
    std::string error;
    const std::vector<std::uint8_t> bytes = WriteSaveFile(changed, kSavedAt, error);
    ASSERT_FALSE(bytes.empty()) << error;
    std::filesystem::create_directories(SaveFile("Broken").parent_path());
    std::ofstream(SaveFile("Broken"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                               static_cast<std::streamsize>(bytes.size()));
    EXPECT_FALSE(Load(SaveFile("Broken"), error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

// A save written by an earlier version of the game, of the island above. Later versions must
// keep loading it, and must write it again byte for byte (its date and the units' drawn target
// sides apart): a change of the format shows here first.
TEST_F(SaveGameTest, ASaveOfAnEarlierVersionStillLoadsAndIsWrittenAgainAlike) {
  const std::filesystem::path fixture =
      testsupport::SourceFile(__FILE__).parent_path() / "fixtures" / "SaveIsle-three-sides.TRV";
  if (const char* out = std::getenv("MORVANE_WRITE_SAVE_FIXTURE")) {
    // How the fixture was made: a new game on the island, the player moved and an enemy hit.
    std::unique_ptr<TTRVGame> game = StartGame(ThreeSides());
    ASSERT_TRUE(game);
    Units(game->World(), 0)[0]->Position.SetPoint(50.5f, 7.25f, 60.75f);
    Units(game->World(), 1)[1]->state.armour = 3.5f;
    std::string error;
    ASSERT_TRUE(game->SaveGame(out, kSavedAt, error)) << error;
  }
  const std::vector<std::uint8_t> stored = FileBytes(fixture);
  ASSERT_FALSE(stored.empty());
  TTRVSaveData want;
  std::string error;
  ASSERT_TRUE(ParseSaveFile(stored, want, error)) << error;
  EXPECT_EQ(WriteSaveFile(want, want.setup.savedAt, error), stored) << "the writer keeps the stored layout";

  std::unique_ptr<TTRVGame> loaded = Load(fixture, error);
  ASSERT_TRUE(loaded) << error;
  EXPECT_EQ(Units(loaded->World(), 1)[1]->state.armour, 3.5f);
  TTRVSaveData again = CollectSave(loaded->World());
  for (std::size_t d = 0; d < again.units.size(); ++d)
    for (std::size_t k = 0; k < again.units[d].size() && k < want.units[d].size(); ++k)
      again.units[d][k].state.targetSide = want.units[d][k].state.targetSide;
  EXPECT_EQ(WriteSaveFile(again, want.setup.savedAt, error), stored);

  // And the loaded game plays on: its units step with their saved state and the beacons.
  loaded->SetRunning(true);
  for (int i = 0; i < 30; ++i) loaded->Step(0.05);
  EXPECT_EQ(loaded->World().sideRoot->Count(), 3);
  ForEachUnit(loaded->World(), [](TTRVEntity& u) {
    const TAffineVector p = u.AbsoluteAffinePosition();
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
  });
}

}  // namespace

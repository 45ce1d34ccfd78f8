// The engine's save and load: a save that cannot be loaded is refused before the running game
// stops (and only a save file that does not read is reported as unreadable, for the main window
// to delete a broken automatic save); a good one loads through the installed loader, and a
// save of the tutorial's island brings the tutorial back without a lesson's weapon.
#include <gtest/gtest.h>

#include <SDL.h>

#include <fstream>
#include <functional>

#include "game/saveload.h"
#include "platform/bytestream.h"
#include "platform/window.h"
#include "shell/engine.h"
#include "shell/lessons.h"
#include "shell/worldfactory.h"
#include "tests/game/save_fixture.h"

namespace {

class StandInWorld : public TTRVRunningWorld {
 public:
  void Step(double) override {}
  void SetRunning(bool r) override { running = r; }
  bool Running() const override { return running; }
  void SetHUDVisible(bool) override {}
  void CutAirStrikeTimer(float) override {}
  bool SaveGame(const std::filesystem::path&, double, std::string&) override { return true; }
  std::string CampaignName() const override { return ""; }
  bool running = true;
};

class EngineSaves : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    std::ofstream(folder_.Path() / "config.ini") << "[General]\nResolutionX=640\nResolutionY=480\nFullScr=0\n";
    std::filesystem::create_directories(folder_.Path() / "save");
    platform::WindowOptions options;
    options.width = 640;
    options.height = 480;
    std::string error;
    if (!window_.Create(options, error)) GTEST_SKIP() << error;
    engine_ = std::make_unique<TTRVEngine>(window_, folder_.Path(), [] { return 0.0; });
    savetest::WriteIsle(folder_.Path());
  }
  void TearDown() override {
    engine_.reset();
    window_.Destroy();
  }

  // Bytes of a game save on the island, two sides, changed by `change` before writing.
  static std::vector<std::uint8_t> SaveBytes(const std::function<void(TTRVSaveData&)>& change = {}) {
    TTRVSaveData d;
    d.setup.worldName = savetest::kIsleName;
    d.setup.sides = {savetest::Side("Player", {1, 0, 0, 0}), savetest::Side("Enemy 1", {0, 1, 0, 0})};
    for (TTRVWorldFractionInfo& side : d.setup.sides)
      side.rallyCell = {TTRVCell{40, 40}, TTRVCell{41, 41}, TTRVCell{42, 42}};
    d.setup.sides[0].basePosition = {40, 0, 40};
    d.setup.sides[1].basePosition = {80, 0, 80};
    TTRVSavedUnit heli, tank;
    heli.state.unitType = utHeli;
    heli.state.isPlayer = 1;
    heli.state.armour = 50;
    heli.position = {40, 3, 40, 1};
    tank.state.unitType = utTank;
    tank.state.side = 1;
    tank.state.armour = 20;
    tank.position = {80, 2, 80, 1};
    d.units = {{heli}, {tank}};
    if (change) change(d);
    std::string error;
    std::vector<std::uint8_t> bytes = WriteSaveFile(d, 45000, error);
    EXPECT_FALSE(bytes.empty()) << error;
    return bytes;
  }
  void PutSave(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder_.Path() / "save" / (name + ".TRV"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  worldtest::ProgramFolder folder_;
  platform::Window window_;
  std::unique_ptr<TTRVEngine> engine_;
};

TEST_F(EngineSaves, ASaveThatCannotBeLoadedLeavesTheRunningGameAsItWas) {
  const std::vector<std::uint8_t> good = SaveBytes();
  auto with = [&](std::size_t at, std::uint8_t byte) {
    std::vector<std::uint8_t> b = good;
    b[at] = byte;
    return b;
  };
  // The second side count follows the set-up; the first unit's block follows its side's count.
  const std::size_t sideCount = good.size() - 2 * (2 + kStoredUnitBytes) - 1;
  const std::size_t firstUnit = sideCount + 1 + 2;
  platform::ByteWriter campaignSave;
  campaignSave.ShortString(std::string(kCampaignSaveMagic));
  campaignSave.ShortString("Islands");
  campaignSave.F64(45000);
  struct Case {
    const char* what;
    bool present;
    std::vector<std::uint8_t> bytes;
    bool unreadable;
    const char* says;
  };
  const Case cases[] = {
      {"a missing save", false, {}, false, "missing"},
      {"another magic", true, with(1, 'X'), true, "does not read"},
      {"a cut file", true, std::vector<std::uint8_t>(good.begin(), good.end() - 5), true, "does not read"},
      {"a side count read again that differs", true, with(sideCount, 3), true, "does not read"},
      {"an unknown unit type", true, with(firstUnit, 9), true, "does not read"},
      {"a unit of a side the game lacks", true, with(firstUnit + 1, 5), true, "does not read"},
      {"a world name leading out of worlds/", true,
       SaveBytes([](TTRVSaveData& d) { d.setup.worldName = "../x"; }), true, "not a world name"},
      {"a missing world", true, SaveBytes([](TTRVSaveData& d) { d.setup.worldName = "Gone"; }), false,
       "worlds/Gone.TRV is missing"},
      {"a campaign save", true, campaignSave.bytes, false, "campaign saves come with campaigns"},
  };
  int loaderCalls = 0;
  engine_->SavedGameLoader = [&](TTRVEngine&, const std::string&, const TTRVWorldInfo*,
                                 std::string&) -> std::unique_ptr<TTRVRunningWorld> {
    ++loaderCalls;
    return nullptr;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto running = std::make_unique<StandInWorld>();
    StandInWorld* before = running.get();
    engine_->World = std::move(running);
    engine_->Status = TTRVStatus::None;
    std::filesystem::remove(folder_.Path() / "save" / "Case.TRV");
    if (c.present) PutSave("Case", c.bytes);
    EXPECT_FALSE(engine_->LoadGame("Case"));
    ASSERT_EQ(engine_->World.get(), before) << "the running game goes on";
    EXPECT_TRUE(before->running);
    EXPECT_EQ(engine_->Status, TTRVStatus::None);
    EXPECT_EQ(engine_->SaveUnreadable(), c.unreadable);
    EXPECT_NE(engine_->LastError().find(c.says), std::string::npos) << engine_->LastError();
  }
  EXPECT_EQ(loaderCalls, 0) << "every refusal comes before the world is built";
}

TEST_F(EngineSaves, AGoodSaveLoadsAndOnlyTheTutorialsIslandBringsTheTutorialBack) {
  InstallWorldFactories(*engine_);
  savetest::WriteIsle(folder_.Path(), kTutorialWorld);
  struct Case {
    const char* world;
    bool tutorial;
  };
  for (const Case c : {Case{savetest::kIsleName, false}, Case{kTutorialWorld, true}}) {
    SCOPED_TRACE(c.world);
    PutSave("Good", SaveBytes([&](TTRVSaveData& d) { d.setup.worldName = c.world; }));
    ASSERT_TRUE(engine_->LoadGame("Good")) << engine_->LastError();
    EXPECT_EQ(engine_->Status, TTRVStatus::Loaded);
    EXPECT_TRUE(engine_->World->Running());
    EXPECT_EQ(engine_->TutorialMode(), c.tutorial);
    EXPECT_EQ(engine_->TutorialWeapon(), -1) << "a save is never a lesson";
    EXPECT_EQ(engine_->LessonUnlock(), 0);
    const auto* game = dynamic_cast<const TTRVGame*>(engine_->World.get());
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->World().worldName, c.world);
    EXPECT_FLOAT_EQ(engine_->CameraTarget->Position.AsAffineVector().x, 40) << "the view on the player's unit";
  }
}

TEST_F(EngineSaves, SavingGoesUnderTheSavesFolderAndOnlyUnderABareName) {
  InstallWorldFactories(*engine_);
  PutSave("Start", SaveBytes());
  ASSERT_TRUE(engine_->LoadGame("Start")) << engine_->LastError();
  engine_->Cadencer->SetEnabled(true);
  for (const char* bad : {"../x", "a/b", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(engine_->SaveGame(bad));
    EXPECT_FALSE(engine_->LastError().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "x.TRV"));
  ASSERT_TRUE(engine_->SaveGame("My game")) << engine_->LastError();
  EXPECT_FALSE(engine_->Cadencer->Enabled()) << "the clock stays stopped for the caller to restart";
  EXPECT_TRUE(engine_->World->Running());
  const TTRVExtractLoadGameData h = engine_->ReadSaveHeader("My game");
  EXPECT_TRUE(h.valid);
  EXPECT_EQ(h.worldName, savetest::kIsleName);
  EXPECT_EQ(h.allies, 1);
  EXPECT_EQ(h.enemies, 1);
  EXPECT_GT(h.savedAt, 45000) << "dated when it was written";
}

}  // namespace

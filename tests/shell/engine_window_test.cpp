// The engine's frame rules with a stand-in world: step clamping and acceleration, the fade
// state machine and its statuses, and the cover's pixels through a fade-out and a fade-in;
// then real islands started through the engine, and worlds that fail or throw while built.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <vector>

#include "game/game.h"
#include "platform/window.h"
#include "shell/engine.h"
#include "shell/worldfactory.h"
#include "terrain/sector.h"
#include "terrain/sectorstream.h"
#include "tests/world/world_fixture.h"

namespace {

class FakeWorld : public TTRVRunningWorld {
 public:
  std::vector<double> steps;
  bool hudVisible = true;
  float airStrikeCut = -1;
  bool running = false;
  void Step(double dt) override { steps.push_back(dt); }
  void SetRunning(bool r) override { running = r; }
  bool Running() const override { return running; }
  void SetHUDVisible(bool visible) override { hudVisible = visible; }
  void CutAirStrikeTimer(float s) override { airStrikeCut = s; }
  bool SaveGame(const std::filesystem::path&, double, std::string&) override { return true; }
  std::string CampaignName() const override { return ""; }
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    folder_ = std::filesystem::temp_directory_path() / ("morvane-engine-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    // The engine sizes its view and cover from the settings it reads at construction.
    std::ofstream(folder_ / "config.ini") << "[General]\nResolutionX=640\nResolutionY=480\nFullScr=0\n";
    platform::WindowOptions options;
    options.width = 640;
    options.height = 480;
    std::string error;
    if (!window_.Create(options, error)) GTEST_SKIP() << error;
    engine_ = std::make_unique<TTRVEngine>(window_, folder_, [this] { return now_; });
    ASSERT_EQ(engine_->Settings.ResolutionX, 640);
    auto world = std::make_unique<FakeWorld>();
    world_ = world.get();
    engine_->World = std::move(world);
  }
  void TearDown() override {
    engine_.reset();
    window_.Destroy();
    std::filesystem::remove_all(folder_);
  }

  double now_ = 0;
  std::filesystem::path folder_;
  platform::Window window_;
  std::unique_ptr<TTRVEngine> engine_;
  FakeWorld* world_ = nullptr;
};

TEST_F(EngineTest, SlowFrameStepsTheWorldClampedWhileTheFadeTakesTheWholeFrame) {
  engine_->FadeIn();
  engine_->Progress(0.5, 0.5);
  ASSERT_EQ(world_->steps.size(), 1u);
  EXPECT_DOUBLE_EQ(world_->steps[0], 0.066);
  EXPECT_FLOAT_EQ(engine_->FadeProgress(), 0.5f);
  window_.Input().Press(engine_->Settings.TimeAccelON);  // stays latched on
  engine_->Progress(0.5, 1.0);
  EXPECT_NEAR(world_->steps[1], 0.198, 1e-12);
  window_.Input().Release(engine_->Settings.TimeAccelON);
  engine_->Progress(0.01, 1.01);
  EXPECT_NEAR(world_->steps[2], 0.03, 1e-12);
}

TEST_F(EngineTest, EscapeDuringAFadeInTurnsItIntoAFadeOutAtTheSameProgress) {
  engine_->FadeIn();
  engine_->Progress(0.3, 0.3);
  window_.Input().Press(kEscapeKey);
  engine_->Progress(0.1, 0.4);
  EXPECT_EQ(engine_->FadeState(), fsFadingOut);
  EXPECT_NEAR(engine_->FadeProgress(), 0.2f, 1e-5f);
  EXPECT_NEAR(engine_->CoverSprite->AlphaChannel, 0.8f, 1e-5f);
  engine_->Progress(0.1, 0.5);  // still held: the fade goes on, it does not start over
  EXPECT_NEAR(engine_->FadeProgress(), 0.1f, 1e-5f);
  window_.Input().Release(kEscapeKey);
  for (int i = 0; i < 5; ++i) engine_->Progress(0.1, 0.5);
  EXPECT_EQ(engine_->FadeState(), fsCovered);
  EXPECT_EQ(engine_->Status, TTRVStatus::Esc);
  EXPECT_FALSE(world_->hudVisible);
}

TEST_F(EngineTest, AMissionEndDuringAFadeOutKeepsItsWord) {
  for (TTRVStatus word : {TTRVStatus::Failed, TTRVStatus::Accomplished}) {
    engine_->FadeIn();
    engine_->Progress(1.5, 0);  // open
    engine_->FadeOut();
    engine_->Progress(0.9, 0);
    engine_->Status = word;
    engine_->Progress(0.2, 0);
    engine_->Progress(0.2, 0);
    EXPECT_EQ(engine_->FadeState(), fsCovered);
    EXPECT_EQ(engine_->Status, word);
  }
}

TEST_F(EngineTest, StopWorldClearsTheMouseButtonsEvenWithoutAWorld) {
  engine_->StopWorld();
  EXPECT_EQ(engine_->World, nullptr);
  window_.Input().Press(platform::vk::LButton);
  window_.Input().Press(platform::vk::RButton);
  engine_->Progress(0.01, 0);
  ASSERT_TRUE(engine_->Controls().fire);
  ASSERT_TRUE(engine_->Controls().secondary);
  engine_->StopWorld();
  EXPECT_FALSE(engine_->Controls().fire);
  EXPECT_FALSE(engine_->Controls().secondary);
}

TEST_F(EngineTest, StartWorldWithAMissingFileLeavesTheRunningWorldAlone) {
  TTRVRunningWorld* before = engine_->World.get();
  EXPECT_EQ(engine_->StartWorld("NoSuchWorld", nullptr, {}), TTRVStartOutcome::WorldMissing);
  EXPECT_EQ(engine_->World.get(), before);
  EXPECT_FALSE(engine_->LoadGame("NoSuchSave"));
  EXPECT_EQ(engine_->World.get(), before);
}

TEST_F(EngineTest, NoiseTextureSizeFollowsTheResolution) {
  struct Case { int resolutionX, w, h; } cases[] = {{800, 512, 512}, {1024, 1024, 512}, {1280, 1024, 1024}, {1600, 1024, 1024}};
  for (const auto& c : cases) {
    engine_->Settings.ResolutionX = c.resolutionX;
    engine_->PaintNoiseTexture();
    EXPECT_EQ(engine_->NoiseBitmap.Width(), c.w);
    EXPECT_EQ(engine_->NoiseBitmap.Height(), c.h);
  }
}

TEST_F(EngineTest, LoadingProgressRepaintsAtMostEvery50Milliseconds) {
  int paints = 0;
  engine_->OnLoadingProgress = [&](const std::string&, int, const std::string& tip) {
    ++paints;
    EXPECT_FALSE(tip.empty());
  };
  for (int i = 0; i < 100; ++i) {
    engine_->ShowLoadingProgress("Loading", i);
    now_ += 0.001;
  }
  EXPECT_EQ(paints, 2);  // the first call and one 50 ms later
  engine_->ShowLoadingProgress("Done", 100);
  EXPECT_EQ(paints, 3);  // the end is always shown
}

// The cover during a fade: black noise faded in additively over the frame, then gone again.
TEST_F(EngineTest, CoverPixelsFollowAFadeOutAndAFadeIn) {
  // No snapshot first: the very first fade of a session must cover the whole view too.
  engine_->Viewer->Visible = true;
  auto centreBrightness = [&] {
    platform::Bitmap shot = engine_->Viewer->CreateSnapshotBitmap();
    long sum = 0;
    for (int y = 0; y < shot.Height(); y += 8)
      for (int x = 0; x < shot.Width(); x += 8) {
        platform::Color c = shot.Pixel(x, y);
        sum += platform::RedOf(c) + platform::GreenOf(c) + platform::BlueOf(c);
      }
    return sum;
  };
  engine_->UpdateFade(0);
  EXPECT_FALSE(engine_->CoverSprite->Visible);
  long open = centreBrightness();
  engine_->FadeOut();
  engine_->UpdateFade(0.5f);
  EXPECT_TRUE(engine_->CoverSprite->Visible);
  EXPECT_FALSE(engine_->LogoSprite->Visible);
  long half = centreBrightness();
  engine_->UpdateFade(0.6f);
  engine_->UpdateFade(0.1f);
  EXPECT_EQ(engine_->FadeState(), fsCovered);
  long covered = centreBrightness();
  // The noise adds light to the sky-coloured frame: more the further the fade has gone.
  EXPECT_GT(half, open);
  EXPECT_GT(covered, half);
  engine_->FadeIn();
  for (int i = 0; i < 12; ++i) engine_->UpdateFade(0.1f);
  EXPECT_EQ(engine_->FadeState(), fsOpen);
  EXPECT_FALSE(engine_->CoverSprite->Visible);
  EXPECT_EQ(centreBrightness(), open);
}

TEST_F(EngineTest, AnUnreadableSettingsFileKeepsTheSettingsInUse) {
  engine_->Settings.ResolutionX = 1024;  // as the options dialog leaves them
  engine_->Settings.FullScr = false;
  std::filesystem::remove(folder_ / "config.ini");
  std::filesystem::create_directory(folder_ / "config.ini");  // there, but not a file to read
  EXPECT_FALSE(engine_->ReadSettings());
  EXPECT_EQ(engine_->Settings.ResolutionX, 1024);
  EXPECT_FALSE(engine_->Settings.FullScr);
}

// The world goes before what it may still touch: the viewer, the cadencer and the scene rig.
TEST_F(EngineTest, TheWorldIsStoppedBeforeTheViewAndTheCameraAreFreed) {
  struct Witness : FakeWorld {
    TTRVEngine* engine = nullptr;
    bool* sawRig = nullptr;
    ~Witness() override {
      *sawRig = engine->Viewer && engine->Cadencer && engine->Camera && engine->Scene.Objects().Count() > 0;
    }
  };
  bool sawRig = false;
  auto witness = std::make_unique<Witness>();
  witness->engine = engine_.get();
  witness->sawRig = &sawRig;
  engine_->World = std::move(witness);
  engine_.reset();
  EXPECT_TRUE(sawRig);
}

TEST_F(EngineTest, WhateverAWorldThrowsWhileBuiltBecomesAFailureWithItsMessage) {
  std::filesystem::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Throws.TRV") << "x";
  struct Case {
    std::function<void()> raise;
    const char* message;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "not enough memory"},
      {[] { throw std::runtime_error("vector too long"); }, "vector too long"},
      {[] { throw 42; }, "failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    engine_->NewGameLoader = [&c](TTRVEngine&, const std::string&, const TTRVWorldInfo*,
                                  std::string&) -> std::unique_ptr<TTRVRunningWorld> {
      c.raise();
      return nullptr;
    };
    EXPECT_EQ(engine_->StartWorld("Throws", nullptr, {}), TTRVStartOutcome::WorldUnreadable);
    EXPECT_NE(engine_->LastError().find(c.message), std::string::npos) << engine_->LastError();
    EXPECT_EQ(engine_->World, nullptr);
    EXPECT_EQ(engine_->Status, TTRVStatus::None);
  }
}

// What a game is started as decides the tutorial's forced weapon; a new game forgets the
// weapon the last one asked for.
TEST_F(EngineTest, AGameStartsWithTheWeaponOfItsKindAndTheLessonsAirStrikeWaitsFiveSeconds) {
  std::filesystem::create_directories(folder_ / "worlds");
  std::ofstream(folder_ / "worlds" / "Fake.TRV") << "x";
  FakeWorld* started = nullptr;
  engine_->NewGameLoader = [&started](TTRVEngine&, const std::string&, const TTRVWorldInfo*,
                                      std::string&) -> std::unique_ptr<TTRVRunningWorld> {
    auto world = std::make_unique<FakeWorld>();
    started = world.get();
    return world;
  };
  struct Case {
    const char* what;
    TTRVGameStart start;
    bool tutorial;
    int weapon;      // asked for after a frame
    float cut;       // the air strike's wait the engine set; -1: untouched
  } cases[] = {
      {"lesson with the machine gun", {TTRVGameKind::Lesson, 0, 1}, true, 0, -1},
      {"lesson with the air strike", {TTRVGameKind::Lesson, 2, 6}, true, 2, 5},
      {"lesson of free choice", {TTRVGameKind::Lesson, -1, 7}, true, 0, -1},
      {"skirmish", {TTRVGameKind::Skirmish, 2, 0}, false, 0, -1},
      {"campaign world", {TTRVGameKind::CampaignWorld, 2, 0}, false, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The last game, a skirmish, ended with the air strike chosen.
    ASSERT_EQ(engine_->StartWorld("Fake", nullptr, {}), TTRVStartOutcome::Started);
    window_.Input().Press(engine_->Settings.Weapon3);
    engine_->Progress(0.01, 0);
    window_.Input().Release(engine_->Settings.Weapon3);
    ASSERT_EQ(engine_->Controls().weaponRequest, 2);

    ASSERT_EQ(engine_->StartWorld("Fake", nullptr, c.start), TTRVStartOutcome::Started);
    EXPECT_EQ(engine_->Controls().weaponRequest, 0) << "the last game's choice is gone";
    EXPECT_EQ(engine_->TutorialMode(), c.tutorial);
    engine_->Progress(0.01, 0);
    EXPECT_EQ(engine_->Controls().weaponRequest, c.weapon);
    EXPECT_FLOAT_EQ(started->airStrikeCut, c.cut);
  }
}

TEST_F(EngineTest, TheWheelZoomsInTheEnginesOwnSamplingOfAFrame) {
  const int before = engine_->ZoomAccumulator();
  window_.Input().Wheel(-2);
  EXPECT_EQ(engine_->ZoomAccumulator(), before) << "nothing is taken between frames";
  engine_->Progress(0.01, 0);
  EXPECT_EQ(engine_->ZoomAccumulator(), before - 2 * platform::kWheelDelta);
  engine_->Progress(0.01, 0);
  EXPECT_EQ(engine_->ZoomAccumulator(), before - 2 * platform::kWheelDelta) << "taken once";
}

// Real islands through the engine's own world factory.
class EngineIsland : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (IsSkipped()) return;
    engine_->World.reset();
    std::filesystem::create_directories(folder_ / "themes");
    std::filesystem::create_directories(folder_ / "worlds");
    worldtest::WriteTheme(folder_, "Basic", {tcOpenGround, tcSea, tcRiver});
    InstallWorldFactories(*engine_);
    engine_->Settings.ViewDistance = 1;
    engine_->Settings.SkyTextureSize = 64;
  }
  void SaveIsland(worldtest::Island& island, const std::string& name) {
    island.Save(folder_, name);
  }
  TTRVWorld* RunningWorld() {
    auto* game = dynamic_cast<TTRVGame*>(engine_->World.get());
    return game ? &game->World() : nullptr;
  }
};

TEST_F(EngineIsland, StartWorldRunsTheIslandSoItsSectorsStreamAndTheSkyFollowsTheCamera) {
  worldtest::Island island(4, 4);
  island.Fill(36, 36, 60, 60, tcOpenGround, 50);
  SaveIsland(island, "Isle");
  ASSERT_EQ(engine_->StartWorld("Isle", nullptr, {}), TTRVStartOutcome::Started) << engine_->LastError();
  EXPECT_EQ(engine_->Status, TTRVStatus::Loaded);
  ASSERT_TRUE(engine_->World->Running()) << "a loaded world must run, or nothing in it moves";
  TTRVWorld* world = RunningWorld();
  ASSERT_NE(world, nullptr);

  engine_->CameraTarget->Position.SetPoint(45, 0, 45);
  engine_->Camera->Position.SetPoint(45, 20, 45);
  for (int frame = 0; frame < 4; ++frame) engine_->Progress(0.05, 0.05 * frame);
  int sectors = 0;
  for (int c = 0; c < world->sectorRoot->Count(); ++c) sectors += world->sectorRoot->Children(c)->Count();
  EXPECT_EQ(sectors, 16);
  ASSERT_NE(FindSector(*world, 1, 1), nullptr);
  EXPECT_FALSE(FindSector(*world, 1, 1)->waterOnly);
  const TAffineVector eye = engine_->Camera->AbsoluteAffinePosition();
  const TAffineVector sky = world->skyDome->Position.AsAffineVector();
  EXPECT_FLOAT_EQ(sky.x, eye.x);
  EXPECT_FLOAT_EQ(sky.y, eye.y);
  EXPECT_FLOAT_EQ(sky.z, eye.z);
}

TEST_F(EngineIsland, TheGameHearsThroughTheEnginesEffectsAtItsCameraEye) {
  EXPECT_EQ(engine_->Audio.Effects.Listener, engine_->CameraEye);
  EXPECT_EQ(engine_->Audio.Effects.Pool, engine_->SoundPool);
  worldtest::Island island(2, 2);
  island.Fill(20, 20, 40, 40, tcOpenGround, 50);
  SaveIsland(island, "Heard");
  ASSERT_EQ(engine_->StartWorld("Heard", nullptr, {}), TTRVStartOutcome::Started) << engine_->LastError();
  ASSERT_NE(RunningWorld(), nullptr);
  EXPECT_EQ(RunningWorld()->Context().sound, &engine_->Audio.Effects);
  // Whether or not this machine has a sound device, the engine runs on.
  for (int frame = 0; frame < 3; ++frame) engine_->Progress(0.05, 0.05 * frame);
  engine_->PollAudio();
  EXPECT_TRUE(engine_->Audio.Effects.Paused()) << "the cadencer is idle: the effects hold";
  engine_->StopWorld();
  EXPECT_EQ(engine_->Audio.Effects.BusyVoices(), 0);
}

TEST_F(EngineIsland, AWorldTheLoaderRefusesKeepsTheLoadersOwnWords) {
  worldtest::Island island(2, 2);
  island.Fill(0, 0, 64, 64, tcOpenGround, 20);  // land up to the map corner
  SaveIsland(island, "Landlocked");
  EXPECT_EQ(engine_->StartWorld("Landlocked", nullptr, {}), TTRVStartOutcome::Refused)
      << "the file reads: the refusal is the island's, not a broken file";
  EXPECT_NE(engine_->LastError().find("cell (3, 3)"), std::string::npos) << engine_->LastError();
  EXPECT_EQ(engine_->World, nullptr);
  EXPECT_EQ(engine_->Status, TTRVStatus::None);
}

// Only a world file that does not read is "unreadable": a missing theme is not the file's fault.
TEST_F(EngineIsland, AStartTellsAnUnreadableWorldFileFromAMissingTheme) {
  worldtest::Island island(2, 2);
  island.Fill(20, 20, 40, 40, tcOpenGround, 50);
  SaveIsland(island, "Fine");
  std::filesystem::remove(folder_ / "themes" / "Basic.TRV");
  EXPECT_EQ(engine_->StartWorld("Fine", nullptr, {}), TTRVStartOutcome::Refused) << engine_->LastError();
  std::ofstream(folder_ / "worlds" / "Broken.TRV") << "TRVWRLD and then nothing a world holds";
  EXPECT_EQ(engine_->StartWorld("Broken", nullptr, {}), TTRVStartOutcome::WorldUnreadable);
  EXPECT_EQ(engine_->StartWorld("Absent", nullptr, {}), TTRVStartOutcome::WorldMissing);
}

}  // namespace

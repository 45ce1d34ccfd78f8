// The game step on a small island: nothing moves before the game runs; once it runs, the
// world's frame values advance, the sectors stream around the camera and the sky follows it.
#include <gtest/gtest.h>

#include "game/game.h"
#include "terrain/sector.h"
#include "terrain/sectorstream.h"
#include "tests/terrain/sector_fixture.h"

namespace {

using namespace sectortest;

class GameStep : public IslandWorld {
 protected:
  void SetUp() override {
    IslandWorld::SetUp();
    world.reset();  // the game loads its own
    camera = scene.Objects().AddNewChild<TGLCamera>();
    camera->Position.SetPoint(40, 30, 40);
    TTRVWorldContext c = Context(folder, &scene);
    c.settings.ViewDistance = 1;
    c.camera = camera;
    std::string error;
    game = StartNewGame(c, "Isle", nullptr, error);
    ASSERT_TRUE(game) << error;
  }
  int SectorCount() const {
    int n = 0;
    const TTRVWorld& w = game->World();
    for (int c = 0; c < w.sectorRoot->Count(); ++c) n += w.sectorRoot->Children(c)->Count();
    return n;
  }

  TGLCamera* camera = nullptr;
  std::unique_ptr<TTRVGame> game;
};

TEST_F(GameStep, NothingMovesUntilTheGameRuns) {
  EXPECT_FALSE(game->Running()) << "a loaded game waits for the engine to start it";
  game->Step(0.05);
  EXPECT_EQ(SectorCount(), 0);
  EXPECT_FLOAT_EQ(game->World().wavePhaseA, 0);
}

TEST_F(GameStep, ARunningGameStreamsSectorsAroundTheCameraAndCentresTheSky) {
  game->SetRunning(true);
  for (int i = 0; i < 3; ++i) game->Step(0.05);
  const TTRVWorld& w = game->World();
  EXPECT_EQ(SectorCount(), 16) << "view distance 1: the 4 x 4 sectors around the camera";
  ASSERT_NE(FindSector(w, 1, 1), nullptr);
  EXPECT_FALSE(FindSector(w, 1, 1)->waterOnly);
  const TAffineVector sky = w.skyDome->Position.AsAffineVector();
  EXPECT_FLOAT_EQ(sky.x, 40);
  EXPECT_FLOAT_EQ(sky.y, 30);
  EXPECT_FLOAT_EQ(sky.z, 40);
  EXPECT_FLOAT_EQ(w.wavePhaseB, 3 * 2 * 0.05f);

  game->SetRunning(false);  // as while a save is written
  const float phase = w.wavePhaseB;
  game->Step(0.05);
  EXPECT_FLOAT_EQ(w.wavePhaseB, phase);
}

}  // namespace

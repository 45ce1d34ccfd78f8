// The live grass around the camera: the disc of cells it may stand in, where it is placed,
// how many tufts a cell holds, and when it is placed again.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "platform/random.h"
#include "scene/camera.h"
#include "scene/proxy.h"
#include "terrain/grass.h"
#include "terrain/sectorstream.h"
#include "tests/world/world_fixture.h"
#include "world/queries.h"

namespace {

using namespace worldtest;

TEST(GrassMask, IsADiscWithTheLastRowAndColumnClear) {
  const TTRVGrid<std::uint8_t> mask = BuildGrassMask(4);
  ASSERT_EQ(mask.SizeX(), 8);
  ASSERT_EQ(mask.SizeZ(), 8);
  const char* want[] = {
      "..###...",  //
      ".#####..",  //
      "#######.",  //
      "#######.",  //
      "#######.",  //
      ".#####..",  //
      "..###...",  //
      "........",
  };
  for (int a = 0; a < 8; ++a)
    for (int b = 0; b < 8; ++b) EXPECT_EQ(mask(a, b) != 0, want[a][b] == '#') << a << ", " << b;
  EXPECT_EQ(BuildGrassMask(0).SizeX(), 2) << "a distance below 1 counts as 1";
}

// An island of open ground, 2 units high, in a 4 x 4-sector sea; grass is allowed on the cells
// 20..43 both ways except one row. The theme has one grass tuft.
class Grass : public ::testing::Test {
 protected:
  void Load(int density, int distance = 6) {
    WriteTheme(folder.Path(), "Basic", {tcOpenGround, tcSea});
    Island island(4, 4);
    island.Fill(12, 12, 64, 64, tcOpenGround, 50);
    for (int x = 20; x < 44; ++x)
      for (int z = 20; z < 44; ++z)
        if (z != kBareRow) island.data.grass[static_cast<std::size_t>(x * 128 + z)] = 1;
    island.Save(folder.Path(), "Lawn");
    TTRVWorldContext c = Context(folder, &scene);
    c.settings.GrassDistance = static_cast<std::uint8_t>(distance);
    c.settings.GrassDensity = static_cast<std::uint8_t>(density);
    c.settings.RenderGrass = true;
    std::string error;
    world = CreateLoadedWorld(c, "Lawn", true, nullptr, error);
    ASSERT_TRUE(world) << error;
    PrepareSectors(*world);
  }

  std::vector<TGLBaseSceneObject*> Tufts() const {
    std::vector<TGLBaseSceneObject*> out;
    for (int i = 0; i < world->grassRoot->Count(); ++i) out.push_back(world->grassRoot->Children(i));
    return out;
  }

  static constexpr int kBareRow = 31;
  ProgramFolder folder;
  TGLScene scene;
  std::unique_ptr<TTRVWorld> world;
};

TEST_F(Grass, TheFirstStepPlacesOneTuftPerGrassCellOnTheGround) {
  platform::Random().Seed(3);
  Load(1);
  UpdateGrass(*world, {32.2f, 40, 28.7f});
  const std::vector<TGLBaseSceneObject*> tufts = Tufts();
  ASSERT_FALSE(tufts.empty()) << "the first step places grass wherever the camera starts";
  std::set<std::pair<int, int>> cells;
  const TTRVGroundView ground = GroundOf(*world);
  for (const TGLBaseSceneObject* t : tufts) {
    const TAffineVector p = t->Position.AsAffineVector();
    const int x = static_cast<int>(p.x), z = static_cast<int>(p.z);
    EXPECT_TRUE(cells.insert({x, z}).second) << "two tufts in cell " << x << ", " << z;
    EXPECT_NE(z, kBareRow) << "a cell whose grass flag is 0 never gets grass";
    EXPECT_TRUE(x >= 20 && x < 44 && z >= 20 && z < 44);
    EXPECT_EQ(t->Count(), 0) << "density 1: a single tuft";
    EXPECT_NEAR(p.y, SurfaceAt(ground, p, false).height, 1e-4);
    EXPECT_EQ(static_cast<const TGLProxyObject*>(t)->MasterObject, world->themes[0]->Object(kGrass));
    EXPECT_LE(std::hypot(p.x - 32.2f, p.z - 28.7f), 6 + 1.5f);
  }
  EXPECT_EQ(GrassCount(*world), static_cast<int>(tufts.size()));
}

TEST_F(Grass, MovingTwoUnitsLeavesTheGrassAndThreeRefreshIt) {
  Load(1);
  UpdateGrass(*world, {30, 0, 30});
  const std::vector<TGLBaseSceneObject*> first = Tufts();
  UpdateGrass(*world, {32, 0, 30});
  EXPECT_EQ(Tufts(), first) << "2 units: untouched";
  UpdateGrass(*world, {33, 0, 30});
  const std::vector<TGLBaseSceneObject*> moved = Tufts();
  EXPECT_NE(moved, first) << "3 units: refreshed";
  // What stayed in reach stayed where it was; nothing was planted twice.
  std::set<std::pair<int, int>> cells;
  for (const TGLBaseSceneObject* t : moved) {
    const TAffineVector p = t->Position.AsAffineVector();
    EXPECT_TRUE(cells.insert({static_cast<int>(p.x), static_cast<int>(p.z)}).second);
    EXPECT_LE(std::hypot(p.x - 33, p.z - 30), 6 + 3) << "tufts out of reach are swept";
  }
  // Far away (over open sea) every tuft goes.
  UpdateGrass(*world, {200, 0, 200});
  EXPECT_EQ(GrassCount(*world), 0);
}

TEST_F(Grass, ADenserSettingGivesEachTuftChildrenInTheSameCell) {
  Load(3);
  UpdateGrass(*world, {32, 0, 32});
  const TTRVGroundView ground = GroundOf(*world);
  ASSERT_FALSE(Tufts().empty());
  for (const TGLBaseSceneObject* t : Tufts()) {
    ASSERT_EQ(t->Count(), 2) << "density 3: a tuft and two children";
    const TAffineVector p = t->Position.AsAffineVector();
    for (int k = 0; k < 2; ++k) {
      const TAffineVector c = t->Children(k)->AbsoluteAffinePosition();
      EXPECT_EQ(static_cast<int>(c.x), static_cast<int>(p.x)) << "in the parent's cell, however it is turned";
      EXPECT_EQ(static_cast<int>(c.z), static_cast<int>(p.z));
      EXPECT_NEAR(c.y, SurfaceAt(ground, c, false).height, 1e-3) << "on the ground";
    }
  }
  EXPECT_EQ(GrassCount(*world), 3 * static_cast<int>(Tufts().size()));
}

TEST_F(Grass, OnlyTuftsTheCameraCanSeeAreDrawn) {
  Load(1);
  UpdateGrass(*world, {32, 0, 32});
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->Position.SetPoint(32, 6, 32);
  camera->Up.SetVector(0, 1, 0);
  camera->Direction.SetVector(1, -0.3f, 0);  // looking along +X, a little down
  ShowGrassInView(*world, camera->AbsoluteAffinePosition(), camera->ViewMatrix());
  int shown = 0, hidden = 0;
  for (const TGLBaseSceneObject* t : Tufts()) {
    const TAffineVector p = t->Position.AsAffineVector();
    const float ahead = p.x - 32, across = std::fabs(p.z - 32);
    if (ahead > across) {
      EXPECT_TRUE(t->Visible) << "in the view at " << p.x << ", " << p.z;
    }
    if (ahead < -1) {
      EXPECT_FALSE(t->Visible) << "behind the camera at " << p.x << ", " << p.z;
    }
    (t->Visible ? shown : hidden)++;
  }
  EXPECT_GT(shown, 0);
  EXPECT_GT(hidden, 0);
  camera->Direction.SetVector(-1, -0.3f, 0);
  ShowGrassInView(*world, camera->AbsoluteAffinePosition(), camera->ViewMatrix());
  for (const TGLBaseSceneObject* t : Tufts()) {
    if (t->Position.X() < 31) {
      EXPECT_TRUE(t->Visible) << "turning round brings them back";
    }
  }
}

TEST_F(Grass, NoneWhenTheSettingsTurnItOff) {
  Load(1);
  TTRVWorldContext c = Context(folder, &scene);
  c.settings.RenderGrass = false;
  std::string error;
  world.reset();
  world = CreateLoadedWorld(c, "Lawn", true, nullptr, error);
  ASSERT_TRUE(world) << error;
  PrepareSectors(*world);
  UpdateGrass(*world, {32, 0, 32});
  EXPECT_EQ(GrassCount(*world), 0);
}

}  // namespace

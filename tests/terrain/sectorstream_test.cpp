// Streaming: sectors created, levelled, kept and released around a moving camera.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "terrain/lodtable.h"
#include "terrain/sector.h"
#include "terrain/sectorbake.h"
#include "tests/terrain/sector_fixture.h"

namespace {

using namespace sectortest;
using Index = std::pair<int, int>;

std::set<Index> Existing(const TTRVWorld& w) {
  std::set<Index> out;
  for (int c = 0; c < w.sectorRoot->Count(); ++c) {
    const TGLBaseSceneObject* column = w.sectorRoot->Children(c);
    for (int i = 0; i < column->Count(); ++i) {
      auto* s = dynamic_cast<const TTRVSector*>(column->Children(i));
      EXPECT_NE(s, nullptr);
      EXPECT_EQ(s->sectorX, column->Tag) << "a sector sits in its own column";
      out.insert({s->sectorX, s->sectorZ});
    }
  }
  return out;
}

std::set<Index> Square(int x0, int z0, int x1, int z1) {
  std::set<Index> out;
  for (int x = x0; x <= x1; ++x)
    for (int z = z0; z <= z1; ++z) out.insert({x, z});
  return out;
}

TAffineVector InSector(int sx, int sz) { return {sx * 32.0f + 5, 30, sz * 32.0f + 7}; }

using Streaming = IslandWorld;

TEST_F(Streaming, PrepareLaysOutTheTableTheSkyAndTheImposterBuilders) {
  Load("Isle", 3);
  EXPECT_EQ(world->viewRange, 3);
  EXPECT_EQ(world->lodTable.SizeX(), 12);
  EXPECT_EQ(world->lodTable(6, 6), 0);
  EXPECT_FLOAT_EQ(world->skyDome->Radius, 84);
  EXPECT_EQ(world->nearImposterBuilder.Coronas.size(), 3u);
  EXPECT_EQ(world->farImposterBuilder.Coronas.size(), 1u);
  EXPECT_EQ(world->nearImposterBuilder.SampleSize, 64);
  EXPECT_EQ(world->farImposterBuilder.SampleSize, 32);
}

TEST_F(Streaming, SectorsFollowTheCamera) {
  UpdateSectors(*world, InSector(1, 1));
  // View distance 1: a 4 x 4 table, the camera's entry (2, 2) running backwards.
  EXPECT_EQ(Existing(*world), Square(0, 0, 3, 3));
  EXPECT_FALSE(FindSector(*world, 1, 1)->waterOnly);
  EXPECT_TRUE(FindSector(*world, 3, 0)->waterOnly);
  EXPECT_EQ(BakePendingSectors(*world), 1) << "only the hill has land";

  UpdateSectors(*world, InSector(1, 1));
  const struct {
    int sx, sz, level;
  } levels[] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 1, 1}, {1, 3, 1}, {3, 3, 1}};
  for (const auto& l : levels) EXPECT_EQ(FindSector(*world, l.sx, l.sz)->detailLevel, l.level) << l.sx << ", " << l.sz;
  EXPECT_EQ(FindSector(*world, 1, 1)->proxyCube->Count(), 5) << "the hill shows its objects once baked";

  // Off to the far corner: sectors there appear (outside the map as open sea); the ones left
  // behind stay until their time runs out.
  UpdateSectors(*world, InSector(4, 4));
  EXPECT_EQ(Existing(*world).size(), 16u + 16u - 1u);  // (3, 3) is in both squares
  for (auto [sx, sz] : Square(3, 3, 6, 6)) EXPECT_NE(FindSector(*world, sx, sz), nullptr);
  EXPECT_TRUE(FindSector(*world, 6, 5)->waterOnly);

  for (auto [sx, sz] : Square(0, 0, 2, 2)) FindSector(*world, sx, sz)->expired = true;
  FindSector(*world, 0, 3)->expired = true;
  UpdateSectors(*world, InSector(4, 4));
  std::set<Index> left = Square(3, 3, 6, 6);
  left.insert({3, 0});
  left.insert({3, 1});
  left.insert({3, 2});
  left.insert({1, 3});
  left.insert({2, 3});
  EXPECT_EQ(Existing(*world), left);
  for (int c = 0; c < world->sectorRoot->Count(); ++c)
    EXPECT_GT(world->sectorRoot->Children(c)->Count(), 0) << "empty columns are freed";
  EXPECT_EQ(world->materialLibrary.GetLibMaterialByName("D@1@1"), nullptr) << "the hill took its texture with it";
}

TEST_F(Streaming, AnAbsentSectorOutsideTheDrawnPartOfTheTableIsNotCreated) {
  Load("Isle", 2);  // 8 x 8: row and column 0 lie outside the disc
  ASSERT_EQ(world->lodTable(0, 4), kLodNotDrawn);
  UpdateSectors(*world, InSector(1, 1));
  // Entry (0, j) stands for sector x = 1 + 4 - 0 = 5.
  for (int sz = -3; sz <= 5; ++sz) EXPECT_EQ(FindSector(*world, 5, sz), nullptr) << sz;
  EXPECT_NE(FindSector(*world, 4, 1), nullptr);

  // One that exists is told it is not drawn, and frees its objects.
  TTRVSector* hill = FindSector(*world, 1, 1);
  BakePendingSectors(*world);
  UpdateSectors(*world, InSector(1, 1));
  ASSERT_EQ(hill->proxyCube->Count(), 5);
  UpdateSectors(*world, InSector(-3, 1));  // the hill now sits at entry (0, 2)
  EXPECT_EQ(hill->detailLevel, kLodNotDrawn);
  EXPECT_EQ(hill->proxyCube->Count(), 0);
}

TEST_F(Streaming, TheStepBakesFirstThenLaysOutTheBakedSectorsThenUpdatesEveryThreeSeconds) {
  auto* camera = scene.Objects().AddNewChild<TGLCamera>();
  camera->Position.SetPoint(InSector(1, 1));
  TTRVWorldContext c = Context(folder, &scene);
  c.settings.ViewDistance = 1;
  c.camera = camera;
  std::string error;
  world = CreateLoadedWorld(c, "Isle", true, nullptr, error);
  ASSERT_TRUE(world) << error;
  PrepareSectors(*world);

  EXPECT_FLOAT_EQ(world->sectorTimer, 4) << "the first step builds the sectors";
  EXPECT_FALSE(StepSectors(*world, 0.02f));
  EXPECT_EQ(Existing(*world).size(), 16u);
  EXPECT_TRUE(StepSectors(*world, 0.02f)) << "a step that bakes skips its simulation";
  EXPECT_FALSE(FindSector(*world, 1, 1)->needsBake);
  EXPECT_EQ(FindSector(*world, 1, 1)->proxyCube->Count(), 0) << "baked, not yet laid out";
  EXPECT_FALSE(StepSectors(*world, 0.02f));
  EXPECT_EQ(FindSector(*world, 1, 1)->proxyCube->Count(), 5) << "the step after a bake lays out its objects";
  EXPECT_EQ(world->sectorTimer, 0);
  EXPECT_FALSE(StepSectors(*world, 1.5f));
  EXPECT_FALSE(StepSectors(*world, 1.5f));
  EXPECT_FLOAT_EQ(world->sectorTimer, 3) << "then every three seconds again";
  EXPECT_FALSE(StepSectors(*world, 0.1f));
  EXPECT_EQ(world->sectorTimer, 0);
}

TEST_F(Streaming, NothingIsCreatedWithoutAWorldStream) {
  world->worldStream.clear();
  EXPECT_EQ(GetOrCreateSector(*world, 1, 1), nullptr);
  UpdateSectors(*world, InSector(1, 1));
  EXPECT_TRUE(Existing(*world).empty());
}

}  // namespace

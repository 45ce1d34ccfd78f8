// One sector: what it reads from the world stream, the objects it builds at each detail
// level, its obstacle boxes, its time to live and what it frees. Headless: the bake then makes
// an empty texture, which is all the levels need.
#include <gtest/gtest.h>

#include <limits>

#include "scene/imposter.h"
#include "scene/proxy.h"
#include "terrain/sector.h"
#include "terrain/sectorbake.h"
#include "terrain/sectorobjects.h"
#include "tests/terrain/sector_fixture.h"
#include "world/queries.h"

namespace {

using namespace sectortest;

class Sector : public IslandWorld {
 protected:
  // The hill sector, baked and at the level.
  TTRVSector& Hill(int level = 0) {
    TTRVSector* s = GetOrCreateSector(*world, 1, 1);
    EXPECT_NE(s, nullptr);
    BakePendingSectors(*world);
    s->SetDetailLevel(level);
    return *s;
  }
};

TEST_F(Sector, LoadedSectorReadsItsRecordAndSitsAtItsCorner) {
  TTRVSector* s = GetOrCreateSector(*world, 1, 1);
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->waterOnly);
  EXPECT_TRUE(s->needsBake);
  EXPECT_EQ(SectorSample(s->heights, 4, 4), 50);     // cell (36, 36)
  EXPECT_EQ(SectorSample(s->heights, 3, 4), 0);
  EXPECT_EQ(s->Position.AsAffineVector(), TAffineVector(32, 0, 32));
  EXPECT_EQ(s->centre, TAffineVector(48, 0, 48));
  EXPECT_EQ(s->objectLists[0].size(), 2u);
  EXPECT_EQ(s->objectLists[1].size(), 2u);
  EXPECT_EQ(s->objectLists[2].size(), 1u);
  ASSERT_NE(s->proxyCube, nullptr);
  EXPECT_EQ(s->Children(0), s->groundRenderer);
  EXPECT_EQ(s->Children(1), s->detailRoot);
  EXPECT_EQ(s->Children(2), s->obstacleCube);
}

TEST_F(Sector, KeepsTheIndicesItWasAskedFor) {
  // (2, 2) pointed at the record stored for (1, 1).
  world->sectorOffsets(2, 2) = world->sectorOffsets(1, 1);
  TTRVSector* s = GetOrCreateSector(*world, 2, 2);
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->waterOnly);
  EXPECT_EQ(s->sectorX, 2);
  EXPECT_EQ(s->sectorZ, 2);
  EXPECT_EQ(FindSector(*world, 2, 2), s);
  EXPECT_EQ(FindSector(*world, 1, 1), nullptr);
  EXPECT_EQ(s->Position.AsAffineVector(), TAffineVector(64, 0, 64));
  BakePendingSectors(*world);
  EXPECT_NE(world->materialLibrary.GetLibMaterialByName("D@2@2"), nullptr);
}

TEST_F(Sector, ARecordThatDoesNotFitTheStreamBecomesOpenSea) {
  const std::int32_t size = static_cast<std::int32_t>(world->worldStream.size());
  for (std::int32_t offset : {size - 100, size, size + 1, std::numeric_limits<std::int32_t>::max()}) {
    world->sectorOffsets(1, 1) = offset;
    TTRVSector* s = GetOrCreateSector(*world, 1, 1);
    ASSERT_NE(s, nullptr) << offset;
    EXPECT_TRUE(s->waterOnly) << offset;
    EXPECT_FALSE(s->loadError.empty()) << offset;
    EXPECT_FALSE(s->needsBake);
    EXPECT_EQ(s->proxyCube, nullptr);
    s->Free();
  }
}

TEST_F(Sector, PlacementsNamingAnObjectTheThemeLacksAreDropped) {
  // Byte 2 of the first record of list 0: object nibble 15, past the theme's five objects.
  const std::size_t at = static_cast<std::size_t>(world->sectorOffsets(1, 1)) + kSectorRecordBody + 2 + 2;
  world->worldStream[at] = 0x0F;
  TTRVSector* s = GetOrCreateSector(*world, 1, 1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->droppedPlacements, 1);
  EXPECT_EQ(s->objectLists[0].size(), 1u);
}

TEST_F(Sector, OpenSeaWhereNoRecordIsStoredOrOutsideTheMap) {
  const struct {
    int sx, sz;
  } cases[] = {{0, 0}, {3, 3}, {-1, 1}, {4, 0}, {2, 9}};
  for (const auto& c : cases) {
    TTRVSector* s = GetOrCreateSector(*world, c.sx, c.sz);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->waterOnly) << c.sx << ", " << c.sz;
    EXPECT_FALSE(s->needsBake);
    EXPECT_EQ(s->proxyCube, nullptr);
    EXPECT_EQ(s->Position.AsAffineVector(), TAffineVector(c.sx * 32.0f, 0, c.sz * 32.0f));
    for (std::uint8_t h : s->heights) ASSERT_EQ(h, 0);
    s->SetDetailLevel(0);
    EXPECT_EQ(s->detailLevel, 0);
  }
  EXPECT_EQ(BakePendingSectors(*world), 0) << "open sea is never baked";
}

TEST_F(Sector, NothingIsBuiltBeforeTheBake) {
  TTRVSector* s = GetOrCreateSector(*world, 1, 1);
  s->SetDetailLevel(1);
  EXPECT_EQ(s->detailLevel, 0);
  EXPECT_EQ(s->proxyCube->Count() + s->nearImposterCube->Count() + s->obstacleCube->Count(), 0);
  EXPECT_EQ(BakePendingSectors(*world), 1);
  EXPECT_FALSE(s->needsBake);
  EXPECT_TRUE(s->justBaked);
  // The level asked for right after the bake applies even though it is the current one.
  s->SetDetailLevel(0);
  EXPECT_FALSE(s->justBaked);
  EXPECT_EQ(s->proxyCube->Count(), 5);
}

TEST_F(Sector, EachLevelHoldsItsOwnRepresentation) {
  TTRVSector& s = Hill(3);
  const struct {
    int level;
    int proxies, nearImposters, farImposters, boxes;
  } steps[] = {
      {0, 5, 0, 0, 3},  // every list as proxies; boxes for the tree, the building and the wall
      {1, 0, 1, 0, 0},  // lists 1 and 2, but the grass and the fence post have no imposter
      {2, 0, 0, 1, 0},  // list 2
      {3, 0, 0, 0, 0},
      {0, 5, 0, 0, 3},  // rebuilt on the way back
      {4, 0, 0, 0, 0},
  };
  for (const auto& st : steps) {
    s.SetDetailLevel(st.level);
    EXPECT_EQ(s.detailLevel, st.level);
    EXPECT_EQ(s.proxyCube->Count(), st.proxies) << st.level;
    EXPECT_EQ(s.nearImposterCube->Count(), st.nearImposters) << st.level;
    EXPECT_EQ(s.farImposterCube->Count(), st.farImposters) << st.level;
    EXPECT_EQ(s.obstacleCube->Count(), st.boxes) << st.level;
  }
  s.SetDetailLevel(1);
  auto* imposter = dynamic_cast<TGLImposter*>(s.nearImposterCube->Children(0));
  ASSERT_NE(imposter, nullptr);
  EXPECT_EQ(imposter->Builder, &world->nearImposterBuilder);
  EXPECT_EQ(imposter->ImpostoredObject, world->themes[0]->Object(kWall));
}

TEST_F(Sector, ProxiesStandOnTheSlopeUnderTheirOffsetPosition) {
  // Sector (1, 1) tilted one way along X and another along Z: the ground byte at map cell
  // (x, z) is 4 (x - 32) + 2 (z - 32), a plane, so the height anywhere on it is known by hand.
  Island island(4, 4);
  for (int x = 33; x < 63; ++x)
    for (int z = 33; z < 63; ++z) {
      island.heights.Set(x, z, static_cast<std::uint8_t>(4 * (x - 32) + 2 * (z - 32)));
      island.types.Set(x, z, tcOpenGround);
    }
  const struct {
    std::uint8_t x, z, offset;  // local cell and offset byte
    float height;               // at the placed point, divisor 25
  } cases[] = {
      {8, 8, 0x88, (4 * 8 + 2 * 8) / 25.0f},            // on the vertex (40, 40)
      {8, 8, 0x00, (4 * 7.5f + 2 * 8.5f) / 25.0f},      // (39.5, 40.5)
      {20, 5, 0xF0, (4 * 20.4375f + 2 * 5.5f) / 25.0f},  // (52.4375, 37.5)
      {3, 27, 0x3C, (4 * 2.6875f + 2 * 26.75f) / 25.0f}, // (34.6875, 58.75)
  };
  TTRVWorldFileData d = island.Build();
  for (TTRVSectorRecord& r : d.sectors)
    if (r.sectorX == 1 && r.sectorZ == 1)
      for (const auto& c : cases) r.placements[0].push_back({c.x, c.z, kTree, 0, c.offset});
  WriteWorld(folder, "Slope", d);
  Load("Slope");

  TTRVSector& s = Hill(0);
  ASSERT_EQ(s.proxyCube->Count(), static_cast<int>(std::size(cases)));
  for (int i = 0; i < s.proxyCube->Count(); ++i) {
    SCOPED_TRACE("placement " + std::to_string(i));
    const TGLBaseSceneObject& p = *s.proxyCube->Children(i);
    EXPECT_NEAR(p.Position.Y(), cases[i].height, 1e-4f);
  }
}

TEST_F(Sector, ProxiesTurnAndImpostersStandOnTheirVertexPlusTheLift) {
  TTRVSector& s = Hill(0);
  auto* tree = dynamic_cast<TGLProxyObject*>(s.proxyCube->Children(0));
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->MasterObject, world->themes[0]->Object(kTree));
  EXPECT_GE(tree->TurnAngle(), 0);
  EXPECT_LE(tree->TurnAngle(), 359);
  EXPECT_GE(tree->Scale.X(), 0.6f);
  EXPECT_LT(tree->Scale.X(), 1.0f);
  EXPECT_EQ(tree->Scale.X(), tree->Scale.Y());
  EXPECT_FLOAT_EQ(s.proxyCube->Children(1)->TurnAngle(), 405);
  EXPECT_EQ(s.proxyCube->Children(1)->Scale.X(), 1);

  s.SetDetailLevel(2);  // the wall: vertex (16, 8), height 2, no lift
  EXPECT_FLOAT_EQ(s.farImposterCube->Children(0)->Position.Y(), 2);
  // The randomly turned tree is on list 0, so only proxies show it; lift it through list 2.
  world->sectorOffsets(2, 2) = world->sectorOffsets(1, 1);
  TTRVSector* copy = GetOrCreateSector(*world, 2, 2);
  copy->objectLists[2] = {copy->objectLists[0][0]};
  BakePendingSectors(*world);
  copy->SetDetailLevel(2);
  EXPECT_FLOAT_EQ(copy->farImposterCube->Children(0)->Position.Y(), 2 + 5);
}

TEST_F(Sector, PlacementOffsetsAreSixteenthsOfACell) {
  const struct {
    std::uint8_t x, z, offset;
    float lx, lz;
  } cases[] = {{4, 6, 0x88, 4, 6}, {4, 6, 0x00, 3.5f, 6.5f}, {4, 6, 0xF0, 4.4375f, 6.5f}, {0, 31, 0x0F, -0.5f, 30.5625f}};
  for (const auto& c : cases) {
    const TAffineVector p = PlacementLocalPosition({c.x, c.z, 0, 0, c.offset});
    EXPECT_FLOAT_EQ(p.x, c.lx);
    EXPECT_FLOAT_EQ(p.z, c.lz);
  }
}

TEST(SectorObjects, ObstacleBoxesByKind) {
  TGLDummyCube master;
  auto* m0 = master.AddNewChild<TGLDummyCube>();
  m0->Position.SetPoint(0, 1, 2);
  m0->Scale.SetVector(0.5f, 2, 0.5f);
  auto* m1 = master.AddNewChild<TGLDummyCube>();
  m1->Position.SetPoint(1, 0, 0);
  m1->Scale.SetVector(3, 1, 1);
  TGLDummyCube proxy;
  proxy.Position.SetPoint(10, 4, 10);
  proxy.Turn(90);
  proxy.Scale.SetVector(0.8f, 0.8f, 0.8f);

  const struct {
    int kind;
    int boxes;
  } counts[] = {{okTree, 1}, {okBuilding, 2}, {okGrass, 0}, {okObstacle, 0}, {okImposterObject, 2}};
  for (const auto& c : counts) {
    TGLDummyCube cube;
    AddObstacleBoxes(cube, proxy, master, c.kind);
    EXPECT_EQ(cube.Count(), c.boxes) << c.kind;
  }

  TGLDummyCube tree;
  AddObstacleBoxes(tree, proxy, master, okTree);
  const TGLBaseSceneObject& t = *tree.Children(0);
  EXPECT_EQ(t.Position.AsAffineVector(), TAffineVector(10, 5, 12)) << "not turned with the proxy";
  EXPECT_EQ(t.Scale.AsAffineVector(), TAffineVector(0.5f, 1.6f, 0.5f)) << "only the height follows the proxy's size";
  EXPECT_EQ(t.TurnAngle(), 0);

  TGLDummyCube building;
  AddObstacleBoxes(building, proxy, master, okBuilding);
  const TGLBaseSceneObject& b = *building.Children(1);
  const TAffineVector turned = RotateVectorAroundY(TAffineVector(1, 0, 0), 90);
  EXPECT_NEAR(b.Position.X(), 10 + turned.x, 1e-5);
  EXPECT_NEAR(b.Position.Z(), 10 + turned.z, 1e-5);
  EXPECT_EQ(b.Scale.AsAffineVector(), TAffineVector(3, 1, 1));
  EXPECT_FLOAT_EQ(b.TurnAngle(), 90);

  TGLDummyCube none, bare;
  AddObstacleBoxes(none, proxy, bare, okBuilding);
  EXPECT_EQ(none.Count(), 0) << "a model without markers has no boxes";
}

TEST_F(Sector, ObstaclesAreTestedOnlyAtFullDetail) {
  TTRVSector& s = Hill(0);
  // The tree's box: marker (0, 0.5, 0) above the tree at cell (40, 40).
  TGLDummyCube probe;
  probe.Position.SetPoint(s.obstacleCube->Children(0)->AbsoluteAffinePosition() + TAffineVector(0.5f, 0, 0));
  EXPECT_EQ(ObstacleTouching(probe, ObstacleBoxes(&s), 3), s.obstacleCube->Children(0));
  EXPECT_EQ(ObstacleTouching(probe, ObstacleBoxes(&s), 0.4f), nullptr) << "beyond the radius";
  TGLDummyCube away;
  away.Position.SetPoint(probe.Position.X() + 1.5f, probe.Position.Y(), probe.Position.Z() + 1.5f);
  EXPECT_EQ(ObstacleTouching(away, ObstacleBoxes(&s), 3), nullptr);
  s.SetDetailLevel(1);
  EXPECT_EQ(ObstacleTouching(probe, ObstacleBoxes(&s), 3), nullptr);
  EXPECT_EQ(ObstacleTouching(probe, ObstacleBoxes(nullptr), 3), nullptr);
  EXPECT_EQ(ObstacleTouching(probe, ObstacleBoxes(GetOrCreateSector(*world, 0, 0)), 3), nullptr) << "open sea";
}

TEST_F(Sector, TimeToLiveRunsDownOnlyWhileAway) {
  TTRVSector* fresh = GetOrCreateSector(*world, 1, 1);
  EXPECT_FLOAT_EQ(fresh->timeToLive, 100);
  EXPECT_TRUE(fresh->DrawsAt(1000, 0.5f)) << "a sector waiting for its bake always draws";
  EXPECT_FLOAT_EQ(fresh->timeToLive, 100);

  TTRVSector& s = Hill(1);
  const float range = 40.0f;  // view distance 1
  const struct {
    const char* what;
    int level;
    float distance;
    bool draws;
    float life;
  } cases[] = {
      {"in range", 1, range, true, 60},
      {"away", 1, range + 1, false, 59.5f},
      {"at level 4, even near", 4, 10, false, 59},
  };
  s.timeToLive = 60;
  for (const auto& c : cases) {
    s.detailLevel = static_cast<std::uint8_t>(c.level);
    EXPECT_EQ(s.DrawsAt(c.distance, 0.5f), c.draws) << c.what;
    EXPECT_FLOAT_EQ(s.timeToLive, c.life) << c.what;
  }
  EXPECT_FALSE(s.expired);
  s.timeToLive = 0.2f;
  EXPECT_FALSE(s.DrawsAt(1000, 0.5f));
  EXPECT_TRUE(s.expired);
  s.SetDetailLevel(2);
  EXPECT_FLOAT_EQ(s.timeToLive, 60) << "an in-range request gives a minute";
  s.timeToLive = 5;
  s.SetDetailLevel(4);
  EXPECT_FLOAT_EQ(s.timeToLive, 5);
}

TEST_F(Sector, DestroyingFreesOnlyWhatTheSectorMade) {
  TTRVSector& land = Hill(0);
  ASSERT_NE(world->materialLibrary.GetLibMaterialByName("D@1@1"), nullptr);
  const int before = world->materialLibrary.Count();

  // An open-sea sector under the same indices (standing alone) made no material.
  auto sea = std::make_unique<TTRVSector>();
  sea->LoadSector(*world, 1, 1, true);
  sea.reset();
  EXPECT_EQ(world->materialLibrary.Count(), before);
  ASSERT_NE(world->materialLibrary.GetLibMaterialByName("D@1@1"), nullptr);

  // The weight materials of its ground layers live in the theme's library until then: the
  // ground (material 0) and the sea painter (material 1) of its one slot.
  TGLMaterialLibrary& theme = world->themes[0]->materialLibrary;
  const int themeMaterials = static_cast<int>(world->themes[0]->materialInfos.size());
  ASSERT_NE(theme.GetLibMaterialByName("A00@1@1"), nullptr);
  ASSERT_NE(theme.GetLibMaterialByName("A01@1@1"), nullptr);
  EXPECT_EQ(theme.GetLibMaterialByName("A02@1@1"), nullptr) << "no river here: no weights for it";
  EXPECT_EQ(theme.Count(), themeMaterials + 2);

  land.Free();
  EXPECT_EQ(world->materialLibrary.GetLibMaterialByName("D@1@1"), nullptr);
  EXPECT_EQ(world->materialLibrary.Count(), before - 1);
  EXPECT_NE(world->materialLibrary.GetLibMaterialByName("sky"), nullptr);
  EXPECT_EQ(theme.GetLibMaterialByName("A00@1@1"), nullptr);
  EXPECT_EQ(theme.Count(), themeMaterials) << "the theme's own materials stay";
}

TEST_F(Sector, TheGroundLayersAreBuiltAtLoad) {
  const TTRVSector& land = Hill(0);
  ASSERT_EQ(land.matInfos.size(), 1u);
  EXPECT_EQ(land.matInfos[0].slotThemeName, "Basic");
  EXPECT_TRUE(land.matInfos[0].usedMaterials.test(0));
  EXPECT_TRUE(land.matInfos[0].usedMaterials.test(1));
  ASSERT_EQ(land.GroundLayers().passes.size(), 2u);
  EXPECT_TRUE(land.GroundLayers().passes[0].opaque);
  for (const TTRVGroundPass& pass : land.GroundLayers().passes) {
    ASSERT_NE(pass.look, nullptr);
    ASSERT_NE(pass.weights, nullptr);
    EXPECT_EQ(pass.weights->Material.Texture.Width(), kSectorSide);
  }
  EXPECT_EQ(land.GroundLayers().passes[1].look, world->themes[0]->materialLibrary.Materials(1));
}

}  // namespace

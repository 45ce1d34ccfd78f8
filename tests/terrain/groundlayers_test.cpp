// The ground layers of a sector: which theme each vertex draws from, how much of each ground
// material lies on it, and which quads each material's pass covers.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include <glm/gtc/matrix_transform.hpp>

#include "terrain/grounddraw.h"
#include "terrain/groundlayers.h"
#include "terrain/sectorbake.h"
#include "world/theme.h"

namespace {

void Set(TTRVSectorGrid& g, int x, int z, std::uint8_t v) { g[static_cast<std::size_t>(x * kSectorSide + z)] = v; }

TTRVMaterialInfo HeightLayer(std::uint8_t weightEverywhere, std::uint8_t paints = 0) {
  TTRVMaterialInfo m;
  m.heightLayer = 1;
  m.paintsClass = paints;
  m.heightWeights.fill(weightEverywhere);
  return m;
}

TTRVMaterialInfo SlopeLayer(std::uint8_t threshold) {
  TTRVMaterialInfo m;
  m.slopeLayer = 1;
  m.slopeThreshold = threshold;
  return m;
}

// "Meadow": grass weighing 100 at every height, a road painter, a rock slope layer, and a
// model's material that is no layer at all. "Bare": one material, no layer. "Empty": none.
class GroundLayers : public ::testing::Test {
 protected:
  void SetUp() override {
    meadow_.themeName = "Meadow";
    meadow_.materialInfos = {HeightLayer(100), HeightLayer(0, tcRoad), SlopeLayer(20), TTRVMaterialInfo{}};
    bare_.themeName = "Bare";
    bare_.materialInfos = {TTRVMaterialInfo{}};
    empty_.themeName = "Empty";
    themes_ = {&meadow_, &bare_, &empty_};
    heights_.fill(50);
    types_.fill(0x00);  // Meadow, open ground
  }

  TTRVGroundLayers Build(TTRVTheme* ground = nullptr) {
    return BuildGroundLayers(heights_, types_, themes_, ground ? ground : &meadow_);
  }

  TTRVTheme meadow_, bare_, empty_;
  std::vector<TTRVTheme*> themes_;
  TTRVSectorGrid heights_{}, types_{};
};

TEST_F(GroundLayers, EachVertexWeighsItsLayers) {
  Set(types_, 10, 10, tcRoad);
  Set(types_, 12, 12, 0x10);  // Bare: no layer applies
  Set(heights_, 20, 20, 100);  // a spike: steep inside the sector
  Set(heights_, 1, 15, 100);   // as steep, but where slopes are not tested
  Set(types_, 25, 5, tcRoad);  // a road on a slope: painted, never a slope
  Set(heights_, 25, 4, 100);
  const TTRVGroundLayers l = Build();
  const int bareSlot = l.themeSlots[12 * kSectorSide + 12];
  const struct {
    const char* what;
    int slot, material, x, z, want;
  } cases[] = {
      {"open ground: grass alone, capped at 255", 0, 0, 5, 20, 255},
      {"a road: 100 against the painter's 1024", 0, 0, 10, 10, 22},
      {"a road: the painter's share", 0, 1, 10, 10, 233},
      {"no applicable layer: material 0 whole", bareSlot, 0, 12, 12, 255},
      {"a steep vertex is rock against grass", 0, 2, 20, 20, 233},
      {"beside it as well", 0, 2, 21, 20, 233},
      {"slopes are not tested next to the border", 0, 2, 1, 15, 0},
      {"a road is never a slope", 0, 2, 25, 5, 0},
      {"a model's material never weighs", 0, 3, 20, 20, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(l.Weight(c.slot, c.material, c.x, c.z), c.want) << c.what;
}

TEST_F(GroundLayers, GroundFallingAwayTowardPlusZIsDarkened) {
  meadow_.materialInfos[2].slopeLayer = 0;  // steep drops would bring rock in
  Set(heights_, 4, 20, 47);  // 3 below (4, 19)
  Set(heights_, 6, 20, 42);  // 8 below: halved
  Set(heights_, 8, 20, 30);  // 20 below: still only halved
  Set(heights_, 9, 20, 53);  // rising: untouched
  Set(heights_, 3, 1, 10);   // z = 1 is never darkened
  const TTRVGroundLayers l = Build();
  EXPECT_EQ(l.Weight(0, 0, 4, 20), 201);  // 255 * 0.79
  EXPECT_EQ(l.Weight(0, 0, 6, 20), 127);
  EXPECT_EQ(l.Weight(0, 0, 8, 20), 127);
  EXPECT_EQ(l.Weight(0, 0, 9, 20), 255);
  EXPECT_EQ(l.Weight(0, 0, 3, 1), 255);
}

TEST_F(GroundLayers, SlotsFollowTheThemesInTheOrderMetAndFallBackToTheClimatesGround) {
  // Walked x ascending, z descending: Bare at (0, 5) is met before Meadow at (0, 4).
  types_.fill(0x10);
  for (int z = 0; z <= 4; ++z) Set(types_, 0, z, 0x00);
  Set(types_, 3, 3, 0x20);  // Empty: no materials at all
  Set(types_, 4, 4, 0x70);  // a theme the world has not loaded
  const TTRVGroundLayers l = Build(&meadow_);
  ASSERT_EQ(l.matInfos.size(), 2u);
  EXPECT_EQ(l.matInfos[0].slotThemeName, "Bare");
  EXPECT_EQ(l.matInfos[1].slotThemeName, "Meadow");
  EXPECT_EQ(l.themeSlots[0 * kSectorSide + 5], 0);
  EXPECT_EQ(l.themeSlots[0 * kSectorSide + 4], 1);
  EXPECT_EQ(l.themeSlots[3 * kSectorSide + 3], 1) << "no materials: the climate's ground";
  EXPECT_EQ(l.themeSlots[4 * kSectorSide + 4], 1) << "not loaded: the climate's ground";
  EXPECT_EQ(l.Weight(1, 0, 3, 3), 255);
  EXPECT_EQ(l.Weight(0, 0, 3, 3), 0) << "a vertex of another slot weighs nothing here";

  // With no ground to fall back on, such a vertex has no slot and draws nothing.
  types_.fill(0x20);
  const TTRVGroundLayers none = BuildGroundLayers(heights_, types_, themes_, &empty_);
  EXPECT_TRUE(none.matInfos.empty());
  EXPECT_EQ(none.themeSlots[100], kNoSlot);
}

TEST_F(GroundLayers, OnlyMaterialsWithWeightAreUsedAndMaterialZeroAlways) {
  Set(types_, 10, 10, tcRoad);
  heights_.fill(0);  // no slope anywhere, and grass would weigh 100 everywhere
  meadow_.materialInfos[0].heightWeights.fill(0);
  meadow_.materialInfos.push_back(HeightLayer(30));
  const TTRVGroundLayers l = Build();
  const auto& used = l.matInfos[0].usedMaterials;
  EXPECT_TRUE(used.test(0)) << "material 0 is always drawn first";
  EXPECT_TRUE(used.test(1));
  EXPECT_FALSE(used.test(2)) << "no slope: no rock";
  EXPECT_FALSE(used.test(3));
  EXPECT_TRUE(used.test(4));
  EXPECT_EQ(used.count(), 3u);
}

TEST_F(GroundLayers, EveryCellTouchingAWeightedVertexIsDrawn) {
  // Road vertices inside, on the z = 1 row, on the z = 0 row and on the far corner.
  for (auto [x, z] : {std::pair{10, 10}, {20, 1}, {5, 0}, {32, 32}}) Set(types_, x, z, tcRoad);
  const TTRVGroundLayers l = Build();
  const TTRVSectorMatInfo& info = l.matInfos[0];
  const struct {
    int x, z;
    bool drawn;
  } cells[] = {
      {9, 9, true},   {10, 9, true},  {9, 10, true},  {10, 10, true},  // round (10, 10)
      {11, 10, false}, {10, 11, false}, {8, 10, false}, {10, 8, false},
      {19, 0, true},  {20, 0, true},  {19, 1, true},  {20, 1, true},   // round (20, 1)
      {4, 0, true},   {5, 0, true},   {4, 1, false},                    // the first row
      {31, 31, true}, {30, 31, false},                                  // the far corner
  };
  for (const auto& c : cells) EXPECT_EQ(info.DrawsCell(1, c.x, c.z), c.drawn) << "cell " << c.x << ", " << c.z;
  for (int x = 0; x < kSectorCells; ++x)
    for (int z = 0; z < kSectorCells; ++z) ASSERT_TRUE(info.DrawsCell(0, x, z)) << "material 0 lays the whole sector";
}

TEST_F(GroundLayers, PassesCoverTheirMaterialsQuadsAndSkipOpenSea) {
  Set(types_, 10, 10, tcRoad);
  // A corner of sea: quads whose four heights are 0 are never drawn.
  for (int x = 0; x <= 3; ++x)
    for (int z = 0; z <= 3; ++z) Set(heights_, x, z, 0);
  // A second theme's patch: its material 0 is added only round its own vertices.
  Set(types_, 20, 20, 0x10);
  const TTRVGroundLayers l = Build();
  const TTRVGroundLayerMesh mesh = PlanGroundPasses(l, heights_);
  ASSERT_EQ(mesh.passes.size(), 4u);  // Meadow grass, road, rock (the sea's edge is steep); Bare's ground
  EXPECT_TRUE(mesh.passes[0].opaque);
  EXPECT_EQ(mesh.passes[0].Quads(), 32 * 32 - 9);
  EXPECT_EQ(mesh.passes[1].material, 1);
  EXPECT_FALSE(mesh.passes[1].opaque);
  EXPECT_EQ(mesh.passes[1].Quads(), 4);
  EXPECT_EQ(mesh.passes[3].slot, 1);
  EXPECT_EQ(mesh.passes[3].material, 0);
  EXPECT_EQ(mesh.passes[3].Quads(), 4);
  EXPECT_EQ(mesh.layerCoords.size(), static_cast<std::size_t>(kSectorSamples) * 2);
  // Vertex (32, 32) samples the centre of the weight texture's last texel.
  EXPECT_FLOAT_EQ(mesh.weightCoords.back(), 32.5f / 33);
}

TEST_F(GroundLayers, ALayerTakesAnotherIntoItsPassWhenThatSavesPixels) {
  const auto any = [](int, int, int, int) { return true; };
  const auto cells = [](const TTRVGroundPass& pass) { return pass.Quads(); };
  // A road over the vertices x < 16: its 16 columns of quads are enough to share the grass's pass.
  for (int x = 0; x < 16; ++x)
    for (int z = 0; z <= kSectorCells; ++z) Set(types_, x, z, tcRoad);
  TTRVGroundLayerMesh mesh = PlanGroundPasses(Build(), heights_, any);
  ASSERT_EQ(mesh.passes.size(), 1u);
  EXPECT_TRUE(mesh.passes[0].opaque);
  EXPECT_EQ(mesh.passes[0].pairSlot, 0);
  EXPECT_EQ(mesh.passes[0].pairMaterial, 1);
  EXPECT_EQ(cells(mesh.passes[0]), 32 * 32);

  // Refused by the caller (other tints), the road keeps a pass of its own.
  mesh = PlanGroundPasses(Build(), heights_, [](int, int, int, int) { return false; });
  ASSERT_EQ(mesh.passes.size(), 2u);
  EXPECT_FALSE(mesh.passes[0].Paired());
  EXPECT_EQ(cells(mesh.passes[1]), 16 * 32);

  // Two short roads far apart would cost more together: every pixel of the pair samples both.
  types_.fill(0x00);
  Set(types_, 4, 4, tcRoad);
  Set(types_, 25, 25, 0x10);  // Bare's ground
  mesh = PlanGroundPasses(Build(), heights_, any);
  ASSERT_EQ(mesh.passes.size(), 3u);
  for (const TTRVGroundPass& pass : mesh.passes) EXPECT_FALSE(pass.Paired());

  // Road and Bare's ground in a checkerboard: both cover the same quads, and share a pass
  // though they come from different slots.
  types_.fill(0x00);
  for (int x = 4; x <= 12; ++x)
    for (int z = 4; z <= 12; ++z) Set(types_, x, z, (x + z) % 2 ? 0x10 : tcRoad);
  mesh = PlanGroundPasses(Build(), heights_, any);
  ASSERT_EQ(mesh.passes.size(), 2u);
  EXPECT_EQ(mesh.passes[1].slot, 0);
  EXPECT_EQ(mesh.passes[1].material, 1);
  EXPECT_EQ(mesh.passes[1].pairSlot, 1);
  EXPECT_EQ(mesh.passes[1].pairMaterial, 0);
}

TEST_F(GroundLayers, PassesKeepTheirQuadsChunkByChunkAndChunksOutOfViewAreLeftOut) {
  Set(types_, 10, 10, tcRoad);
  const TTRVGroundLayerMesh mesh = PlanGroundPasses(Build(), heights_);
  for (const TTRVGroundPass& pass : mesh.passes) {
    ASSERT_EQ(pass.chunkStarts.front(), 0u);
    ASSERT_EQ(pass.chunkStarts.back(), pass.indices.size());
    for (int c = 0; c < kGroundChunks; ++c) {
      const std::size_t from = pass.chunkStarts[static_cast<std::size_t>(c)], to = pass.chunkStarts[static_cast<std::size_t>(c) + 1];
      ASSERT_LE(from, to);
      const int x0 = c / kGroundChunksPerSide * kGroundChunkCells, z0 = c % kGroundChunksPerSide * kGroundChunkCells;
      for (std::size_t i = from; i < to; ++i) {
        const int x = pass.indices[i] / kSectorSide, z = pass.indices[i] % kSectorSide;
        ASSERT_TRUE(x >= x0 && x <= x0 + kGroundChunkCells && z >= z0 && z <= z0 + kGroundChunkCells) << "chunk " << c;
      }
    }
  }
  // The road round vertex (10, 10) lies in chunk (1, 1) only.
  const TTRVGroundPass& road = mesh.passes[1];
  EXPECT_EQ(road.chunkStarts[5] - road.chunkStarts[4], 0u);
  EXPECT_EQ(road.chunkStarts[6] - road.chunkStarts[5], 4u * 6);

  // A hill in chunk (3, 0): its sphere rises to hold it.
  Set(heights_, 28, 4, 250);
  const auto bounds = GroundChunkBounds(heights_, 10);
  EXPECT_FLOAT_EQ(bounds[0].centre.y, 5);
  EXPECT_FLOAT_EQ(bounds[0].radius, std::sqrt(32.0f));
  EXPECT_FLOAT_EQ(bounds[12].centre.x, 28);
  EXPECT_FLOAT_EQ(bounds[12].centre.y, (5 + 25) / 2.0f);
  EXPECT_FLOAT_EQ(bounds[12].radius, std::sqrt(32.0f + 100));

  // Looking along +X from the sector's middle, 90 degrees wide: the chunks behind the eye and
  // those far to the side are out; the sector itself stands at (64, 0, 0).
  const TMatrix toWorld = glm::translate(TMatrix(1.0f), TAffineVector(64, 0, 0));
  const TFrustum view(glm::perspective(glm::radians(90.0f), 1.0f, 0.5f, 200.0f) *
                      glm::lookAt(TAffineVector(80, 5, 16), TAffineVector(81, 5, 16), TAffineVector(0, 1, 0)));
  const TTRVGroundChunkMask seen = VisibleGroundChunks(GroundChunkBounds(heights_, 10), toWorld, view);
  for (int cz = 0; cz < kGroundChunksPerSide; ++cz) {
    EXPECT_FALSE(seen >> (0 * kGroundChunksPerSide + cz) & 1) << "behind, row " << cz;
    EXPECT_TRUE(seen >> (3 * kGroundChunksPerSide + cz) & 1) << "ahead, row " << cz;
  }
}

TEST(WeightImage, OneTexelPerVertexWithTheRowsCountedFromTheBottom) {
  std::vector<std::uint8_t> w(kSectorSamples, 0), second(kSectorSamples, 0);
  w[3 * kSectorSide + 0] = 200;   // vertex (3, 0): the picture's last row
  w[0 * kSectorSide + 32] = 100;  // vertex (0, 32): its first row
  second[3 * kSectorSide + 0] = 50;
  const auto px = [](const std::vector<std::uint8_t>& img, int column, int row) {
    return &img[(static_cast<std::size_t>(row) * kSectorSide + static_cast<std::size_t>(column)) * 4];
  };
  const std::vector<std::uint8_t> grey = WeightImage(w);
  ASSERT_EQ(grey.size(), static_cast<std::size_t>(kSectorSamples) * 4);
  EXPECT_EQ(px(grey, 3, 32)[0], 200);
  EXPECT_EQ(px(grey, 3, 32)[2], 200);
  EXPECT_EQ(px(grey, 3, 32)[3], 255);
  EXPECT_EQ(px(grey, 0, 0)[1], 100);
  const std::vector<std::uint8_t> pair = WeightImage(w, second);
  EXPECT_EQ(px(pair, 3, 32)[3], 50);
  EXPECT_EQ(px(pair, 0, 0)[3], 0);
  EXPECT_EQ(px(WeightImage(std::vector<std::uint8_t>(5, 9)), 3, 32)[0], 0) << "a short table weighs nothing past its end";
}

TEST(GroundMaterialNames, JoinTheIndices) {
  EXPECT_EQ(WeightMaterialName(1, 12, 3, -2), "A112@3@-2");
  EXPECT_EQ(WeightMaterialName(0, 0, 0, 0), "A00@0@0");
  EXPECT_EQ(BakedMaterialName(3, 12), "D@3@12");
  EXPECT_EQ(BakedMaterialName(-1, 0), "D@-1@0");
}

}  // namespace

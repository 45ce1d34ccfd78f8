// The world map image: its colours, the 180-degree turn onto power-of-two sides, and when the
// loader makes, keeps or remakes "<name>MAP.bmp".
#include <gtest/gtest.h>

#include <fstream>

#include "tests/world/world_fixture.h"
#include "world/world.h"
#include "world/worldmap.h"

namespace {

using namespace worldtest;
using platform::MakeColor;

TEST(WorldMapImage, SideIsThePowerOfTwoNotBelowOneLessThanTheCells) {
  const int cases[][2] = {{32, 32}, {33, 32}, {64, 64}, {96, 128}, {320, 512}, {513, 512}, {514, 1024}, {1, 1}};
  for (const auto& c : cases) EXPECT_EQ(WorldMapImageSide(c[0]), c[1]) << c[0];
}

TEST(WorldMapImage, TurnReadsTheFullMapBackwardsByTruncation) {
  platform::Bitmap full(5, 3, 24);
  for (int x = 0; x < 5; ++x)
    for (int z = 0; z < 3; ++z) full.SetPixel(x, z, MakeColor(x * 40, z * 40, 7));
  const platform::Bitmap turned = TurnWorldMap(full);
  ASSERT_EQ(turned.Width(), 4);
  ASSERT_EQ(turned.Height(), 2);
  // Pixel (x, z) comes from (4 - trunc(x * 5 / 4), 2 - trunc(z * 3 / 2)).
  const int source[][4] = {{0, 0, 4, 2}, {1, 0, 3, 2}, {2, 0, 2, 2}, {3, 0, 1, 2}, {0, 1, 4, 1}, {3, 1, 1, 1}};
  for (const auto& s : source)
    EXPECT_EQ(turned.Pixel(s[0], s[1]), full.Pixel(s[2], s[3])) << s[0] << "," << s[1];
}

class WorldMapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTheme(folder.Path(), "Basic", {tcOpenGround, tcSea});
    island.Fill(20, 8, 30, 16, tcOpenGround, 60);
    island.Fill(22, 10, 23, 11, tcRoad, 60);
    island.Fill(24, 10, 25, 11, tcForest, 60);
    island.Fill(26, 10, 27, 11, tcRiver, 20);
    island.Fill(28, 10, 29, 11, tcSettlement, 60);
    island.Place(20, 14, kTree);
    island.Place(22, 14, kBuilding);
    island.Place(24, 14, kFence);
    island.Place(26, 14, kWall);
    island.Place(28, 14, kGrass);
  }
  std::unique_ptr<TTRVWorld> Load(const std::string& name) {
    std::string error;
    auto w = CreateLoadedWorld(Context(folder, &scene), name, true, nullptr, error);
    EXPECT_TRUE(w) << error;
    return w;
  }
  std::vector<char> FileBytes(const std::string& file) {
    std::ifstream in(folder.Worlds() / file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  ProgramFolder folder;
  TGLScene scene;
  Island island{2, 1};
};

TEST_F(WorldMapFile, MissingMapIsBuiltTurnedAndSaved) {
  island.Save(folder.Path(), "Colours");
  auto w = Load("Colours");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->mapWidth, 64);
  EXPECT_EQ(w->mapHeight, 32);
  EXPECT_EQ(w->mapAspect, 2);
  platform::Bitmap map;
  std::string error;
  ASSERT_TRUE(map.LoadBmpFile((folder.Worlds() / "ColoursMAP.bmp").string(), error)) << error;
  ASSERT_EQ(map.Width(), 64);
  ASSERT_EQ(map.Height(), 32);
  const struct {
    int x, z;
    platform::Color colour;
    const char* what;
  } cells[] = {
      {2, 2, MakeColor(0, 0, 0), "sea"},
      {20, 9, MakeColor(158, 158, 158), "open ground at height 60"},
      {22, 10, MakeColor(100, 100, 100), "road"},
      {24, 10, MakeColor(0, 158, 0), "forest"},
      {26, 10, MakeColor(0, 0, 235), "river at height 20"},
      {28, 10, MakeColor(128, 0, 0), "settlement"},
      {20, 14, MakeColor(0, 138, 0), "tree"},
      {22, 14, MakeColor(192, 0, 0), "building"},
      {24, 14, MakeColor(185, 43, 177), "fence"},
      {26, 14, MakeColor(158, 158, 158), "kind-4 object: not marked"},
      {28, 14, MakeColor(158, 158, 158), "grass: not marked"},
  };
  for (const auto& c : cells) EXPECT_EQ(map.Pixel(63 - c.x, 31 - c.z), c.colour) << c.what;

  const TGLLibMaterial* hud = w->hudMaterials.GetLibMaterialByName("HUDMap");
  ASSERT_NE(hud, nullptr);
  EXPECT_EQ(hud->Material.Texture.Width(), 64);
  EXPECT_EQ(hud->Material.Texture.Height(), 32);
  EXPECT_EQ(hud->Material.BlendingMode, bmTransparency);
  EXPECT_EQ(hud->Material.Texture.ImageAlpha(), tiaSuperBlackTransparent);
  EXPECT_EQ(hud->Material.Texture.TextureWrap, twNone);
  EXPECT_FALSE(hud->Material.Texture.Disabled);
}

TEST_F(WorldMapFile, ExistingMapIsKeptAndABrokenOrMissingOneIsRemade) {
  island.Save(folder.Path(), "Keep");
  ASSERT_TRUE(Load("Keep"));
  const std::vector<char> made = FileBytes("KeepMAP.bmp");
  ASSERT_FALSE(made.empty());

  // A map painted over by hand is the player's: it is used as it is.
  platform::Bitmap painted(16, 16, 24);
  painted.FillRect(0, 0, 16, 16, MakeColor(1, 2, 3));
  std::string error;
  ASSERT_TRUE(painted.SaveBmp((folder.Worlds() / "KeepMAP.bmp").string(), error));
  const std::vector<char> paintedBytes = FileBytes("KeepMAP.bmp");
  auto w = Load("Keep");
  ASSERT_TRUE(w);
  EXPECT_EQ(FileBytes("KeepMAP.bmp"), paintedBytes);
  EXPECT_EQ(w->hudMaterials.GetLibMaterialByName("HUDMap")->Material.Texture.Width(), 16);
  EXPECT_EQ(w->mapWidth, 64);  // the map's size stays the island's

  std::filesystem::remove(folder.Worlds() / "KeepMAP.bmp");
  ASSERT_TRUE(Load("Keep"));
  EXPECT_EQ(FileBytes("KeepMAP.bmp"), made);

  std::ofstream(folder.Worlds() / "KeepMAP.bmp", std::ios::binary) << "BM not really";
  ASSERT_TRUE(Load("Keep"));
  EXPECT_EQ(FileBytes("KeepMAP.bmp"), made);
}

TEST_F(WorldMapFile, MapIsNamedAfterTheWorldAskedForNotTheNameInside) {
  island.data.worldName = "Original";
  island.Save(folder.Path(), "Renamed");
  auto w = Load("Renamed");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->worldName, "Renamed");
  EXPECT_TRUE(std::filesystem::exists(folder.Worlds() / "RenamedMAP.bmp"));
  EXPECT_FALSE(std::filesystem::exists(folder.Worlds() / "OriginalMAP.bmp"));
}

}  // namespace

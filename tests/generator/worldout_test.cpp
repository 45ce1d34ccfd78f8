// What the generator writes: which sectors the world file stores, what the records hold,
// the sizes and turn of the MAP and THUMB images, and that a failed write leaves no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "generator/worldout.h"
#include "tests/generator/gen_fixture.h"

namespace {

using namespace gentest;
namespace fs = std::filesystem;

TEST(GenWorldOut, MapImagesHavePowerOfTwoAndThumbnailSizes) {
  const struct {
    int sectorsX, sectorsZ;
    int mapW, mapH;
  } cases[] = {{10, 10, 512, 512}, {16, 17, 512, 1024}, {20, 20, 1024, 1024}, {4, 4, 128, 128}};
  for (const auto& c : cases) {
    TTRVGenState s = SeaState(c.sectorsX, c.sectorsZ);
    TTRVGenProgress progress;
    const platform::Bitmap full = DrawFullMap(s, progress);
    EXPECT_EQ(full.Width(), c.sectorsX * 32);
    const platform::Bitmap map = MakeMapImage(full, progress);
    EXPECT_EQ(map.Width(), c.mapW);
    EXPECT_EQ(map.Height(), c.mapH);
    const platform::Bitmap thumb = MakeThumbnail(full, c.sectorsX, c.sectorsZ);
    EXPECT_EQ(thumb.Width(), c.sectorsX * 8);
    EXPECT_EQ(thumb.Height(), c.sectorsZ * 8);
  }
}

TEST(GenWorldOut, ImagesAreTurnedAndTheThumbnailShowsSeaInSilver) {
  TTRVGenState s = SeaState(10, 10);
  Land(s, 0, 0, 8, 8, 100);  // land in the full map's first corner only
  TTRVGenPlacement building;
  building.x = 4;
  building.z = 4;
  building.purpose = ppBuilding;
  s.placements.push_back(building);
  TTRVGenProgress progress;
  const platform::Bitmap full = DrawFullMap(s, progress);
  EXPECT_EQ(full.Pixel(4, 4), platform::MakeColor(192, 0, 0));
  EXPECT_EQ(full.Pixel(1, 1), platform::MakeColor(178, 178, 178));
  const platform::Bitmap map = MakeMapImage(full, progress);
  EXPECT_EQ(map.Pixel(511, 511), platform::MakeColor(178, 178, 178));  // turned to the far corner
  EXPECT_EQ(map.Pixel(0, 0), 0u);
  const platform::Bitmap thumb = MakeThumbnail(full, 10, 10);
  EXPECT_EQ(thumb.Pixel(79, 79), platform::MakeColor(178, 178, 178));
  EXPECT_EQ(thumb.Pixel(0, 0), platform::MakeColor(192, 192, 192));
}

TEST(GenWorldOut, OnlySectorsWithLandOnTheirBorderAreStored) {
  TTRVGenState s = SeaState(6, 6);
  Land(s, 100, 100, 120, 120, 30);  // inside sector (3, 3), off its border lines
  Land(s, 64, 40, 65, 41, 30);      // one vertex on the line shared by sectors (1, 1) and (2, 1)
  EXPECT_FALSE(SectorStored(s, 3, 3));
  EXPECT_TRUE(SectorStored(s, 1, 1));
  EXPECT_TRUE(SectorStored(s, 2, 1));
  EXPECT_FALSE(SectorStored(s, 2, 2));
  // The game sees the inner-only land as open sea.
  const TTRVGrid<std::uint8_t> loaded = LoadedClasses(s);
  EXPECT_EQ(loaded(110, 110), tcSea);
  EXPECT_EQ(loaded(64, 40), tcOpenGround);
}

TEST(GenWorldOut, RecordsCarryHeightsTypesPlacementsAndBases) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 20, 20, 100, 100, 60);
  s.zoneGrid(40, 41) = 2;
  s.classGrid(40, 41) = tcSettlement;
  TTRVGenPlacement tree;
  tree.x = 40;
  tree.z = 41;
  tree.subX = 3;
  tree.subZ = 12;
  tree.rotation = 8;
  tree.list = 1;
  tree.object = 1;
  s.placements = {tree, tree};
  s.placements[1].x = 41;  // removed below
  TTRVBaseLayout layout;
  layout.bases = {{50, 50}};
  layout.defencePoints.resize(1);
  layout.defencePoints[0].fill({51, 52});
  layout.removed = {1};
  const TTRVWorldFileData d = BuildWorldFile(s, layout, "Isle", 45000.25);
  EXPECT_EQ(WorldDataFault(d), "");
  EXPECT_EQ(d.firstBaseCount, 1);
  ASSERT_EQ(d.landBases.size(), 1u);
  EXPECT_EQ(d.landBases[0].turretCells[15], (TTRVCell16{51, 52}));
  const TTRVSectorRecord* r = nullptr;
  for (const TTRVSectorRecord& rec : d.sectors)
    if (rec.sectorX == 1 && rec.sectorZ == 1) r = &rec;
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->CellType(8, 9), (2 << 4) + tcSettlement);
  EXPECT_EQ(r->Height(8, 9), 60);
  ASSERT_EQ(r->placements[1].size(), 1u);
  const TTRVPlacement& p = r->placements[1][0];
  EXPECT_EQ(p.x, 8);
  EXPECT_EQ(p.z, 9);
  EXPECT_EQ(p.object, 1);
  EXPECT_EQ(p.look, 8 << 4);
  EXPECT_EQ(p.offset, (3 << 4) + 12);
  EXPECT_TRUE(r->placements[0].empty());
  EXPECT_EQ(d.grass.size(), 128u * 128u);
}

TEST(GenWorldOut, AFailedWriteLeavesNoFileBehind) {
  ProgramFolder folder;
  TTRVGenState s = SeaState(4, 4);
  Land(s, 20, 20, 100, 100, 60);
  TTRVBaseLayout layout;
  const TTRVWorldFileData data = BuildWorldFile(s, layout, "Isle", 45000);
  TTRVGenProgress progress;
  const platform::Bitmap full = DrawFullMap(s, progress);
  const platform::Bitmap map = MakeMapImage(full, progress), thumb = MakeThumbnail(full, 4, 4);
  const fs::path worlds = folder.Worlds();

  // The world file's name is taken by a folder: the images were already in place and go again.
  fs::create_directories(worlds / "Isle.TRV");
  std::string error;
  EXPECT_FALSE(SaveWorldFiles(worlds, "Isle", data, map, thumb, error));
  EXPECT_NE(error, "");
  for (const auto& entry : fs::directory_iterator(worlds))
    EXPECT_EQ(entry.path().filename(), "Isle.TRV") << "left behind: " << entry.path();

  // A worlds folder that cannot be made: nothing written, an error.
  std::ofstream(folder.Path() / "blocked") << "x";
  EXPECT_FALSE(SaveWorldFiles(folder.Path() / "blocked", "Isle", data, map, thumb, error));

  // A name that would leave the folder is refused.
  EXPECT_FALSE(SaveWorldFiles(worlds, "../Isle", data, map, thumb, error));

  fs::remove(worlds / "Isle.TRV");
  ASSERT_TRUE(SaveWorldFiles(worlds, "Isle", data, map, thumb, error)) << error;
  for (const char* name : {"Isle.TRV", "IsleMAP.bmp", "IsleTHUMB.bmp"}) EXPECT_TRUE(fs::exists(worlds / name)) << name;
  EXPECT_EQ(std::distance(fs::directory_iterator(worlds), fs::directory_iterator()), 3);
}

std::vector<char> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What SaveWorldFiles writes for an island of the given land height.
struct WorldFiles {
  TTRVWorldFileData data;
  platform::Bitmap map, thumb;
};

WorldFiles IslandFiles(std::uint8_t height) {
  TTRVGenState s = SeaState(4, 4);
  Land(s, 20, 20, 100, 100, height);
  TTRVGenProgress progress;
  const platform::Bitmap full = DrawFullMap(s, progress);
  return {BuildWorldFile(s, TTRVBaseLayout{}, "Isle", 45000), MakeMapImage(full, progress), MakeThumbnail(full, 4, 4)};
}

// A new world that cannot be put in place must leave the old world of that name whole: its
// images must not go with a world file that was never replaced.
TEST(GenWorldOut, AFailedOverwriteLeavesTheOldWorldAsItWas) {
  const WorldFiles old = IslandFiles(60), fresh = IslandFiles(90);
  const std::vector<std::string> names = {"Isle.TRV", "IsleMAP.bmp", "IsleTHUMB.bmp"};
  // Each of the three names in turn is taken by a folder, so that file cannot be replaced.
  for (const std::string& blocked : names) {
    ProgramFolder folder;
    const fs::path worlds = folder.Worlds();
    std::string error;
    ASSERT_TRUE(SaveWorldFiles(worlds, "Isle", old.data, old.map, old.thumb, error)) << error;
    fs::remove(worlds / blocked);
    fs::create_directories(worlds / blocked / "inside");
    std::vector<std::vector<char>> before;
    for (const std::string& name : names) before.push_back(name == blocked ? std::vector<char>() : Bytes(worlds / name));

    EXPECT_FALSE(SaveWorldFiles(worlds, "Isle", fresh.data, fresh.map, fresh.thumb, error)) << blocked;
    EXPECT_NE(error, "");
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == blocked) {
        EXPECT_TRUE(fs::is_directory(worlds / blocked / "inside")) << blocked;
        continue;
      }
      EXPECT_EQ(Bytes(worlds / names[i]), before[i]) << names[i] << " changed when " << blocked << " was blocked";
    }
    // Nothing else is left in the folder: no temporary and no kept copy.
    EXPECT_EQ(std::distance(fs::directory_iterator(worlds), fs::directory_iterator()), 3) << blocked;
  }

  // With nothing in the way the new world replaces all three, and nothing else is left.
  ProgramFolder folder;
  const fs::path worlds = folder.Worlds();
  std::string error;
  ASSERT_TRUE(SaveWorldFiles(worlds, "Isle", old.data, old.map, old.thumb, error)) << error;
  ASSERT_TRUE(SaveWorldFiles(worlds, "Isle", fresh.data, fresh.map, fresh.thumb, error)) << error;
  EXPECT_EQ(Bytes(worlds / "Isle.TRV"), [&] {
    const std::vector<std::uint8_t> b = WriteWorldFile(fresh.data);
    return std::vector<char>(b.begin(), b.end());
  }());
  EXPECT_EQ(Bytes(worlds / "IsleMAP.bmp").size(), fresh.map.EncodeBmp().size());
  EXPECT_EQ(std::distance(fs::directory_iterator(worlds), fs::directory_iterator()), 3);
}

}  // namespace

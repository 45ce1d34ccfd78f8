// Loading fixture islands: what the grids hold, the coast and water rules of the path grids,
// what each kind of object blocks, the water materials, the progress texts in both
// languages, and every refusal with its message.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/world/world_fixture.h"
#include "world/world.h"
#include "world/worldload.h"

namespace {

using namespace worldtest;
using Bytes = std::vector<std::uint8_t>;

class WorldLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTheme(folder.Path(), "Basic", {tcOpenGround, tcSea, tcRiver});
    WriteTheme(folder.Path(), "Dry", {tcOpenGround}, false);
  }
  std::unique_ptr<TTRVWorld> Load(const std::string& name, std::string& error, Progress* progress = nullptr,
                                  const std::string& language = "ENG") {
    return CreateLoadedWorld(Context(folder, &scene, progress, language), name, true, nullptr, error);
  }
  std::unique_ptr<TTRVWorld> LoadOrFail(const std::string& name) {
    std::string error;
    auto world = Load(name, error);
    EXPECT_NE(world, nullptr) << error;
    return world;
  }

  ProgramFolder folder;
  TGLScene scene;
};

TEST_F(WorldLoad, GridsHoldWhatTheRecordsSay) {
  Island island(3, 2, {"Basic", "Dry"});
  island.data.worldName = "StoredName";
  island.Fill(20, 10, 40, 30, tcOpenGround, 50);
  island.Fill(30, 12, 36, 20, 0x10 | tcForest, 75);  // the second theme's forest
  island.Place(22, 15, kTree);
  island.data.grass[static_cast<std::size_t>(25 * 64 + 12)] = 1;
  island.data.landBases.push_back({{25, 20}, {}});
  island.data.navalBases[2] = {70, 50};
  island.Save(folder.Path(), "Grids");
  auto w = LoadOrFail("Grids");
  ASSERT_TRUE(w);

  EXPECT_EQ(w->worldName, "Grids");
  EXPECT_EQ(w->createdAt, 45000.5);
  EXPECT_EQ(w->heightDivisor, 25.0f);
  EXPECT_EQ(w->sectorCountX, 3);
  EXPECT_EQ(w->sectorCountZ, 2);
  EXPECT_EQ(w->CellsX(), 96);
  EXPECT_EQ(w->CellsZ(), 64);
  EXPECT_EQ(w->heightGrid(20, 10), 50);
  EXPECT_EQ(w->heightGrid(19, 10), 0);
  EXPECT_EQ(w->heightGrid(33, 15), 75);
  EXPECT_EQ(w->themeGrid(33, 15), 1);
  EXPECT_EQ(w->themeGrid(25, 25), 0);
  EXPECT_EQ(w->objectHeightGrid(22, 15), kObjectHeights[kTree]);
  EXPECT_EQ(w->objectHeightGrid(23, 15), 0.0f);
  EXPECT_EQ(w->grassGrid(25, 12), 1);
  EXPECT_EQ(w->grassGrid(25, 13), 0);
  ASSERT_EQ(w->landBases.size(), 1u);
  EXPECT_EQ(w->landBases[0].cell, (TTRVCell16{25, 20}));
  EXPECT_EQ(w->navalBases[2], (TTRVCell16{70, 50}));

  // Land lies in sectors (0, 0) and (1, 0) only; the rest, and the extra row and column, are sea.
  ASSERT_EQ(w->sectorOffsets.SizeX(), 4);
  ASSERT_EQ(w->sectorOffsets.SizeZ(), 3);
  for (int sx = 0; sx < 4; ++sx)
    for (int sz = 0; sz < 3; ++sz) {
      const std::int32_t offset = w->sectorOffsets(sx, sz);
      if (sz == 0 && sx < 2) {
        ASSERT_GT(offset, 0);
        EXPECT_EQ(w->worldStream[static_cast<std::size_t>(offset) - 1], kSectorTag);
        TTRVSectorRecord record;
        std::string error;
        ASSERT_TRUE(ReadSectorRecord(w->worldStream, static_cast<std::size_t>(offset), record, error)) << error;
        EXPECT_EQ(record.sectorX, sx);
      } else {
        EXPECT_EQ(offset, -1) << sx << "," << sz;
      }
    }
  EXPECT_EQ(w->climateThemeCount, 2);
  ASSERT_EQ(w->sectorRoot->Count(), 1);
  EXPECT_EQ(w->sectorRoot->Children(0)->Tag, 0);
  EXPECT_EQ(w->sectorTimer, 4.0f);
  EXPECT_NE(w->airRegion, nullptr);
  EXPECT_EQ(w->airRegion->Distance()(48, 32), 2);  // the map centre is the air region's goal
}

TEST_F(WorldLoad, RecordInTheLastSectorColumnDropsItsSamplesPastTheMap) {
  Island island(2, 1);
  island.Fill(20, 10, 64, 20, tcOpenGround, 30);
  TTRVWorldFileData d = island.Build();
  // The writer's builder saw no samples past the map; give the last column's record some.
  for (TTRVSectorRecord& s : d.sectors)
    if (s.sectorX == 1)
      for (int b = 0; b < kSectorSide; ++b) s.heights[static_cast<std::size_t>(32 * kSectorSide + b)] = 200;
  ASSERT_EQ(d.sectors.back().sectorX, 1);
  std::string error;
  ASSERT_TRUE(SaveWorldFile(folder.Worlds() / "Edge.TRV", d, error)) << error;
  auto w = LoadOrFail("Edge");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->CellsX(), 64);
  EXPECT_EQ(w->heightGrid(63, 15), 30);
  const std::vector<std::uint8_t>& cells = w->heightGrid.Cells();
  EXPECT_EQ(std::count(cells.begin(), cells.end(), 200), 0);
}

TEST_F(WorldLoad, CoastBlocksTheGroundGridOnCellsTouchingTheSea) {
  Island island(2, 2);
  island.Fill(20, 20, 44, 44, tcOpenGround, 40);
  island.Fill(30, 30, 31, 31, tcSea, 0);  // a one-cell pond
  island.Save(folder.Path(), "Coast");
  auto w = LoadOrFail("Coast");
  ASSERT_TRUE(w);
  const struct {
    int x, z;
    bool passable;
    const char* why;
  } cells[] = {
      {20, 30, false, "land on the shore line"},    {21, 30, true, "land one cell in"},
      {20, 20, false, "the corner of the island"},  {21, 21, true, "one in from the corner"},
      {31, 31, false, "pond only on the diagonal"}, {32, 32, true, "two away from the pond"},
      {30, 30, false, "the pond itself"},           {10, 10, false, "open sea"},
  };
  for (const auto& c : cells) EXPECT_EQ(w->groundPathFinder.Passable(c.x, c.z), c.passable) << c.why;
}

TEST_F(WorldLoad, BoatsSailOnlyOnOpenSeaConnectedToTheCorner) {
  Island island(2, 2);
  island.Fill(20, 20, 50, 50, tcOpenGround, 40);
  island.Fill(26, 26, 38, 38, tcSea, 0);    // an enclosed lake, wide enough for boats
  island.Fill(40, 22, 48, 60, tcRiver, 5);  // a wide river running out to the sea
  island.Save(folder.Path(), "Lakes");
  auto w = LoadOrFail("Lakes");
  ASSERT_TRUE(w);
  const struct {
    int x, z;
    bool passable;
    const char* why;
  } cells[] = {
      {32, 32, false, "middle of the enclosed lake"}, {44, 40, false, "middle of the river"},
      {44, 57, false, "river mouth"},                 {17, 30, true, "three cells off the coast"},
      {18, 30, false, "two cells off the coast"},     {3, 3, true, "the corner"},
      {61, 61, true, "the far corner of the sea"},    {1, 30, false, "too near the map edge"},
  };
  for (const auto& c : cells) EXPECT_EQ(w->waterPathFinder.Passable(c.x, c.z), c.passable) << c.why;
}

// A boat needs sea two cells round it, the four far corners of that square excepted: one land
// cell at a corner leaves the centre open, land at any of the other twenty cells closes it.
TEST(OpenSea, LandAnywhereInTheTwentyOneCellsButTheCornersClosesTheCentre) {
  constexpr int kCentre = 4;
  for (int dx = -2; dx <= 2; ++dx)
    for (int dz = -2; dz <= 2; ++dz) {
      SCOPED_TRACE("land at (" + std::to_string(dx) + ", " + std::to_string(dz) + ") from the centre");
      TTRVGrid<std::uint8_t> classes(9, 9, tcSea);
      classes(kCentre + dx, kCentre + dz) = tcOpenGround;
      TTRVPathFinder water;
      water.Reset(9, 9, false);
      OpenSea(classes, water);
      const bool corner = (dx == -2 || dx == 2) && (dz == -2 || dz == 2);
      EXPECT_EQ(water.Passable(kCentre, kCentre), corner);
    }
}

TEST_F(WorldLoad, SeaBeyondThePursuitWaveLimitStaysOpenToBoats) {
  Island island(10, 1);
  island.Fill(140, 10, 150, 20, tcOpenGround, 40);
  island.Save(folder.Path(), "Long");
  auto w = LoadOrFail("Long");
  ASSERT_TRUE(w);
  // (300, 16) lies 310 waves from (3, 3): beyond the pursuit region, still open sea.
  EXPECT_TRUE(w->waterPathFinder.Passable(300, 16));
  EXPECT_TRUE(w->waterPathFinder.Passable(200, 5));
  EXPECT_EQ(w->waterRegion->Distance()(300, 16), kWaveUnreached);
  EXPECT_EQ(w->waterRegion->Distance()(100, 16), 97 + 13);
}

TEST_F(WorldLoad, EachKindOfObjectBlocksItsOwnGrids) {
  Island island(1, 1);
  island.Fill(8, 8, 28, 28, tcOpenGround, 40);
  const struct {
    std::uint8_t object;
    int x, z;
    bool airCell, airNeighbours, groundCell;
  } cases[] = {
      {kTree, 12, 12, true, true, false},     {kBuilding, 12, 20, false, false, false},
      {kGrass, 20, 12, true, true, true},     {kFence, 20, 20, true, true, false},
      {kWall, 16, 16, true, true, true},
  };
  for (const auto& c : cases) island.Place(c.x, c.z, c.object, c.object % 3);
  island.Save(folder.Path(), "Kinds");
  auto w = LoadOrFail("Kinds");
  ASSERT_TRUE(w);
  for (const auto& c : cases) {
    SCOPED_TRACE("object " + std::to_string(c.object));
    EXPECT_EQ(w->objectHeightGrid(c.x, c.z), kObjectHeights[c.object]);
    EXPECT_EQ(w->airPathFinder.Passable(c.x, c.z), c.airCell);
    for (const TTRVCell& n : {TTRVCell{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}}) {
      EXPECT_EQ(w->airPathFinder.Passable(n.x, n.z), c.airNeighbours);
      EXPECT_TRUE(w->groundPathFinder.Passable(n.x, n.z));
    }
    EXPECT_TRUE(w->airPathFinder.Passable(c.x + 1, c.z + 1));  // diagonals never
    EXPECT_EQ(w->groundPathFinder.Passable(c.x, c.z), c.groundCell);
  }
}

TEST_F(WorldLoad, SeaMaterialIsTheLastOneFoundAndWaterNeverLacksAMaterial) {
  WriteTheme(folder.Path(), "Water", {tcRiver, tcSea}, false);
  const struct {
    std::vector<std::string> themes;
    TTRVMaterialRef sea;
    std::vector<TTRVMaterialRef> rivers;
  } cases[] = {
      {{"Basic"}, {0, 1}, {{0, 2}}},
      {{"Basic", "Water"}, {1, 1}, {{0, 2}, {1, 0}}},
      {{"Dry"}, {-1, -1}, {}},
  };
  int n = 0;
  for (const auto& c : cases) {
    Island island(1, 1, c.themes);
    island.Fill(10, 10, 20, 20, tcOpenGround, 40);
    const std::string name = "Water" + std::to_string(n++);
    island.Save(folder.Path(), name);
    auto w = LoadOrFail(name);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->seaMaterial, c.sea) << name;
    EXPECT_EQ(w->role5Materials, c.rivers) << name;
    TGLMaterial& water = w->WaterMaterial();
    if (c.sea.Valid()) {
      EXPECT_EQ(&water, &w->ThemeMaterial(c.sea)->Material);
      EXPECT_FALSE(water.Texture.Disabled);
      EXPECT_EQ(water.Texture.TextureMode, tmModulate);
    } else {
      EXPECT_EQ(w->ThemeMaterial(c.sea), nullptr);
      EXPECT_TRUE(water.Texture.Disabled);  // plain coloured water of the world's own
    }
    EXPECT_EQ(water.BlendingMode, bmOpaque) << name;
    EXPECT_EQ(water.MaterialOptions, moNoLighting) << name;
  }
}

TEST_F(WorldLoad, ProgressIsReportedInTheChosenLanguage) {
  Island island(2, 1);
  island.Fill(40, 10, 50, 20, tcOpenGround, 40);
  island.Save(folder.Path(), "Talk");
  const struct {
    const char* language;
    std::vector<std::string> firstTexts;
    std::string mapText;
  } cases[] = {
      {"ENG", {"Reading file", "Loading themes", "Creating pathfinders", "Reading sectors: 1"}, "Creating world map"},
      {"CZE", {"Načítám soubor", "Nahrávám klimata", "Vytvářím hledání cest", "Načítám sektory: 1"}, "Vytvářím mapu"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder.Worlds() / "TalkMAP.bmp");
    Progress progress;
    std::string error;
    ASSERT_TRUE(Load("Talk", error, &progress, c.language)) << error;
    ASSERT_GE(progress.texts.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(progress.texts.begin(), progress.texts.begin() + 4), c.firstTexts);
    EXPECT_EQ(progress.percents[3], 40);  // 30 + 1 / 2 * 20
    EXPECT_EQ(progress.texts.back(), c.mapText);
    EXPECT_EQ(progress.percents.back(), 80);
    EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end())) << c.language;
  }
  Progress again;  // the map now exists and is loaded instead
  std::string error;
  ASSERT_TRUE(Load("Talk", error, &again, "CZE"));
  EXPECT_EQ(again.texts.back(), "Nahrávám mapu");
  EXPECT_EQ(again.percents.back(), 75);
}

TEST_F(WorldLoad, BrokenOrIncompleteWorldsAreRefusedWithAMessage) {
  Island good(1, 1);
  good.Fill(10, 10, 20, 20, tcOpenGround, 40);
  good.Place(15, 15, kTree);
  const Bytes bytes = good.Save(folder.Path(), "Good");
  auto write = [&](const std::string& name, const Bytes& b) {
    std::ofstream(folder.Worlds() / (name + ".TRV"), std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  };
  Bytes magic = bytes;
  magic[2] = 'x';
  write("Magic", magic);
  for (std::size_t cut : {std::size_t{5}, std::size_t{40}, std::size_t{1500}, bytes.size() - 600, bytes.size() - 3})
    write("Cut" + std::to_string(cut), Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
  Island missing(1, 1, {"Basic", "Nowhere"});
  missing.Fill(10, 10, 20, 20, tcOpenGround, 40);
  missing.Save(folder.Path(), "MissingTheme");
  std::ofstream(folder.Path() / "themes" / "Broken.TRV", std::ios::binary) << "TRVTHM garbage";
  Island broken(1, 1, {"Broken"});
  broken.Fill(10, 10, 20, 20, tcOpenGround, 40);
  broken.Save(folder.Path(), "BrokenTheme");
  Island noObject(1, 1, {"Basic", "Dry"});
  noObject.Fill(10, 10, 20, 20, tcOpenGround, 40);
  noObject.Place(15, 15, 0x10);  // "Dry" holds no objects
  noObject.Save(folder.Path(), "NoObject");
  Island corner(1, 1);
  corner.Fill(0, 0, 12, 12, tcOpenGround, 40);
  corner.Save(folder.Path(), "LandCorner");

  const struct {
    std::string name;
    const char* message;
  } cases[] = {
      {"Absent", "world file is missing"},
      {"../worlds/Good", "not a world name"},
      {"Magic", "not a world file"},
      {"Cut5", "not a world file"},
      {"Cut40", "ends inside"},
      {"Cut1500", "ends inside a sector record"},
      {"Cut" + std::to_string(bytes.size() - 600), "ends inside the grass flags"},
      {"Cut" + std::to_string(bytes.size() - 3), "ends inside the naval bases"},
      {"MissingTheme", "theme \"Nowhere\" is missing"},
      {"BrokenTheme", "theme \"Broken\" cannot be read"},
      {"NoObject", "object 0 of theme \"Dry\", which holds 0"},
      {"LandCorner", "cell (3, 3)"},
  };
  const int before = scene.Objects().Count();
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(Load(c.name, error), nullptr) << c.name;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find(c.name), std::string::npos) << "the message names the world: " << error;
    EXPECT_EQ(scene.Objects().Count(), before) << "a refused world leaves nothing in the scene";
    EXPECT_FALSE(std::filesystem::exists(folder.Worlds() / (c.name + "MAP.bmp"))) << c.name;
  }
}

TEST_F(WorldLoad, WorldLeavesTheSceneAsItFoundItAndReloadsCleanly) {
  Island island(1, 1);
  island.Fill(10, 10, 20, 20, tcOpenGround, 40);
  island.Save(folder.Path(), "Again");
  const int before = scene.Objects().Count();
  {
    auto w = LoadOrFail("Again");
    ASSERT_TRUE(w);
    EXPECT_EQ(scene.Objects().Count(), before + 2);  // the world's root and the imposters' render point
    w->sectorRoot->Children(0)->AddNewChild<TGLDummyCube>();
    std::string error;
    ASSERT_TRUE(w->LoadWorld("Again", false, nullptr, error)) << error;
    EXPECT_EQ(w->themes.size(), 1u);
    ASSERT_EQ(w->sectorRoot->Count(), 1);
    EXPECT_EQ(w->sectorRoot->Children(0)->Count(), 0);
  }
  EXPECT_EQ(scene.Objects().Count(), before);
}

TEST_F(WorldLoad, NewGameTakesTheSidesFromTheSetUp) {
  Island island(1, 1);
  island.Fill(10, 10, 20, 20, tcOpenGround, 40);
  island.Save(folder.Path(), "Setup");
  TTRVWorldInfo info;
  info.missionName = "Campaign A";
  info.playerUnitType = utBoat;
  info.missionType = mtEscort;
  info.sides.resize(3);
  info.sides[2].name = "Enemy 2";
  std::string error;
  auto w = CreateLoadedWorld(Context(folder, &scene), "Setup", true, &info, error);
  ASSERT_TRUE(w) << error;
  EXPECT_EQ(w->missionName, "Campaign A");
  EXPECT_EQ(w->playerUnitType, utBoat);
  EXPECT_EQ(w->missionType, mtEscort);
  ASSERT_EQ(w->sides.size(), 3u);
  EXPECT_EQ(w->sides[2].name, "Enemy 2");
  EXPECT_EQ(w->sides[0].victoryLosses[0], -1);
}

}  // namespace

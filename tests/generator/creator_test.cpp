// Whole islands: the themes a world may be made from, islands with no land to build on, and
// one seeded 10 x 10 island generated, written and loaded back through the world's loader,
// checked for what a player would see: bases tanks can drive between, naval bases on the
// open sea, roads, rivers, forests, settlements and its map images.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "world/floatingwave.h"
#include "generator/creator.h"
#include "platform/bitmap.h"
#include "tests/generator/gen_fixture.h"
#include "world/world.h"
#include "world/worldfile.h"

namespace {

using namespace gentest;
namespace fs = std::filesystem;

TTRVWorldParams Params(int sectors, std::vector<std::string> themes = StandardNames()) {
  TTRVWorldParams p;
  p.mapWidth = p.mapHeight = sectors;
  p.baseCount = 2;
  p.themeNames = std::move(themes);
  return p;
}

TEST(GenCreator, ThemesThatCannotMakeAWorldAreClearErrors) {
  ProgramFolder folder;
  WriteStandardThemes(folder);
  WriteTheme(folder, {"Barracks", {0}, {3, 4, 4}});          // a military theme without buildings
  WriteTheme(folder, {"Crowded", {0}, std::vector<std::uint8_t>(17, 0)});
  std::vector<std::string> fifteen(15, "Basic");
  fifteen.push_back("Military");
  const struct {
    std::vector<std::string> themes;
    std::string mentions;
  } cases[] = {
      {{"Basic", "Arctic", "Water", "Military"}, "Arctic"},   // listed, but its file is missing
      {{"Basic", "Water"}, "Military"},
      {{"Basic", "Water", "Crowded", "Military"}, "17 objects"},
      {fifteen, "15 climate themes"},
      {std::vector<std::string>(17, "Basic"), "17 themes"},
  };
  for (const auto& c : cases) {
    TTRVWorldCreator creator(folder.Path());
    std::string error;
    EXPECT_FALSE(creator.Generate(Params(6, c.themes), error));
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
  }
  // The file named "Barracks" calls itself "Barracks", not "Military": still no military theme.
  fs::copy_file(folder.Path() / "themes" / "Barracks.TRV", folder.Path() / "themes" / "Military.TRV",
                fs::copy_options::overwrite_existing);
  TTRVWorldCreator creator(folder.Path());
  std::string error;
  EXPECT_FALSE(creator.Generate(Params(6), error));
  EXPECT_NE(error.find("Military"), std::string::npos) << error;
}

TEST(GenCreator, MilitaryWithoutBuildingsIsAThemeError) {
  ProgramFolder folder;
  WriteTheme(folder, BasicTheme());
  WriteTheme(folder, WaterTheme());
  WriteTheme(folder, {"Military", {0}, {3, 4, 4}});
  TTRVWorldCreator creator(folder.Path());
  std::string error;
  EXPECT_FALSE(creator.Generate(Params(6), error));
  EXPECT_NE(error.find("buildings"), std::string::npos) << error;
}

TEST(GenCreator, ABlackSketchIsAnErrorAndWritesNothing) {
  ProgramFolder folder;
  WriteStandardThemes(folder);
  TTRVWorldCreator creator(folder.Path());
  creator.Sketch().Reset(6, 6, 0);
  const TTRVCreateResult result = creator.CreateWorld(Params(6), TTRVSketchSource::Given, "Nothing", 1);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error, "");
  EXPECT_EQ(result.layouts, kMaxLayouts);
  EXPECT_TRUE(fs::is_empty(folder.Worlds()));
}

TEST(GenCreator, AWorldThatCannotHoldItsBasesIsNotWritten) {
  ProgramFolder folder;
  WriteStandardThemes(folder);
  TTRVWorldCreator creator(folder.Path());
  platform::Random().Seed(17);
  TTRVWorldParams p = Params(6);
  p.baseCount = 40;  // far more than a 6 x 6 island has room for, 32 cells apart
  const TTRVCreateResult result = creator.CreateWorld(p, TTRVSketchSource::RandomSingle, "Crowded", 40);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.layouts, kMaxLayouts);
  EXPECT_GT(result.basesPlaced, 0);
  EXPECT_LT(result.basesPlaced, 40);
  EXPECT_NE(result.error.find("40"), std::string::npos) << result.error;
  EXPECT_TRUE(fs::is_empty(folder.Worlds()));
}

// The world-creation dialog hands in its painted sketch, one pixel per sector: only the red
// channel says where land goes, so the painted land rises and the rest, however green or blue
// it was painted, stays open sea.
TEST(GenCreator, APaintedSketchPutsLandOnlyWhereItIsRed) {
  ProgramFolder folder;
  WriteStandardThemes(folder);
  platform::Bitmap painted(6, 6, 24);
  painted.FillRect(0, 0, 6, 6, platform::MakeColor(0, 255, 255));
  painted.FillRect(1, 1, 3, 5, platform::MakeColor(200, 0, 0));  // sectors x 1-2, y 1-4
  TTRVWorldCreator creator(folder.Path());
  creator.SetSketch(painted);
  ASSERT_EQ(creator.Sketch().SizeX(), 6);
  ASSERT_EQ(creator.Sketch().SizeZ(), 6);
  platform::Random().Seed(5);
  std::string error;
  ASSERT_TRUE(creator.Generate(Params(6), error)) << error;
  const TTRVGenState& s = creator.State();
  // Inside the red sectors, 8 cells in from their edge; beyond them, past the next sector,
  // where the land the field spreads from the red ones cannot reach.
  int inside = 0, landInside = 0, landBeyond = 0;
  for (int x = 0; x < s.Length(); ++x)
    for (int z = 0; z < s.RowLength(); ++z) {
      const bool land = s.classGrid(x, z) != tcSea;
      if (x >= 32 + 8 && x < 3 * 32 - 8 && z >= 32 + 8 && z < 5 * 32 - 8) {
        ++inside;
        landInside += land;
      }
      if (x >= 4 * 32 + 8) landBeyond += land;
    }
  EXPECT_GT(landInside, inside / 2) << "the red sectors become land";
  EXPECT_EQ(landBeyond, 0) << "sectors painted without red stay sea";
}

// Sea on a square at the corner and land everywhere else, as if the island had grown that way.
void SeaOnlyInTheCorner(TTRVGenState& s, int size) {
  for (int x = 0; x < s.Length(); ++x)
    for (int z = 0; z < s.RowLength(); ++z) {
      const bool corner = x < size && z < size;
      if (corner) {
        s.elevation(x, z) = 0;
        s.classGrid(x, z) = tcSea;
      } else if (s.classGrid(x, z) == tcSea || s.elevation(x, z) == 0) {
        s.elevation(x, z) = 5;
        s.classGrid(x, z) = tcOpenGround;
      }
    }
}

// Land on the corner cell: the world's loader refuses such a world, so it must never be
// written, whichever way the island is saved.
TEST(GenCreator, AnIslandTheLoaderWouldRefuseIsNotWritten) {
  ProgramFolder folder;
  WriteStandardThemes(folder);
  auto landOnTheCorner = [](TTRVGenState& s) {
    for (int x = 0; x < 12; ++x)
      for (int z = 0; z < 12; ++z) {
        s.elevation(x, z) = 30;
        s.classGrid(x, z) = tcOpenGround;
      }
  };
  {
    TTRVWorldCreator creator(folder.Path());
    platform::Random().Seed(31);
    std::string error;
    ASSERT_TRUE(creator.DrawSketch(false, Params(6), error)) << error;
    ASSERT_TRUE(creator.Generate(Params(6), error)) << error;
    landOnTheCorner(creator.State());
    EXPECT_FALSE(creator.PlaceBasesAndSave("Cornered", error));
    EXPECT_NE(error.find("cell (3, 3)"), std::string::npos) << error;
  }
  {
    TTRVWorldCreator creator(folder.Path());
    creator.onStage = [&](std::string_view stage) {
      if (stage == "bases") landOnTheCorner(creator.State());
    };
    platform::Random().Seed(31);
    const TTRVCreateResult result = creator.CreateWorld(Params(6), TTRVSketchSource::RandomSingle, "Cornered", 0);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.layouts, kMaxLayouts);
    EXPECT_NE(result.error.find("cell (3, 3)"), std::string::npos) << result.error;
  }
  EXPECT_TRUE(fs::is_empty(folder.Worlds()));
}

// Side i takes naval base i when it is a naval side: an island that cannot hold a naval base
// for every side asked for is not written, and the result says how many it held.
TEST(GenCreator, NavalBasesForEverySideAreGuaranteedOrReported) {
  ProgramFolder folder;
  WriteStandardThemes(folder);
  const struct {
    int seaInCorner;
    int sides;
    bool ok;
    int navalBases;
  } cases[] = {
      {12, 1, false, 0},  // open sea at the corner, but no room for a pier
      {40, 1, true, 1},
      {40, 2, false, 1},  // a second pier would stand closer than 60 cells to the first
  };
  for (const auto& c : cases) {
    TTRVWorldCreator creator(folder.Path());
    creator.onStage = [&](std::string_view stage) {
      if (stage == "bases") SeaOnlyInTheCorner(creator.State(), c.seaInCorner);
    };
    platform::Random().Seed(8);
    const std::string name = "Harbour" + std::to_string(c.seaInCorner) + "x" + std::to_string(c.sides);
    const TTRVCreateResult result = creator.CreateWorld(Params(6), TTRVSketchSource::RandomSingle, name, c.sides);
    EXPECT_EQ(result.ok, c.ok) << name << ": " << result.error;
    EXPECT_EQ(result.navalBasesPlaced, c.navalBases) << name;
    EXPECT_GE(result.basesPlaced, c.sides) << name << ": the land bases were not what was missing";
    EXPECT_EQ(fs::exists(folder.Worlds() / (name + ".TRV")), c.ok) << name;
    if (!c.ok) {
      EXPECT_EQ(result.layouts, kMaxLayouts) << name;
      EXPECT_NE(result.error.find("naval"), std::string::npos) << result.error;
    }
  }
}

// One island for all the whole-island checks: generated once, loaded once.
class GenIsland : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new ProgramFolder;
    WriteStandardThemes(*folder_);
    creator_ = new TTRVWorldCreator(folder_->Path());
    creator_->onStage = [](std::string_view stage) { stages_.emplace_back(stage); };
    creator_->progress.repaint = [](const TTRVProgressView& v) { progress_.push_back(v.progress); };
    platform::Random().Seed(2024);
    result_ = creator_->CreateWorld(Params(10), TTRVSketchSource::RandomSingle, "Isle", 2);
    if (!result_.ok) return;
    scene_ = new TGLScene;
    world_ = CreateLoadedWorld(worldtest::Context(*folder_, scene_), "Isle", true, nullptr, loadError_).release();
  }
  static void TearDownTestSuite() {
    delete world_;
    delete scene_;
    delete creator_;
    delete folder_;
  }
  void SetUp() override {
    ASSERT_TRUE(result_.ok) << result_.error;
    ASSERT_NE(world_, nullptr) << loadError_;
  }
  static const TTRVGenState& State() { return creator_->State(); }
  static int CountClass(int c) {
    return static_cast<int>(std::ranges::count(State().classGrid.Cells(), static_cast<std::uint8_t>(c)));
  }

  static inline ProgramFolder* folder_ = nullptr;
  static inline TTRVWorldCreator* creator_ = nullptr;
  static inline TGLScene* scene_ = nullptr;
  static inline TTRVWorld* world_ = nullptr;
  static inline TTRVCreateResult result_;
  static inline std::string loadError_;
  static inline std::vector<std::string> stages_;
  static inline std::vector<int> progress_;
};

TEST_F(GenIsland, RunsEveryStageInOrderWithRisingProgress) {
  const std::vector<std::string> order = {"themes_read", "elevation", "zones",  "terraces",   "rivers",
                                          "roads",       "settlements", "forests", "themes",   "grass",
                                          "bases",       "world_file",  "map",     "write"};
  std::vector<std::string> last(stages_.end() - static_cast<std::ptrdiff_t>(order.size()), stages_.end());
  EXPECT_EQ(last, order);
  ASSERT_FALSE(progress_.empty());
  EXPECT_TRUE(std::ranges::is_sorted(progress_));
  EXPECT_GE(creator_->progress.View().progress, 990);
  // Thousands of progress steps, far fewer repaints.
  EXPECT_GT(creator_->progress.Calls(), 1000);
  EXPECT_LT(creator_->progress.Repaints(), creator_->progress.Calls() / 4);
}

TEST_F(GenIsland, WritesTheWorldWithItsMapAndThumbnail) {
  const fs::path worlds = folder_->Worlds();
  platform::Bitmap map, thumb;
  std::string error;
  ASSERT_TRUE(map.LoadBmpFile((worlds / "IsleMAP.bmp").string(), error)) << error;
  ASSERT_TRUE(thumb.LoadBmpFile((worlds / "IsleTHUMB.bmp").string(), error)) << error;
  EXPECT_EQ(map.Width(), 512);
  EXPECT_EQ(map.Height(), 512);
  EXPECT_EQ(thumb.Width(), 80);
  EXPECT_EQ(thumb.Height(), 80);
  EXPECT_FALSE(fs::exists(worlds / "Isle.TRV.part"));
  EXPECT_EQ(world_->sectorCountX, 10);
  EXPECT_EQ(world_->heightDivisor, 15.0f);
  EXPECT_EQ(world_->climateThemeCount, 3);
}

TEST_F(GenIsland, HoldsRoadsRiversForestsSettlementsAndGrass) {
  EXPECT_GT(CountClass(tcRoad), 100);
  EXPECT_GT(CountClass(tcRiver), 6);
  EXPECT_GT(CountClass(tcForest), 100);
  EXPECT_GT(CountClass(tcSettlement), 20);
  EXPECT_GT(CountClass(tcSea), 320 * 320 / 4);
  EXPECT_EQ(CountClass(3), 0);
  int trees = 0, buildings = 0;
  for (const TTRVGenPlacement& p : State().placements) {
    trees += p.purpose == ppTree;
    buildings += p.purpose == ppBuilding;
    EXPECT_LT(p.theme, State().themes.size());
    EXPECT_LT(p.object, State().themes[p.theme].objectKinds.size());
  }
  EXPECT_GT(trees, 50);
  EXPECT_GT(buildings, 5);
  EXPECT_GT(std::ranges::count(world_->grassGrid.Cells(), 1), 100);
}

TEST_F(GenIsland, RiversRunDownhillToTheSea) {
  // Rivers end in the sea: some river cell touches it.
  const TTRVGrid<std::uint8_t>& cls = State().classGrid;
  int mouths = 0;
  for (int x = 1; x < 319; ++x)
    for (int z = 1; z < 319; ++z) {
      if (cls(x, z) != tcRiver) continue;
      bool sea = false;
      for (const TTRVCell& n : {TTRVCell{x - 1, z}, {x + 1, z}, {x, z - 1}, {x, z + 1}}) sea = sea || cls(n.x, n.z) == tcSea;
      mouths += sea;
    }
  EXPECT_GT(mouths, 0);
}

TEST_F(GenIsland, LandBasesAreReachableFromEachOtherOnTheGroundGrid) {
  ASSERT_EQ(world_->landBases.size(), 2u);
  EXPECT_EQ(result_.basesPlaced, 2);
  TTRVWorldWave wave;
  const TTRVLandBase& first = world_->landBases[0];
  ASSERT_TRUE(world_->groundPathFinder.Passable(first.cell.x, first.cell.z));
  wave.Compute(world_->groundPathFinder.grid, {first.cell.x, first.cell.z}, 0);
  for (const TTRVLandBase& b : world_->landBases) {
    EXPECT_TRUE(wave.Reached(b.cell.x, b.cell.z)) << b.cell.x << "," << b.cell.z;
    const int dx = b.cell.x - first.cell.x, dz = b.cell.z - first.cell.z;
    if (&b != &first) {
      EXPECT_GE(dx * dx + dz * dz, 32 * 32);
    }
    // Its compound: defence points on the fence line around it.
    for (const TTRVCell16& d : b.turretCells) {
      EXPECT_LE(std::abs(d.x - b.cell.x), 15);
      EXPECT_LE(std::abs(d.z - b.cell.z), 15);
    }
  }
}

TEST_F(GenIsland, NavalBasesLieOnOpenSeaBoatsCanReach) {
  EXPECT_EQ(result_.navalBasesPlaced, 8);
  for (const TTRVCell16& n : world_->navalBases) {
    EXPECT_TRUE(world_->waterPathFinder.Passable(n.x, n.z)) << n.x << "," << n.z;
  }
}

}  // namespace

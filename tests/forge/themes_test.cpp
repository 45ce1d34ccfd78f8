// The forge's themes as the game reads them: every theme loads clean through TTRVTheme with the
// names, kinds, part orders and class materials the world relies on; the unit parts fit their
// rigs; the naval turret slots stand on the pier; the HUD names every material the HUD and the
// projectiles ask for; and forging again writes the same bytes.
//
// The themes checked are the ones the build forged into its program folder (the game-data
// target, a dependency of this executable): forging them once per test would cost minutes
// under the sanitizers, and these are the very files the game of this build loads.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/paths.h"
#include "tools/forge/forge.h"
#include "world/theme.h"

namespace forge {
bool ForgeGroundThemes(const ForgeContext& context, std::string& error);
bool ForgeMilitaryTheme(const ForgeContext& context, std::string& error);
bool ForgeUnitThemes(const ForgeContext& context, std::string& error);
bool ForgeHudTheme(const ForgeContext& context, std::string& error);
bool ForgeScreenTheme(const ForgeContext& context, std::string& error);
}  // namespace forge

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const char* const kAllThemes[] = {"Basic", "BasicDry", "Desert", "Arctic", "Water", "Military",
                                  "Heli",  "Tank",     "Boat",   "Turret", "HUD",   "Screen"};
const char* const kClimates[] = {"Basic", "BasicDry", "Desert", "Arctic"};

void RunThemeSteps(const fs::path& out) {
  forge::ForgeContext context;
  context.outDir = out;
  context.scratch = out / ".scratch";
  context.quick = true;
  for (auto step : {forge::ForgeGroundThemes, forge::ForgeMilitaryTheme, forge::ForgeUnitThemes, forge::ForgeHudTheme,
                    forge::ForgeScreenTheme}) {
    std::string error;
    ASSERT_TRUE(step(context, error)) << error;
  }
}

Bytes ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The test build's program folder: the test executables sit in tests/ beside game/.
fs::path BuiltProgramFolder() { return platform::ProgramFolder().parent_path() / "game"; }

class ForgedThemes : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = BuiltProgramFolder(); }
  void SetUp() override {
    ASSERT_TRUE(fs::is_directory(dir_ / "themes")) << dir_ << " holds no forged themes; build the game-data target";
  }

  static TTRVThemeFileData Data(const std::string& name) {
    TTRVThemeFileData data;
    std::string error;
    EXPECT_TRUE(ParseThemeFile(ReadAll(dir_ / "themes" / (name + ".TRV")), data, error)) << name << ": " << error;
    return data;
  }
  static const TTRVMaterialRecord* FindMaterial(const TTRVThemeFileData& d, const std::string& name) {
    for (const TTRVMaterialRecord& m : d.materials)
      if (m.materialName == name) return &m;
    return nullptr;
  }
  static TMeshTriangles Triangles(const TTRVObjectRecord& o) {
    TMeshObjectList list;
    std::size_t pos = 0;
    std::string error;
    EXPECT_TRUE(ReadMeshObjectList(o.meshes, pos, list, error)) << o.objectName << ": " << error;
    TMeshTriangles all;
    for (const auto& mesh : list) {
      const TMeshTriangles& t = mesh->Triangles();
      all.positions.insert(all.positions.end(), t.positions.begin(), t.positions.end());
      all.normals.insert(all.normals.end(), t.normals.begin(), t.normals.end());
    }
    return all;
  }
  static void Extents(const TTRVObjectRecord& o, TAffineVector& lo, TAffineVector& hi) {
    TMeshTriangles t = Triangles(o);
    lo = TAffineVector(1e9f), hi = TAffineVector(-1e9f);
    for (const TAffineVector& p : t.positions) lo = glm::min(lo, p), hi = glm::max(hi, p);
  }
  static inline fs::path dir_;
};

TEST_F(ForgedThemes, EveryThemeLoadsCleanWithItsOwnNameAndAtMostSixteenObjects) {
  for (const char* name : kAllThemes) {
    SCOPED_TRACE(name);
    TTRVTheme theme;
    TTRVThemeLoadResult r = theme.LoadThemeFile(dir_ / "themes" / (std::string(name) + ".TRV"));
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.warning, "");  // CheckThemeRules has nothing to say
    EXPECT_EQ(theme.themeName, name);
    EXPECT_LE(theme.objectInfos.size(), 16u);
    EXPECT_FALSE(theme.materialInfos.empty());
    for (std::size_t i = 0; i < theme.objectInfos.size(); ++i)
      EXPECT_NE(theme.materialLibrary.GetLibMaterialByName(theme.objectInfos[i].objectMaterial), nullptr)
          << theme.objectInfos[i].objectName;
  }
}

TEST_F(ForgedThemes, ClimatesLayTheirGroundAndDressTheirLand) {
  for (const char* name : kClimates) {
    SCOPED_TRACE(name);
    TTRVTheme theme;
    ASSERT_TRUE(theme.LoadThemeFile(dir_ / "themes" / (std::string(name) + ".TRV")).ok);
    for (int c : {1, 2, 6}) EXPECT_TRUE(theme.HasClassMaterial(c)) << "class " << c;
    for (int c : {4, 5}) EXPECT_FALSE(theme.HasClassMaterial(c)) << "class " << c;
    EXPECT_TRUE(theme.HasClassMaterial(0));  // the generator's climate zones need it
    const TTRVMaterialInfo& base = theme.materialInfos[0];
    EXPECT_TRUE(base.heightLayer && base.paintsClass == 0 && base.alphaMode == 0);
    int bands = 0, slopes = 0;
    for (const TTRVMaterialInfo& m : theme.materialInfos) {
      if (m.heightLayer && m.paintsClass == 0 && m.bandHigh > m.bandLow) ++bands;
      if (m.slopeLayer) {
        ++slopes;
        EXPECT_NEAR(m.slopeThreshold, 40, 5);
      }
    }
    EXPECT_GE(bands, 2);
    EXPECT_LE(bands, 4);
    EXPECT_EQ(slopes, 1);
    // Land bytes just above the sea and high up are both covered by some band.
    for (int h : {2, 60, 128, 200, 250}) {
      int weight = 0;
      for (const TTRVMaterialInfo& m : theme.materialInfos)
        if (m.heightLayer && m.paintsClass == 0) weight += m.heightWeights[h];
      EXPECT_GT(weight, 0) << "height byte " << h;
    }
    EXPECT_GE(theme.treeObjects.size(), 2u);
    EXPECT_LE(theme.treeObjects.size(), 4u);
    EXPECT_GE(theme.buildingObjects.size(), 2u);
    EXPECT_LE(theme.buildingObjects.size(), 4u);
    EXPECT_GE(theme.grassObjects.size(), 1u);
    EXPECT_LE(theme.grassObjects.size(), 2u);
  }
}

TEST_F(ForgedThemes, ClimateObjectsCarryTheirObstaclesAndHeights) {
  for (const char* name : kClimates) {
    const TTRVThemeFileData d = Data(name);
    for (const TTRVObjectRecord& o : d.objects) {
      SCOPED_TRACE(std::string(name) + " " + o.objectName);
      TAffineVector lo, hi;
      Extents(o, lo, hi);
      if (o.kind != okObstacle) {
        EXPECT_NEAR(lo.y, 0, 0.06f);  // stands on the ground (rocks sit half buried)
      }
      if (o.kind == okTree) {
        EXPECT_GE(o.height, 1.5f);
        EXPECT_LE(o.height, 3.0f);
        EXPECT_NEAR(hi.y, o.height, 0.15f);
        ASSERT_EQ(o.markers.size(), 1u);  // the trunk
      }
      if (o.kind == okBuilding) {
        ASSERT_FALSE(o.markers.empty());
        EXPECT_NEAR(hi.y, o.height, 0.1f);
        EXPECT_LE(hi.x - lo.x, 1.0f);  // one building to a cell
        EXPECT_LE(hi.z - lo.z, 1.0f);
        for (const TTRVMarkerPoint& m : o.markers) EXPECT_NEAR(m.position.y, m.scale.y / 2, 0.01f);  // walls from the ground
      }
      if (o.kind == okGrass) {
        EXPECT_EQ(FindMaterial(d, o.objectMaterial)->alphaMode, 1);
      }
    }
  }
}

TEST_F(ForgedThemes, WaterHoldsOnlyTheSeaAndTheRiver) {
  TTRVTheme theme;
  ASSERT_TRUE(theme.LoadThemeFile(dir_ / "themes" / "Water.TRV").ok);
  ASSERT_EQ(theme.materialInfos.size(), 2u);
  EXPECT_EQ(theme.materialInfos[0].paintsClass, 4);
  EXPECT_EQ(theme.materialInfos[1].paintsClass, 5);
  EXPECT_TRUE(theme.objectInfos.empty());
}

TEST_F(ForgedThemes, UnitThemesHoldTheirPartsInRigOrderUnderOneMaterial) {
  const std::map<std::string, std::size_t> parts = {{"Heli", 3}, {"Tank", 3}, {"Boat", 4}, {"Turret", 2}};
  for (const auto& [name, count] : parts) {
    SCOPED_TRACE(name);
    const TTRVThemeFileData d = Data(name);
    ASSERT_EQ(d.materials.size(), 1u);
    EXPECT_EQ(d.materials[0].paintsClass, 0);
    EXPECT_EQ(d.objects.size(), count);
    for (const TTRVObjectRecord& o : d.objects) EXPECT_EQ(o.objectMaterial, d.materials[0].materialName);
  }
}

// Each row: a part's extents in its own frame, as its rig and hit box need them.
struct PartFit {
  const char* theme;
  int part;
  TAffineVector lo, hi;
  float tolerance;
};

TEST_F(ForgedThemes, UnitPartsFitTheirRigs) {
  const PartFit fits[] = {
      {"Heli", 0, {-0.17f, -0.19f, -0.56f}, {0.17f, 0.06f, 0.33f}, 0.03f},   // fuselage round the hit box, skids at -0.19
      {"Heli", 1, {-0.45f, -0.012f, -0.45f}, {0.45f, 0.012f, 0.45f}, 0.02f}, // rotor disc at the hub
      {"Heli", 2, {-0.026f, -0.024f, -0.026f}, {0.026f, 0.024f, 0.12f}, 0.01f},
      {"Tank", 0, {-0.198f, 0, -0.295f}, {0.198f, 0.16f, 0.295f}, 0.015f},
      {"Tank", 1, {-0.125f, 0.15f, -0.16f}, {0.125f, 0.38f, 0.16f}, 0.03f},  // the aerial tops it
      {"Tank", 2, {-0.02f, -0.02f, 0}, {0.02f, 0.02f, 0.3f}, 0.01f},
      {"Boat", 0, {-0.351f, -0.09f, -2.155f}, {0.351f, 1.3f, 2.155f}, 0.02f},  // to the mast head
      {"Boat", 2, {-0.024f, -0.024f, 0}, {0.024f, 0.024f, 0.33f}, 0.01f},
      {"Boat", 3, {-0.1f, 0, -0.14f}, {0.1f, 0.2f, 0.14f}, 0.02f},
      {"Turret", 0, {-0.25f, 0, -0.25f}, {0.25f, 1.0f, 0.25f}, 0.02f},
      {"Turret", 1, {-0.19f, -0.005f, -0.17f}, {0.19f, 0.15f, 0.35f}, 0.02f},
  };
  for (const PartFit& f : fits) {
    SCOPED_TRACE(std::string(f.theme) + " part " + std::to_string(f.part));
    TAffineVector lo, hi;
    Extents(Data(f.theme).objects.at(f.part), lo, hi);
    for (int a = 0; a < 3; ++a) {
      EXPECT_NEAR(lo[a], f.lo[a], f.tolerance) << "axis " << a;
      EXPECT_NEAR(hi[a], f.hi[a], f.tolerance) << "axis " << a;
    }
  }
}

TEST_F(ForgedThemes, FacesWindCounterClockwiseFromTheirLitSide) {
  for (const char* name : kAllThemes) {
    const TTRVThemeFileData d = Data(name);
    for (const TTRVObjectRecord& o : d.objects) {
      TMeshTriangles t = Triangles(o);
      ASSERT_EQ(t.normals.size(), t.positions.size()) << o.objectName;
      int flipped = 0;
      for (std::size_t i = 0; i + 2 < t.positions.size(); i += 3) {
        TAffineVector n = glm::cross(t.positions[i + 1] - t.positions[i], t.positions[i + 2] - t.positions[i]);
        for (int k = 0; k < 3; ++k)
          if (glm::dot(n, t.normals[i + k]) < -1e-7f) ++flipped;
      }
      EXPECT_EQ(flipped, 0) << name << " " << o.objectName;
    }
  }
}

TEST_F(ForgedThemes, MilitaryKeepsItsObjectOrderAndItsPierCarriesEveryNavalTurretSlot) {
  const TTRVThemeFileData d = Data("Military");
  ASSERT_GE(d.objects.size(), 5u);
  EXPECT_EQ(d.objects[0].kind, okObstacle);
  EXPECT_EQ(d.objects[1].kind, okImposterObject);
  EXPECT_NE(d.objects[2].kind, okBuilding);  // never drawn as a random base building
  for (std::size_t i = 3; i < d.objects.size(); ++i) EXPECT_EQ(d.objects[i].kind, okBuilding);
  EXPECT_TRUE(FindMaterial(d, d.materials[0].materialName)->heightLayer);
  EXPECT_TRUE(std::ranges::any_of(d.materials, [](const auto& m) { return m.paintsClass == 6; }));

  // The wall runs one unit along +X with its obstacle over it.
  TAffineVector lo, hi;
  Extents(d.objects[1], lo, hi);
  EXPECT_NEAR(lo.x, 0, 1e-4f);
  EXPECT_NEAR(hi.x, 1, 1e-4f);
  ASSERT_EQ(d.objects[1].markers.size(), 1u);
  EXPECT_NEAR(d.objects[1].markers[0].position.x, 0.5f, 1e-4f);
  EXPECT_NEAR(d.objects[1].markers[0].scale.x, 1, 1e-4f);
  EXPECT_NEAR(d.objects[1].markers[0].scale.y, d.objects[1].height, 1e-4f);

  // The pier's deck, and for each slot the highest upward face above it at the slot's height.
  Extents(d.objects[2], lo, hi);
  EXPECT_NEAR(lo.x, -7, 0.15f);
  EXPECT_NEAR(hi.x, 7, 0.15f);
  EXPECT_NEAR(lo.z, -2, 0.15f);
  EXPECT_NEAR(hi.z, 2, 0.15f);
  const TMeshTriangles t = Triangles(d.objects[2]);
  const float slots[16][3] = {{2.378f, 1.597f, 1.241f},  {0.277f, 1.684f, 1.306f},   {-6.454f, 0.939f, -1.376f},
                              {-6.454f, 0.939f, 1.328f}, {3.293f, 0.939f, 1.328f},   {1.853f, 0.939f, -1.427f},
                              {-2.48f, 0.939f, -1.427f}, {-0.223f, 0.939f, -1.427f}, {-3.673f, 0.939f, 1.345f},
                              {-1.946f, 0.939f, 1.345f}, {-5.132f, 0.939f, 1.345f},  {-4.595f, 0.939f, -1.409f},
                              {-3.565f, 0.939f, -1.409f}, {-1.411f, 0.939f, -1.409f}, {0.758f, 0.939f, -1.409f},
                              {0.658f, 0.939f, -1.409f}};
  for (const auto& s : slots) {
    float top = -1e9f;
    for (std::size_t i = 0; i + 2 < t.positions.size(); i += 3) {
      TAffineVector a = t.positions[i], b = t.positions[i + 1], c = t.positions[i + 2];
      if (glm::cross(b - a, c - a).y <= 0) continue;
      // Inside the triangle seen from above: same side of all three edges.
      auto side = [&](TAffineVector p, TAffineVector q) { return (q.x - p.x) * (s[2] - p.z) - (q.z - p.z) * (s[0] - p.x); };
      float e0 = side(a, b), e1 = side(b, c), e2 = side(c, a);
      if (!((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))) continue;
      top = std::max(top, std::max({a.y, b.y, c.y}));
    }
    EXPECT_NEAR(top, s[1], 0.01f) << "slot at " << s[0] << ", " << s[2];
  }
}

TEST_F(ForgedThemes, HudNamesEveryMaterialTheGameAsksFor) {
  const TTRVThemeFileData d = Data("HUD");
  const char* const names[] = {"HUDmask", "HUDarmor", "HUDcursorFire", "HUDcursorNoFire", "HUDcursorUnknownFire",
                               "HUDmagnifier", "HUDresize", "HUDArtillery", "HUDiconMachinegun", "HUDselectMachinegun",
                               "HUDiconGun", "HUDselectGun", "HUDiconRocket", "HUDselectRocket", "TimeAccel",
                               "HUDshield", "HUDnums", "HUDkills", "IconHeli", "IconTank", "IconBoat", "IconTurret",
                               "HUDtargetFire", "HUDtargetNoFire", "HUDBase", "Bomb"};
  for (const char* name : names) {
    const TTRVMaterialRecord* m = FindMaterial(d, name);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(m->alphaMode, 1) << name;  // cut out of the black around it
  }
  EXPECT_EQ(d.materials.size(), std::size(names));
}

// The gauge turns under the frame; a gauge reaching the frame's edges shows as a coloured
// sliver round the map once resampling at a turn moves its edge by a texel.
TEST_F(ForgedThemes, ArmourGaugeStaysATexelInsideTheMapFrame) {
  const TTRVThemeFileData d = Data("HUD");
  platform::Bitmap mask, gauge;
  std::string error;
  ASSERT_TRUE(mask.LoadBmpFromMemory(FindMaterial(d, "HUDmask")->bmp, error)) << error;
  ASSERT_TRUE(gauge.LoadBmpFromMemory(FindMaterial(d, "HUDarmor")->bmp, error)) << error;
  ASSERT_EQ(mask.Width(), gauge.Width());
  ASSERT_EQ(mask.Height(), gauge.Height());
  auto radii = [](const platform::Bitmap& b, double& lo, double& hi) {
    lo = 1e9, hi = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        if (b.Pixel(x, y) == 0) continue;
        const double r = std::hypot(x + 0.5 - b.Width() / 2.0, y + 0.5 - b.Height() / 2.0);
        lo = std::min(lo, r), hi = std::max(hi, r);
      }
  };
  double frameLo, frameHi, gaugeLo, gaugeHi;
  radii(mask, frameLo, frameHi);
  radii(gauge, gaugeLo, gaugeHi);
  EXPECT_GE(gaugeLo, frameLo + 1);
  EXPECT_LE(gaugeHi, frameHi - 1);
}

TEST_F(ForgedThemes, SideColouredHudPicturesAreWhiteSilhouettesOnBlack) {
  const TTRVThemeFileData d = Data("HUD");
  for (const char* name : {"IconHeli", "IconTank", "IconBoat", "IconTurret", "HUDtargetFire", "HUDtargetNoFire", "HUDBase"}) {
    platform::Bitmap b;
    std::string error;
    ASSERT_TRUE(b.LoadBmpFromMemory(FindMaterial(d, name)->bmp, error)) << name << ": " << error;
    int black = 0, white = 0, other = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        platform::Color c = b.Pixel(x, y);
        if (c == 0) ++black;
        else if (c == platform::MakeColor(255, 255, 255)) ++white;
        else ++other;
      }
    EXPECT_GT(black, 0) << name;
    EXPECT_GT(white, b.Width() * b.Height() / 20) << name;
    EXPECT_EQ(other, 0) << name;
  }
}

TEST_F(ForgedThemes, ScreenPicturesKeepTheirShapes) {
  const TTRVThemeFileData d = Data("Screen");
  struct Want {
    const char* name;
    int aspect;
  };
  for (const Want& w : {Want{"SCREENkvor", 4}, Want{"SCREENzmv", 16}, Want{"SCREENhead", 1}}) {
    const TTRVMaterialRecord* m = FindMaterial(d, w.name);
    ASSERT_NE(m, nullptr) << w.name;
    platform::BmpInfo info;
    std::string error;
    ASSERT_TRUE(platform::InspectBmp(m->bmp, info, error)) << error;
    EXPECT_EQ(info.width, info.height * w.aspect) << w.name;
  }
}

TEST_F(ForgedThemes, GroundThemeListNamesTheFourClimatesThatExist) {
  const Bytes bytes = ReadAll(dir_ / "themes" / "GroundThemes.txt");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Basic\r\nBasicDry\r\nDesert\r\nArctic\r\n");
  for (const char* name : kClimates) EXPECT_TRUE(fs::exists(dir_ / "themes" / (std::string(name) + ".TRV"))) << name;
}

// The build's forge ran in a process of its own; forging again here must match it byte for byte.
TEST_F(ForgedThemes, ForgingAgainWritesTheSameBytes) {
  const fs::path again = fs::temp_directory_path() / ("forge-themes-" + std::to_string(getpid()));
  fs::remove_all(again);
  RunThemeSteps(again);
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(again / "themes")) {
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(ReadAll(entry.path()), ReadAll(dir_ / "themes" / entry.path().filename()));
    ++compared;
  }
  EXPECT_GE(compared, static_cast<int>(std::size(kAllThemes)) + 1);  // and the ground theme list
  fs::remove_all(again);
}

}  // namespace

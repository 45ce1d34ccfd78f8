// Theme files: what a loaded theme holds, height weights, material set-up, broken and cut
// files, the object limits of byte indices, and the rules shipped themes obey. Fixtures are
// written here with the theme writer: two materials with a 4x4 texture, two small models.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "scene/meshobject.h"
#include "world/theme.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes TinyBmp() {
  platform::Bitmap b(4, 4, 24);
  b.FillRect(0, 0, 4, 4, platform::MakeColor(40, 160, 60));
  b.SetPixel(0, 0, 0);  // one super-black pixel for the cut-out
  return b.EncodeBmp();
}

Bytes TinyMesh() {
  TMeshObjectList list;
  list.Add(MakeMeshObject("tri", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  Bytes out;
  WriteMeshObjectList(list, out);
  return out;
}

TTRVMaterialRecord Material(std::string name, std::uint8_t heightLayer = 0, std::uint8_t alphaMode = 0) {
  TTRVMaterialRecord m;
  m.materialName = std::move(name);
  m.heightLayer = heightLayer;
  m.alphaMode = alphaMode;
  m.bmp = TinyBmp();
  return m;
}

TTRVObjectRecord Object(std::string name, std::uint8_t kind, std::string material = "Leaves") {
  TTRVObjectRecord o;
  o.objectName = std::move(name);
  o.objectMaterial = std::move(material);
  o.kind = kind;
  o.height = 2.5f;
  o.meshes = TinyMesh();
  return o;
}

// The 2-material, 2-object theme most tests start from.
TTRVThemeFileData Fixture() {
  TTRVThemeFileData d;
  d.themeName = "Basic";
  TTRVMaterialRecord grass = Material("Grass", 1);
  grass.infoText1 = "meadow";
  grass.infoText2 = "low";
  grass.bandLow = 50, grass.bandPeak = 100, grass.bandHigh = 150;
  grass.textureScale = 4;
  grass.slopeLayer = 1, grass.slopeThreshold = 12;
  d.materials.push_back(grass);
  d.materials.push_back(Material("Leaves", 0, 1));
  TTRVObjectRecord pine = Object("Pine", okTree);
  pine.objectText = "conifer";
  pine.height = 6.5f;
  pine.markers = {{{1, 2, 3}, {0.5f, 1, 2}}};
  d.objects.push_back(pine);
  TTRVObjectRecord house = Object("House", okBuilding, "Grass");
  house.markers = {{{0, 0, 0}, {1, 1, 1}}, {{-4, 0.25f, 9}, {3, 3, 3}}};
  d.objects.push_back(house);
  return d;
}

// File offsets after the magic and name, then after each record (materials first, as written).
std::vector<std::size_t> RecordEnds(const TTRVThemeFileData& d) {
  std::vector<std::size_t> ends;
  TTRVThemeFileData part;
  part.themeName = d.themeName;
  ends.push_back(WriteThemeFile(part).size());
  for (const auto& m : d.materials) part.materials.push_back(m), ends.push_back(WriteThemeFile(part).size());
  for (const auto& o : d.objects) part.objects.push_back(o), ends.push_back(WriteThemeFile(part).size());
  return ends;
}

// The record bytes of a file, without its magic and name.
Bytes RecordsOf(const TTRVThemeFileData& d) {
  Bytes file = WriteThemeFile(d);
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(RecordEnds(d)[0]), file.end());
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ThemeFile, OnlyMagicAndNameGivesAnEmptyNamedTheme) {
  TTRVThemeFileData d;
  d.themeName = "Arctic";
  TTRVTheme theme;
  const TTRVThemeLoadResult r = theme.LoadThemeBytes(WriteThemeFile(d));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(theme.themeName, "Arctic");
  EXPECT_EQ(theme.materialLibrary.Count(), 0);
  EXPECT_EQ(theme.objectRoot.Count(), 0);
  for (int c = 0; c < 256; ++c) EXPECT_FALSE(theme.HasClassMaterial(c)) << c;
  for (int k = 0; k < 256; ++k) EXPECT_EQ(theme.ObjectsOfKind(k), Bytes{0}) << k;
}

TEST(ThemeFile, WriterAndReaderMirrorEachOther) {
  const TTRVThemeFileData d = Fixture();
  const Bytes file = WriteThemeFile(d);
  ASSERT_FALSE(file.empty()) << ThemeFileFault(d);
  TTRVThemeFileData back;
  std::string error;
  ASSERT_TRUE(ParseThemeFile(file, back, error)) << error;
  EXPECT_EQ(WriteThemeFile(back), file);
  ASSERT_EQ(back.materials.size(), 2u);
  EXPECT_EQ(back.materials[0].infoText2, "low");
  EXPECT_EQ(back.materials[0].slopeThreshold, 12);
  EXPECT_EQ(back.materials[1].bmp, TinyBmp());
  ASSERT_EQ(back.objects.size(), 2u);
  EXPECT_EQ(back.objects[0].height, 6.5f);
  EXPECT_EQ(back.objects[1].meshes, TinyMesh());
  EXPECT_EQ(back.objects[1].markers[1].position, TAffineVector(-4, 0.25f, 9));
}

TEST(ThemeFile, LoadedThemeHoldsMaterialsAndModelsInFileOrder) {
  TTRVTheme theme;
  const TTRVThemeLoadResult r = theme.LoadThemeBytes(WriteThemeFile(Fixture()), "Basic");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.warning, "");
  EXPECT_EQ(theme.themeName, "Basic");
  ASSERT_EQ(theme.materialLibrary.Count(), 2);
  ASSERT_EQ(theme.materialInfos.size(), 2u);
  EXPECT_EQ(theme.materialLibrary.Materials(1)->Name, "Leaves");
  EXPECT_EQ(theme.materialInfos[0].infoText1, "meadow");
  EXPECT_EQ(theme.materialInfos[0].slopeLayer, 1);
  EXPECT_EQ(theme.materialInfos[0].heightWeights[100], 255);

  ASSERT_EQ(theme.objectRoot.Count(), 2);
  ASSERT_EQ(theme.objectInfos.size(), 2u);
  TGLFreeForm* house = theme.Object(1);
  ASSERT_NE(house, nullptr);
  EXPECT_EQ(house->Name, "House");
  EXPECT_EQ(house->Material.MaterialLibrary, &theme.materialLibrary);
  EXPECT_EQ(house->Material.LibMaterialName, "Grass");
  EXPECT_EQ(&house->Material.Resolved(), &theme.materialLibrary.Materials(0)->Material);
  EXPECT_EQ(house->MeshObjects.TriangleCount(), 1u);
  EXPECT_EQ(theme.objectInfos[0].objectText, "conifer");
  EXPECT_EQ(theme.objectInfos[0].height, 6.5f);
  EXPECT_EQ(theme.treeObjects, Bytes{0});
  EXPECT_EQ(theme.buildingObjects, Bytes{1});
  EXPECT_TRUE(theme.grassObjects.empty());
  EXPECT_EQ(theme.Object(2), nullptr);
  EXPECT_EQ(theme.Object(-1), nullptr);

  // A second load replaces everything.
  TTRVThemeFileData other;
  other.themeName = "Desert";
  other.materials.push_back(Material("Sand"));
  ASSERT_TRUE(theme.LoadThemeBytes(WriteThemeFile(other)).ok);
  EXPECT_EQ(theme.themeName, "Desert");
  EXPECT_EQ(theme.materialLibrary.Count(), 1);
  EXPECT_EQ(theme.objectRoot.Count(), 0);
  EXPECT_TRUE(theme.treeObjects.empty());
}

TEST(ThemeFile, MarkerPointsBecomeDummyCubesOfTheirModel) {
  TTRVTheme theme;
  ASSERT_TRUE(theme.LoadThemeBytes(WriteThemeFile(Fixture())).ok);
  const TTRVThemeFileData d = Fixture();
  for (int i = 0; i < 2; ++i) {
    const TGLFreeForm* form = theme.Object(i);
    ASSERT_EQ(form->Count(), static_cast<int>(d.objects[i].markers.size()));
    for (int m = 0; m < form->Count(); ++m) {
      const auto* marker = dynamic_cast<const TGLDummyCube*>(form->Children(m));
      ASSERT_NE(marker, nullptr);
      EXPECT_EQ(marker->Position.AsAffineVector(), d.objects[i].markers[m].position);
      EXPECT_EQ(marker->Scale.AsAffineVector(), d.objects[i].markers[m].scale);
    }
  }
}

TEST(ThemeHeightWeights, RampsRiseToThePeakAndFallToTheHighEnd) {
  struct Case {
    int lo, pk, hi, h, weight;
  };
  const Case cases[] = {
      {50, 100, 150, 50, 0},   {50, 100, 150, 100, 255}, {50, 100, 150, 150, 0},  {50, 100, 150, 75, 127},
      {50, 100, 150, 125, 127}, {50, 100, 150, 49, 0},   {50, 100, 150, 151, 0},  {50, 100, 150, 0, 0},
      {50, 100, 150, 255, 0},
      // lo = pk: starts at full weight.
      {100, 100, 150, 100, 255}, {100, 100, 150, 99, 0}, {100, 100, 150, 125, 127},
      // pk = hi: ends at full weight.
      {50, 100, 100, 100, 255}, {50, 100, 100, 101, 0}, {50, 100, 100, 75, 127},
      // Thirds of a ramp land on whole weights.
      {0, 3, 6, 1, 85}, {0, 3, 6, 2, 170}, {0, 3, 6, 4, 170}, {0, 3, 6, 5, 85},
      // A peak below the low end has no rising ramp; the falling one is laid all the same.
      {150, 100, 200, 99, 0}, {150, 100, 200, 100, 255}, {150, 100, 200, 120, 204},
      {0, 0, 255, 0, 255}, {0, 255, 255, 255, 255},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ThemeHeightWeights(c.lo, c.pk, c.hi)[c.h], c.weight) << c.lo << "/" << c.pk << "/" << c.hi << " at " << c.h;
  for (int v : {0, 80, 255}) {
    const auto w = ThemeHeightWeights(v, v, v);
    EXPECT_TRUE(std::all_of(w.begin(), w.end(), [](int x) { return x == 0; })) << v;
  }
}

TEST(ThemeMaterials, HeightLayerAndAlphaModeSetUpTheLibraryMaterial) {
  struct Case {
    std::uint8_t heightLayer, alphaMode;
    TGLBlendingMode blending;
    bool unlit, cutOut;
  };
  const Case cases[] = {
      {0, 0, bmOpaque, false, false},      {1, 0, bmAdditive, true, false},
      {0, 1, bmAlphaTest50, false, true},  {0, 2, bmAlphaTest100, true, true},
      {1, 1, bmAlphaTest50, true, true},   {1, 2, bmAlphaTest100, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "heightLayer " << int(c.heightLayer) << ", alphaMode " << int(c.alphaMode));
    TTRVThemeFileData d;
    d.themeName = "T";
    d.materials.push_back(Material("M", c.heightLayer, c.alphaMode));
    d.materials[0].textureScale = 7;
    TTRVTheme theme;
    ASSERT_TRUE(theme.LoadThemeBytes(WriteThemeFile(d)).ok);
    const TGLLibMaterial& lib = *theme.materialLibrary.Materials(0);
    const TGLMaterial& m = lib.Material;
    EXPECT_EQ(m.BlendingMode, c.blending);
    EXPECT_EQ((m.MaterialOptions & moNoLighting) != 0, c.unlit);
    EXPECT_EQ(lib.TextureScale.x, 7);
    EXPECT_EQ(lib.TextureScale.y, 7);
    EXPECT_FALSE(m.Texture.Disabled);
    EXPECT_EQ(m.Texture.Width(), 4);
    EXPECT_EQ(m.Texture.TextureMode, tmModulate);
    EXPECT_EQ(m.FaceCulling == fcNoCull, c.cutOut);
    EXPECT_EQ(m.Texture.ImageAlpha() == tiaSuperBlackTransparent, c.cutOut);
    EXPECT_EQ(m.Texture.TextureFormat == tfRGBA, c.cutOut);
    EXPECT_EQ(m.Texture.TextureWrap == twNone, c.cutOut);
    if (c.cutOut) {
      EXPECT_EQ(m.Texture.ImageWithAlpha()[3], 0);  // the black corner pixel
    }
  }
}

TEST(ThemeFile, BytesOtherThanTagsBetweenRecordsAreSkippedOneByOne) {
  const TTRVThemeFileData d = Fixture();
  TTRVThemeFileData materialsOnly = d, objectsOnly = d;
  materialsOnly.objects.clear();
  objectsOnly.materials.clear();
  const Bytes file = Concat(Concat(WriteThemeFile(materialsOnly), Bytes{0, 'Q', 255}), RecordsOf(objectsOnly));
  for (const Bytes& bytes : {file, Concat(file, Bytes{'x'})}) {
    TTRVTheme theme;
    const TTRVThemeLoadResult r = theme.LoadThemeBytes(bytes);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(theme.materialInfos.size(), 2u);
    ASSERT_EQ(theme.objectInfos.size(), 2u);
    EXPECT_EQ(theme.objectInfos[1].objectName, "House");
  }
}

TEST(ThemeFile, ObstaclesAndImposterObjectsAreInNoKindList) {
  TTRVThemeFileData d;
  d.themeName = "T";
  for (std::uint8_t kind : {0, 3, 1, 4, 2, 0}) d.objects.push_back(Object("o", kind));
  TTRVTheme theme;
  ASSERT_TRUE(theme.LoadThemeBytes(WriteThemeFile(d)).ok);
  EXPECT_EQ(theme.objectInfos.size(), 6u);
  EXPECT_EQ(theme.treeObjects, (Bytes{0, 5}));
  EXPECT_EQ(theme.buildingObjects, Bytes{2});
  EXPECT_EQ(theme.grassObjects, Bytes{4});
  EXPECT_EQ(theme.ObjectsOfKind(0), (Bytes{2, 0, 5}));
  EXPECT_EQ(theme.ObjectsOfKind(3), (Bytes{1, 1}));
  EXPECT_EQ(theme.ObjectsOfKind(4), (Bytes{1, 3}));
  EXPECT_EQ(theme.ObjectsOfKind(5), Bytes{0});
}

// Cut anywhere, a file keeps exactly the records that ended before the cut and says so.
TEST(ThemeFile, CutAtEveryByteKeepsTheCompleteRecordsBefore) {
  const TTRVThemeFileData d = Fixture();
  const Bytes file = WriteThemeFile(d);
  const std::vector<std::size_t> ends = RecordEnds(d);
  ASSERT_EQ(ends.back(), file.size());
  for (std::size_t n = 0; n <= file.size(); ++n) {
    SCOPED_TRACE(n);
    TTRVTheme theme;
    const TTRVThemeLoadResult r = theme.LoadThemeBytes(std::span(file.data(), n));
    std::size_t complete = 0;
    while (complete + 1 < ends.size() && ends[complete + 1] <= n) ++complete;
    const bool atBoundary = n >= ends[0] && n == ends[complete];
    EXPECT_EQ(r.ok, atBoundary);
    EXPECT_EQ(r.error.empty(), atBoundary);
    if (n < ends[0]) {
      EXPECT_EQ(theme.themeName, "");
      complete = 0;
    }
    EXPECT_EQ(theme.materialInfos.size() + theme.objectInfos.size(), complete);
    EXPECT_EQ(theme.materialLibrary.Count(), static_cast<int>(theme.materialInfos.size()));
    EXPECT_EQ(theme.objectRoot.Count(), static_cast<int>(theme.objectInfos.size()));
  }
}

TEST(ThemeFile, BrokenRecordsAreRefusedWithTheRecordsBeforeKept) {
  const TTRVThemeFileData d = Fixture();
  const std::vector<std::size_t> ends = RecordEnds(d);
  // Offsets inside the second material's and the first object's records.
  const std::size_t bmp1 = ends[1] + 1 + 1 + d.materials[1].materialName.size() + 2 + 9;
  const std::size_t obj0 = ends[2] + 1 + (1 + 4) + (1 + 7) + (1 + 6) + 1;  // "Pine", "conifer", "Leaves", kind
  auto put32 = [](Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  struct Case {
    const char* what;
    std::function<Bytes()> make;
    const char* error;
    std::size_t materials, objects;
  };
  const Case cases[] = {
      {"wrong magic", [&] { Bytes f = WriteThemeFile(d); f[1] = 'X'; return f; }, "Not a theme file", 0, 0},
      {"no magic at all", [] { return Bytes{}; }, "Not a theme file", 0, 0},
      {"bitmap longer than the file",
       [&] { Bytes f = WriteThemeFile(d); put32(f, bmp1 + 2, 0x00FFFFFF); return f; }, "Truncated bitmap", 1, 0},
      {"not a bitmap", [&] { Bytes f = WriteThemeFile(d); f[bmp1] = 'X'; return f; }, "Not a bitmap", 1, 0},
      {"height not finite",
       [&] { Bytes f = WriteThemeFile(d); put32(f, obj0, 0x7FC00000); return f; }, "finite", 2, 0},
      {"broken mesh stream", [&] { Bytes f = WriteThemeFile(d); f[obj0 + 4] = 77; return f; }, "meshes:", 2, 0},
      {"marker point not finite",
       [&] { Bytes f = WriteThemeFile(d); put32(f, ends[4] - 4, 0x7F800000); return f; }, "marker", 2, 1},
      {"name longer than the rest",
       [&] { Bytes f = WriteThemeFile(d); f.resize(ends[2]); return Concat(f, Bytes{'O', 200, 'a', 'b'}); },
       "name runs past the end", 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVTheme theme;
    const TTRVThemeLoadResult r = theme.LoadThemeBytes(c.make());
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    EXPECT_EQ(theme.materialInfos.size(), c.materials);
    EXPECT_EQ(theme.materialLibrary.Count(), static_cast<int>(c.materials));
    EXPECT_EQ(theme.objectInfos.size(), c.objects);
    EXPECT_EQ(theme.objectRoot.Count(), static_cast<int>(c.objects));
  }
}

TEST(ThemeFile, KindListsRefuseWhatByteIndicesCannotHold) {
  struct Case {
    int trees, buildings;
    const char* error;  // null: loads
  };
  const Case cases[] = {
      {255, 0, nullptr},
      {256, 0, "more than 255 objects of kind 0"},
      {255, 1, nullptr},
      {255, 2, "more than 256 objects"},
  };
  const Bytes tree = RecordsOf(TTRVThemeFileData{"T", {}, {Object("t", okTree)}});
  const Bytes building = RecordsOf(TTRVThemeFileData{"T", {}, {Object("b", okBuilding)}});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.trees << " trees, " << c.buildings << " buildings");
    TTRVThemeFileData d{"T", {}, {}};
    Bytes file = WriteThemeFile(d);
    for (int i = 0; i < c.trees; ++i) file = Concat(std::move(file), tree), d.objects.push_back(Object("t", okTree));
    for (int i = 0; i < c.buildings; ++i)
      file = Concat(std::move(file), building), d.objects.push_back(Object("b", okBuilding));
    EXPECT_EQ(ThemeFileFault(d).empty(), c.error == nullptr) << ThemeFileFault(d);
    EXPECT_EQ(WriteThemeFile(d).empty(), c.error != nullptr);

    TTRVTheme theme;
    const TTRVThemeLoadResult r = theme.LoadThemeBytes(file);
    EXPECT_EQ(r.ok, c.error == nullptr) << r.error;
    if (c.error) {
      EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    }
    const std::size_t kept = std::min<std::size_t>(c.trees, 255) + (c.trees > 255 ? 0 : std::min(c.buildings, 1));
    EXPECT_EQ(theme.objectInfos.size(), kept);
    EXPECT_EQ(theme.ObjectsOfKind(okTree)[0], std::min(c.trees, 255));
    EXPECT_EQ(theme.treeObjects.size(), static_cast<std::size_t>(std::min(c.trees, 255)));
  }
}

TEST(ThemeFile, WriterRefusesWhatCouldNotBeReadBack) {
  struct Case {
    const char* what;
    std::function<void(TTRVThemeFileData&)> spoil;
    const char* fault;
  };
  const Case cases[] = {
      {"long theme name", [](auto& d) { d.themeName.assign(256, 'n'); }, "255 characters"},
      {"long info text", [](auto& d) { d.materials[0].infoText2.assign(300, 'i'); }, "255 characters"},
      {"no texture", [](auto& d) { d.materials[1].bmp.clear(); }, "texture"},
      {"bytes after the texture", [](auto& d) { d.materials[0].bmp.push_back(0); }, "after the bitmap"},
      {"no meshes", [](auto& d) { d.objects[0].meshes.clear(); }, "meshes"},
      {"bytes after the meshes", [](auto& d) { d.objects[0].meshes.push_back(0); }, "after the list"},
      {"NaN height", [](auto& d) { d.objects[1].height = std::numeric_limits<float>::quiet_NaN(); }, "finite"},
      {"256 markers", [](auto& d) { d.objects[1].markers.resize(256); }, "255 marker"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TTRVThemeFileData d = Fixture();
    c.spoil(d);
    EXPECT_NE(ThemeFileFault(d).find(c.fault), std::string::npos) << ThemeFileFault(d);
    EXPECT_TRUE(WriteThemeFile(d).empty());
  }
}

TEST(ThemeFile, MissingFilesAndBadNamesGiveAnEmptyThemeAndAnError) {
  TTRVTheme theme;
  ASSERT_TRUE(theme.LoadThemeBytes(WriteThemeFile(Fixture())).ok);
  TTRVThemeLoadResult r = theme.LoadThemeFile("/nonexistent-folder/Screen.TRV");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("File not found"), std::string::npos) << r.error;
  EXPECT_EQ(theme.materialLibrary.Count(), 0);
  EXPECT_EQ(theme.objectRoot.Count(), 0);
  EXPECT_EQ(theme.themeName, "");

  // A folder where the theme should be is no theme either, and the load after a good one
  // still leaves nothing of it behind.
  ASSERT_TRUE(theme.LoadThemeBytes(WriteThemeFile(Fixture())).ok);
  r = theme.LoadThemeFile(std::filesystem::temp_directory_path());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  EXPECT_EQ(theme.materialLibrary.Count(), 0);
}

TEST(ThemeFile, LoadsAFileAndWarnsOfBrokenRulesWithoutRefusing) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("morvane-theme-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  TTRVThemeFileData d = Fixture();
  d.themeName = "Water";  // holds a grass material and two models: both against the rules
  const Bytes file = WriteThemeFile(d);
  {
    std::ofstream out(dir / "Water.TRV", std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  }
  TTRVTheme theme;
  const TTRVThemeLoadResult r = theme.LoadThemeFile(dir / "Water.TRV");
  std::filesystem::remove_all(dir);
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_NE(r.warning.find("materials only"), std::string::npos) << r.warning;
  EXPECT_NE(r.warning.find("only sea (4) and river (5)"), std::string::npos) << r.warning;
  EXPECT_EQ(theme.objectInfos.size(), 2u);
}

TEST(ThemeRules, EachBrokenRuleIsReported) {
  auto ground = [](std::string name, std::uint8_t cls) {
    TTRVMaterialRecord m;
    m.materialName = std::move(name);
    m.paintsClass = cls;
    m.heightLayer = 1;
    return m;
  };
  auto obj = [](std::uint8_t kind) {
    TTRVObjectRecord o;
    o.objectName = "o";
    o.kind = kind;
    return o;
  };
  auto military = [&] {
    return TTRVThemeFileData{"Military", {ground("Road", 1)}, {obj(3), obj(4), obj(0), obj(1), obj(1)}};
  };
  struct Case {
    const char* what;
    std::string fileName;
    std::function<TTRVThemeFileData()> make;
    const char* fault;  // null: no fault
  };
  const Case cases[] = {
      {"sound climate theme", "Basic.TRV",
       [&] { return TTRVThemeFileData{"Basic", {ground("Road", 1), ground("Sea", 4)}, {obj(0), obj(1), obj(2)}}; },
       nullptr},
      {"no file name: the name inside is trusted", "", [&] { return TTRVThemeFileData{"Basic", {}, {}}; }, nullptr},
      {"name differs from the file", "Desert", [&] { return TTRVThemeFileData{"Basic", {}, {}}; }, "calls itself"},
      {"17 objects", "Basic",
       [&] { return TTRVThemeFileData{"Basic", {}, std::vector<TTRVObjectRecord>(17, obj(0))}; }, "at most 16"},
      {"class material not a height layer", "Basic",
       [&] { auto d = TTRVThemeFileData{"Basic", {ground("Forest", 2)}, {}}; d.materials[0].heightLayer = 0; return d; },
       "not a height layer"},
      {"class material with a height band", "Basic",
       [&] {
         auto d = TTRVThemeFileData{"Basic", {ground("Town", 6)}, {}};
         d.materials[0].bandLow = 10, d.materials[0].bandPeak = 20, d.materials[0].bandHigh = 30;
         return d;
       },
       "height band is not empty"},
      {"unknown class", "Basic", [&] { return TTRVThemeFileData{"Basic", {ground("X", 3)}, {}}; }, "no terrain class"},
      {"texture scale 0", "Basic",
       [&] { auto d = TTRVThemeFileData{"Basic", {ground("X", 0)}, {}}; d.materials[0].textureScale = 0; return d; },
       "texture scale 0"},
      {"sound water", "Water", [&] { return TTRVThemeFileData{"Water", {ground("Sea", 4), ground("River", 5)}, {}}; },
       nullptr},
      {"water with grass", "Water", [&] { return TTRVThemeFileData{"Water", {ground("Grass", 0)}, {}}; },
       "only sea (4) and river (5)"},
      {"water with an object", "Water", [&] { return TTRVThemeFileData{"Water", {}, {obj(2)}}; }, "materials only"},
      {"HUD with an object", "HUD", [&] { return TTRVThemeFileData{"HUD", {ground("Icon", 0)}, {obj(4)}}; },
       "materials only"},
      {"sound military", "Military", military, nullptr},
      {"military without a pier", "Military",
       [&] { auto d = military(); d.objects.resize(2); return d; }, "needs a fence post, a wall and a pier"},
      {"military fence post of the wrong kind", "Military",
       [&] { auto d = military(); d.objects[0].kind = 1; return d; }, "the fence post must be kind 3"},
      {"military wall of the wrong kind", "Military",
       [&] { auto d = military(); d.objects[1].kind = 3; return d; }, "the wall must be kind 4"},
      {"military non-building after the pier", "Military",
       [&] { auto d = military(); d.objects[4].kind = 0; return d; }, "object 4"},
      {"sound unit theme", "Tank", [&] { return TTRVThemeFileData{"Tank", {ground("Hull", 0)}, {obj(4)}}; }, nullptr},
      {"unit material painting a class", "Heli",
       [&] { return TTRVThemeFileData{"Heli", {ground("Body", 1)}, {obj(4)}}; }, "unit materials paint no class"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string faults = CheckThemeRules(c.make(), c.fileName);
    if (!c.fault) {
      EXPECT_EQ(faults, "");
    } else {
      EXPECT_NE(faults.find(c.fault), std::string::npos) << faults;
    }
  }
}

}  // namespace

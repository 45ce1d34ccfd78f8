// Small fixtures for the generator tests: the themes a world is made from (a climate theme
// with trees, buildings and grass, the water theme, the military theme with its fence post,
// wall, pier and two buildings), written with the game's own writer into a temporary
// program folder; and hand-built generator states for the stages run on their own.
#pragma once

#include <string>
#include <vector>

#include "generator/genstate.h"
#include "generator/progress.h"
#include "tests/world/world_fixture.h"
#include "world/themefile.h"
#include "world/worldfile.h"

namespace gentest {

using worldtest::ProgramFolder;

struct FixtureTheme {
  std::string name;
  std::vector<std::uint8_t> classes;  // classes painted (0 = plain ground)
  std::vector<std::uint8_t> kinds;    // one object per entry, of that kind
};

inline void WriteTheme(const ProgramFolder& folder, const FixtureTheme& recipe) {
  TTRVThemeFileData d;
  d.themeName = recipe.name;
  for (std::uint8_t c : recipe.classes) {
    TTRVMaterialRecord m;
    m.materialName = recipe.name + "Paint" + std::to_string(c);
    m.paintsClass = c;
    m.heightLayer = 1;
    m.bmp = worldtest::TinyBmp();
    d.materials.push_back(m);
  }
  for (std::size_t i = 0; i < recipe.kinds.size(); ++i) {
    TTRVObjectRecord o;
    o.objectName = recipe.name + "Object" + std::to_string(i);
    o.kind = recipe.kinds[i];
    o.height = 2.0f;
    o.meshes = worldtest::TinyMesh();
    d.objects.push_back(o);
  }
  const std::vector<std::uint8_t> bytes = WriteThemeFile(d);
  FILE* f = std::fopen((folder.Path() / "themes" / (recipe.name + ".TRV")).c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline FixtureTheme BasicTheme() { return {"Basic", {0, tcRoad, tcForest, tcSettlement}, {0, 0, 1, 1, 2}}; }
inline FixtureTheme WaterTheme() { return {"Water", {tcSea, tcRiver}, {}}; }
// Fence post, wall, pier, then buildings.
inline FixtureTheme MilitaryTheme() { return {"Military", {0, tcSettlement}, {3, 4, 4, 1, 1}}; }

inline void WriteStandardThemes(const ProgramFolder& folder) {
  WriteTheme(folder, BasicTheme());
  WriteTheme(folder, WaterTheme());
  WriteTheme(folder, MilitaryTheme());
}

inline std::vector<std::string> StandardNames() { return {"Basic", "Water", "Military"}; }

inline TTRVGenTheme Summary(const FixtureTheme& recipe) {
  TTRVGenTheme t;
  t.name = recipe.name;
  for (std::uint8_t c : recipe.classes) t.paints[c] = true;
  for (std::size_t i = 0; i < recipe.kinds.size(); ++i) {
    const auto index = static_cast<std::uint8_t>(i);
    t.objectKinds.push_back(recipe.kinds[i]);
    if (recipe.kinds[i] == 0) t.trees.push_back(index);
    if (recipe.kinds[i] == 1) t.buildings.push_back(index);
    if (recipe.kinds[i] == 2) t.grass.push_back(index);
  }
  return t;
}

// A state of sectorsX x sectorsZ sectors, all sea at height 0, with the standard themes.
inline TTRVGenState SeaState(int sectorsX, int sectorsZ) {
  TTRVGenState s;
  s.params.mapWidth = sectorsX;
  s.params.mapHeight = sectorsZ;
  s.params.themeNames = StandardNames();
  s.themes = {Summary(BasicTheme()), Summary(WaterTheme()), Summary(MilitaryTheme())};
  s.militaryTheme = 2;
  s.ResetGrids();
  s.classGrid.Fill(tcSea);
  return s;
}

// Raises [x0, x1) x [z0, z1) to open ground of the given height.
inline void Land(TTRVGenState& s, int x0, int z0, int x1, int z1, std::uint8_t height) {
  for (int x = x0; x < x1; ++x)
    for (int z = z0; z < z1; ++z) {
      s.elevation.Set(x, z, height);
      s.classGrid.Set(x, z, tcOpenGround);
    }
}

}  // namespace gentest

// Small islands for the world tests, written with the game's own writers into a temporary
// program folder: a theme with a ground, a sea and a river material and one object of each
// kind, and a cell-by-cell island builder that writes a record for every sector with land.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "scene/meshobject.h"
#include "world/grid.h"
#include "world/themefile.h"
#include "world/world.h"
#include "world/worldfile.h"

namespace worldtest {

namespace fs = std::filesystem;

// A program folder with themes/ and worlds/, removed with the object.
class ProgramFolder {
 public:
  ProgramFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("morvane-world-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_ / "themes");
    fs::create_directories(path_ / "worlds");
  }
  ~ProgramFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;
  const fs::path& Path() const { return path_; }
  fs::path Worlds() const { return path_ / "worlds"; }

 private:
  fs::path path_;
};

// Object indices of the fixture theme, one per kind.
enum FixtureObject : std::uint8_t { kTree = 0, kBuilding = 1, kGrass = 2, kFence = 3, kWall = 4 };
inline constexpr float kObjectHeights[5] = {3.0f, 5.0f, 0.5f, 1.5f, 2.0f};

inline std::vector<std::uint8_t> TinyBmp() {
  platform::Bitmap b(4, 4, 24);
  b.FillRect(0, 0, 4, 4, platform::MakeColor(40, 90, 160));
  return b.EncodeBmp();
}

inline std::vector<std::uint8_t> TinyMesh() {
  TMeshObjectList list;
  list.Add(MakeMeshObject("tri", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  std::vector<std::uint8_t> out;
  WriteMeshObjectList(list, out);
  return out;
}

// Materials painting the given classes (0 = ground), and, with objects, one object of each
// kind 0..4 in FixtureObject order.
inline void WriteTheme(const fs::path& programFolder, const std::string& name, std::vector<std::uint8_t> classes,
                       bool objects = true) {
  TTRVThemeFileData d;
  d.themeName = name;
  for (std::uint8_t c : classes) {
    TTRVMaterialRecord m;
    m.materialName = name + "Paint" + std::to_string(c);
    m.paintsClass = c;
    m.heightLayer = 1;
    m.bmp = TinyBmp();
    d.materials.push_back(m);
  }
  if (objects)
    for (std::uint8_t kind = 0; kind < 5; ++kind) {
      TTRVObjectRecord o;
      o.objectName = "Object" + std::to_string(kind);
      o.kind = kind;
      o.height = kObjectHeights[kind];
      o.meshes = TinyMesh();
      o.markers = {{{0, 0.5f, 0}, {1, 1, 1}}};
      d.objects.push_back(o);
    }
  const std::vector<std::uint8_t> bytes = WriteThemeFile(d);
  FILE* f = std::fopen((programFolder / "themes" / (name + ".TRV")).c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

struct Placed {
  int x, z;  // map cell
  std::uint8_t object;  // (theme << 4) | object
  int list = 0;
};

// An island drawn cell by cell: heights and type bytes per map cell (sea at height 0
// everywhere to begin with), objects on cells. Build() writes a sector record for every
// sector whose 33 x 33 samples hold anything but flat sea; samples past the map read as sea.
class Island {
 public:
  Island(int sectorsX, int sectorsZ, std::vector<std::string> themes = {"Basic"})
      : heights(sectorsX * 32, sectorsZ * 32, 0), types(sectorsX * 32, sectorsZ * 32, tcSea) {
    data.worldName = "Fixture";
    data.createdAt = 45000.5;
    data.heightDivisor = 25;
    data.themeNames = std::move(themes);
    data.sectorCountX = sectorsX;
    data.sectorCountZ = sectorsZ;
    data.grass.assign(static_cast<std::size_t>(sectorsX * 32 * sectorsZ * 32), 0);
    for (int i = 0; i < kNavalBaseCount; ++i) data.navalBases[static_cast<std::size_t>(i)] = {3, 3};
  }

  // Land of class `type` (theme nibble included) and height over [x0, x1) x [z0, z1).
  void Fill(int x0, int z0, int x1, int z1, std::uint8_t type, std::uint8_t height) {
    for (int x = x0; x < x1; ++x)
      for (int z = z0; z < z1; ++z) {
        heights.Set(x, z, height);
        types.Set(x, z, type);
      }
  }
  void Place(int x, int z, std::uint8_t object, int list = 0) { placed.push_back({x, z, object, list}); }

  TTRVWorldFileData Build() const {
    TTRVWorldFileData d = data;
    d.sectors.clear();
    for (int sx = 0; sx < d.sectorCountX; ++sx)
      for (int sz = 0; sz < d.sectorCountZ; ++sz) {
        TTRVSectorRecord r;
        r.sectorX = sx;
        r.sectorZ = sz;
        bool land = false;
        for (int a = 0; a < kSectorSide; ++a)
          for (int b = 0; b < kSectorSide; ++b) {
            const int x = sx * 32 + a, z = sz * 32 + b;
            const std::size_t i = static_cast<std::size_t>(a * kSectorSide + b);
            r.heights[i] = heights.At(x, z, 0);
            r.cellTypes[i] = types.At(x, z, tcSea);
            land = land || r.heights[i] != 0 || r.cellTypes[i] != tcSea;
          }
        for (const Placed& p : placed)
          if (p.x / 32 == sx && p.z / 32 == sz) {
            r.placements[static_cast<std::size_t>(p.list)].push_back(
                {static_cast<std::uint8_t>(p.x % 32), static_cast<std::uint8_t>(p.z % 32), p.object, 0, 0x88});
            land = true;
          }
        if (land) d.sectors.push_back(r);
      }
    return d;
  }

  // Writes worlds/<name>.TRV; answers the bytes written.
  std::vector<std::uint8_t> Save(const fs::path& programFolder, const std::string& name) const {
    const std::vector<std::uint8_t> bytes = WriteWorldFile(Build());
    FILE* f = std::fopen((programFolder / "worlds" / (name + ".TRV")).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return bytes;
  }

  TTRVWorldFileData data;  // everything but the sector records
  TTRVGrid<std::uint8_t> heights;
  TTRVGrid<std::uint8_t> types;
  std::vector<Placed> placed;
};

// A headless context over the folder: English texts, a small sky, progress collected.
struct Progress {
  std::vector<std::string> texts;
  std::vector<int> percents;
};
inline TTRVWorldContext Context(const ProgramFolder& folder, TGLScene* scene, Progress* progress = nullptr,
                                const std::string& language = "ENG") {
  TTRVWorldContext c;
  c.scene = scene;
  c.programFolder = folder.Path();
  c.settings.Language = language;
  c.settings.SkyTextureSize = 64;
  if (progress)
    c.progress = [progress](const std::string& text, int percent) {
      progress->texts.push_back(text);
      progress->percents.push_back(percent);
    };
  return c;
}

// The bases the game tests' small islands share: land bases at (40, 40) and (80, 80), each
// with its 16 turret cells in a row five cells south of it, and naval base 1 at (110, 64).
inline void AddTestBases(TTRVWorldFileData& d) {
  for (int b = 0; b < 2; ++b) {
    TTRVLandBase base;
    const auto c = static_cast<std::int16_t>(40 + 40 * b);
    base.cell = {c, c};
    for (int k = 0; k < kBaseTurretCells; ++k)
      base.turretCells[static_cast<std::size_t>(k)] = {static_cast<std::int16_t>(c - 8 + k),
                                                       static_cast<std::int16_t>(c + 5)};
    d.landBases.push_back(base);
  }
  d.navalBases[1] = {110, 64};
}

}  // namespace worldtest

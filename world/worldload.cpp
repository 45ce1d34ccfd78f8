// The loading sequence: the whole file is read and checked first, so nothing of the world
// changes until it is known to be sound; then themes, grids, path grids, regions and the
// world map image are built from the records.
#include "world/worldload.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "world/floatingwave.h"
#include "platform/filebytes.h"
#include "platform/log.h"
#include "platform/programfiles.h"
#include "platform/random.h"
#include "world/sky.h"
#include "world/world.h"
#include "world/worldcheck.h"
#include "world/worldfile.h"
#include "world/worldmap.h"

class TTRVWorldLoader {
 public:
  explicit TTRVWorldLoader(TTRVWorld& world) : w_(world) {}

  bool Run(const std::string& name, bool newGame, const TTRVWorldInfo* info, std::string& error) {
    w_.ReportProgress(TextId::LoadReadingFile, 0);
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(name, bytes, error) || !ParseWorldFile(bytes, data_, error, &offsets_)) return Refuse(name, error);

    w_.ClearLoaded();
    w_.worldStream = std::move(bytes);
    // Named after the file it came from: a renamed world still finds its map and its saves.
    w_.worldName = name;
    w_.createdAt = data_.createdAt;
    w_.heightDivisor = static_cast<float>(data_.heightDivisor);

    w_.ReportProgress(TextId::LoadThemes, 10);
    if (!LoadThemes(error)) return Refuse(name, error);
    FindWaterMaterials();

    SizeGrids();
    w_.ReportProgress(TextId::LoadPathfinders, 20);
    for (const TTRVSectorRecord& s : data_.sectors) FillSector(s);
    for (std::size_t i = 0; i < data_.sectors.size(); ++i)
      w_.sectorOffsets(data_.sectors[i].sectorX, data_.sectors[i].sectorZ) = static_cast<std::int32_t>(offsets_[i]);

    BlockCoast(classes_, w_.groundPathFinder);
    OpenSea(classes_, w_.waterPathFinder);
    if (!BuildRegions(error)) return Refuse(name, error);

    TGLDummyCube* column = w_.sectorRoot->AddNewChild<TGLDummyCube>();
    column->Tag = 0;
    MakeMap(name);

    w_.grassGrid.Cells() = data_.grass;
    w_.landBases = data_.landBases;
    w_.navalBases = data_.navalBases;

    BuildSky(w_.materialLibrary, w_.Context().settings.SkyTextureSize, w_.skyDome, platform::Random());
    // Unit models are not part of the island: a missing one leaves its units without a
    // model rather than refusing the island.
    for (const char* unitTheme : {"Heli", "Tank", "Boat", "Turret"}) {
      std::string why;
      if (!w_.AddTheme(unitTheme, &why)) platform::LogWarning("world", why);
    }

    if (newGame && info) {
      w_.missionName = info->missionName;
      w_.sides = info->sides;
      w_.playerUnitType = info->playerUnitType;
      w_.playerSide = info->playerSide;
      w_.missionType = info->missionType;
    }
    classes_.Clear();
    w_.sectorTimer = 4.0f;  // the first step builds the sectors around the camera
    return true;
  }

 private:
  bool Refuse(const std::string& name, std::string& error) {
    error = "World \"" + name + "\": " + error;
    platform::LogError("world", error);
    return false;
  }

  bool ReadFile(const std::string& name, std::vector<std::uint8_t>& bytes, std::string& error) {
    const std::filesystem::path path = platform::NamedFile(w_.WorldsFolder(), name, ".TRV");
    if (path.empty()) {
      error = "not a world name";
      return false;
    }
    switch (platform::ReadFileBytes(path, kMaxWorldFileSize, bytes)) {
      case platform::ReadFileResult::Missing: error = "the world file is missing (" + path.string() + ")"; return false;
      case platform::ReadFileResult::TooLarge: error = "the world file is too large to be a world"; return false;
      case platform::ReadFileResult::Unreadable:
        error = "the world file cannot be read (" + path.string() + ")";
        return false;
      case platform::ReadFileResult::Ok: break;
    }
    return true;
  }

  bool LoadThemes(std::string& error) {
    std::vector<std::size_t> objectCounts;
    for (const std::string& themeName : data_.themeNames) {
      TTRVTheme* theme = w_.AddTheme(themeName, &error);
      if (!theme) return false;
      objectCounts.push_back(theme->objectInfos.size());
    }
    w_.climateThemeCount = static_cast<int>(w_.themes.size());
    error = WorldObjectFault(data_, objectCounts);
    return error.empty();
  }

  void FindWaterMaterials() {
    for (std::size_t t = 0; t < w_.themes.size(); ++t) {
      const TTRVTheme& theme = *w_.themes[t];
      for (std::size_t m = 0; m < theme.materialInfos.size(); ++m) {
        const TTRVMaterialRef ref{static_cast<int>(t), static_cast<int>(m)};
        if (theme.materialInfos[m].paintsClass == tcSea) w_.seaMaterial = ref;
        if (theme.materialInfos[m].paintsClass == tcRiver) w_.role5Materials.push_back(ref);
      }
    }
    if (TGLLibMaterial* sea = w_.ThemeMaterial(w_.seaMaterial)) {
      TGLMaterial& m = sea->Material;
      m.BlendingMode = bmOpaque;
      m.Texture.Disabled = false;
      m.Texture.TextureWrap = twBoth;
      m.Texture.TextureMode = tmModulate;
      m.MaterialOptions = moNoLighting;
    }
  }

  void SizeGrids() {
    w_.sectorCountX = static_cast<std::uint16_t>(data_.sectorCountX);
    w_.sectorCountZ = static_cast<std::uint16_t>(data_.sectorCountZ);
    const int cx = data_.CellsX(), cz = data_.CellsZ();
    w_.sectorOffsets.Reset(data_.sectorCountX + 1, data_.sectorCountZ + 1, -1);
    w_.heightGrid.Reset(cx, cz, 0);
    w_.objectHeightGrid.Reset(cx, cz, 0.0f);
    w_.themeGrid.Reset(cx, cz, 0);
    w_.grassGrid.Reset(cx, cz, 0);
    classes_.Reset(cx, cz, tcSea);
    w_.airPathFinder.Reset(cx, cz, true);
    w_.groundPathFinder.Reset(cx, cz, true);
    w_.waterPathFinder.Reset(cx, cz, false);
  }

  void FillSector(const TTRVSectorRecord& s) {
    w_.ReportProgress(TextId::LoadSectors, 30 + s.sectorX * 20 / data_.sectorCountX, std::to_string(s.sectorX));
    const int x0 = s.sectorX * kSectorCells, z0 = s.sectorZ * kSectorCells;
    // A record in the last sector column or row reaches one sample past the map: dropped.
    for (int a = 0; a < kSectorSide; ++a)
      for (int b = 0; b < kSectorSide; ++b) {
        const int x = x0 + a, z = z0 + b;
        if (!classes_.Inside(x, z)) continue;
        const std::uint8_t type = s.CellType(a, b);
        w_.heightGrid(x, z) = s.Height(a, b);
        classes_(x, z) = type & 15;
        w_.themeGrid(x, z) = static_cast<std::uint8_t>(type >> 4);
      }
    for (const std::vector<TTRVPlacement>& list : s.placements)
      for (const TTRVPlacement& p : list) {
        const int x = x0 + p.x, z = z0 + p.z;
        const TTRVObjInfo& object =
            w_.themes[static_cast<std::size_t>(p.ThemeIndex())]->objectInfos[static_cast<std::size_t>(p.ObjectIndex())];
        w_.objectHeightGrid(x, z) = object.height;
        if (object.kind == okBuilding)
          for (const TTRVCell& c : {TTRVCell{x, z}, {x - 1, z}, {x + 1, z}, {x, z - 1}, {x, z + 1}})
            w_.airPathFinder.SetPassable(c.x, c.z, false);
        if (object.kind == okTree || object.kind == okBuilding || object.kind == okObstacle)
          w_.groundPathFinder.SetPassable(x, z, false);
        if (object.kind == okTree) marks_.trees.push_back({x, z});
        if (object.kind == okBuilding) marks_.buildings.push_back({x, z});
        if (object.kind == okObstacle) marks_.obstacles.push_back({x, z});
      }
  }

  bool BuildRegions(std::string& error) {
    // The pursuit regions stop at 256 waves; judging which water is open sea must not, or on
    // a large map boats would be shut into the sea near the corner.
    if (error = KeepOpenSea(w_.waterPathFinder); !error.empty()) return false;
    w_.airRegion = std::make_unique<TTRVAIWorldBeaconFloating>(w_.airPathFinder);
    w_.groundRegion = std::make_unique<TTRVAIWorldBeaconFloating>(w_.groundPathFinder);
    w_.waterRegion = std::make_unique<TTRVAIWorldBeaconFloating>(w_.waterPathFinder);
    const TTRVCell centre{data_.sectorCountX * 16, data_.sectorCountZ * 16};
    w_.airRegion->Compute(centre);
    w_.groundRegion->Compute(centre);
    w_.waterRegion->Compute(kOpenSeaCell);
    return true;
  }

  void MakeMap(const std::string& name) {
    const int cx = data_.CellsX(), cz = data_.CellsZ();
    w_.mapWidth = static_cast<float>(cx);
    w_.mapHeight = static_cast<float>(cz);
    w_.mapAspect = w_.mapWidth / w_.mapHeight;
    // The name the caller asked for, never the one inside the file.
    const std::string path = platform::NamedFile(w_.WorldsFolder(), name, "MAP.bmp").string();
    platform::Bitmap image;
    std::string ignored;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
      w_.ReportProgress(TextId::LoadWorldMap, 75);
      if (!image.LoadBmpFile(path, ignored)) platform::LogWarning("world", "map image " + path + ": " + ignored + "; drawn again");
    }
    if (image.Empty()) {
      // Missing or unreadable: the picture can always be made again from the grids.
      const platform::Bitmap full = DrawWorldMap(w_.heightGrid, classes_, marks_, [&](int x) {
        w_.ReportProgress(TextId::LoadCreatingWorldMap, 50 + x * 15 / std::max(1, cx - 1));
      });
      image = TurnWorldMap(full, [&](int x, int width) {
        w_.ReportProgress(TextId::LoadCreatingWorldMap, 65 + x * 15 / std::max(1, width - 1));
      });
      // A folder we may not write to only costs the rebuild next time.
      if (!image.SaveBmp(path, ignored)) platform::LogWarning("world", "map image not kept: " + ignored);
    }
    TGLLibMaterial* lib = w_.hudMaterials.AddTextureMaterial("HUDMap", image);
    lib->TextureScale = {1, 1, 1};
    lib->Material.MaterialOptions = moNoLighting;
    UseCutOutPicture(lib->Material, bmTransparency);
  }

  TTRVWorld& w_;
  TTRVWorldFileData data_;
  std::vector<std::size_t> offsets_;
  TTRVGrid<std::uint8_t> classes_;
  TTRVMapMarks marks_;
};

bool TTRVWorld::LoadWorld(const std::string& name, bool newGame, const TTRVWorldInfo* info, std::string& error) {
  error.clear();
  TTRVWorldLoader loader(*this);
  return loader.Run(name, newGame, info, error);
}

void BlockCoast(const TTRVGrid<std::uint8_t>& classes, TTRVPathFinder& ground) {
  const int sx = classes.SizeX(), sz = classes.SizeZ();
  if (ground.grid.SizeX() != sx || ground.grid.SizeZ() != sz) return;
  for (int x = 1; x <= sx - 2; ++x)
    for (int z = 1; z <= sz - 2; ++z) {
      bool coast = false;
      for (int dx = -1; dx <= 1 && !coast; ++dx)
        for (int dz = -1; dz <= 1 && !coast; ++dz) coast = classes(x + dx, z + dz) == tcSea;
      if (coast) ground.grid(x, z) = 0;
    }
}

void OpenSea(const TTRVGrid<std::uint8_t>& classes, TTRVPathFinder& water) {
  const int sx = classes.SizeX(), sz = classes.SizeZ();
  if (water.grid.SizeX() != sx || water.grid.SizeZ() != sz) return;
  for (int x = 2; x <= sx - 3; ++x)
    for (int z = 2; z <= sz - 3; ++z) {
      bool open = true;
      for (int dx = -2; dx <= 2 && open; ++dx)
        for (int dz = -2; dz <= 2 && open; ++dz) {
          if ((dx == -2 || dx == 2) && (dz == -2 || dz == 2)) continue;  // the four corners
          open = classes(x + dx, z + dz) == tcSea;
        }
      if (open) water.grid(x, z) = 1;
    }
}

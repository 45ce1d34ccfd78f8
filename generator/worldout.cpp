// The world file's records, the map images and their writing.
#include "generator/worldout.h"

#include <cmath>
#include <fstream>
#include <system_error>

#include "platform/programfiles.h"
#include "world/worldmap.h"

namespace {

TTRVCell16 Cell16(const TTRVCell& c) { return {static_cast<std::int16_t>(c.x), static_cast<std::int16_t>(c.z)}; }

bool WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace

bool SectorStored(const TTRVGenState& state, int sx, int sz) {
  const TTRVGrid<std::uint8_t>& e = state.elevation;
  const int x0 = sx * 32, z0 = sz * 32;
  for (int i = 0; i <= 32; ++i)
    if (e.At(x0 + i, z0) || e.At(x0 + i, z0 + 32) || e.At(x0, z0 + i) || e.At(x0 + 32, z0 + i)) return true;
  return false;
}

TTRVGrid<std::uint8_t> LoadedClasses(const TTRVGenState& state) {
  const int L = state.Length(), R = state.RowLength();
  TTRVGrid<std::uint8_t> classes(L, R, tcSea);
  for (int sx = 0; sx <= (L - 1) / 32 - 1; ++sx)
    for (int sz = 0; sz <= (R - 1) / 32 - 1; ++sz) {
      if (!SectorStored(state, sx, sz)) continue;
      for (int x = sx * 32; x <= sx * 32 + 32 && x < L; ++x)
        for (int z = sz * 32; z <= sz * 32 + 32 && z < R; ++z) classes(x, z) = state.classGrid(x, z);
    }
  return classes;
}

TTRVWorldFileData BuildWorldFile(const TTRVGenState& state, const TTRVBaseLayout& layout, const std::string& worldName,
                                 double createdAt) {
  const TTRVWorldParams& p = state.params;
  const int L = state.Length(), R = state.RowLength();
  TTRVWorldFileData d;
  d.worldName = worldName;
  d.createdAt = createdAt;
  d.heightDivisor = p.heightScale;
  d.themeNames = p.themeNames;
  d.sectorCountX = p.mapWidth;
  d.sectorCountZ = p.mapHeight;
  d.firstBaseCount = static_cast<std::int16_t>(layout.bases.size());

  // Placements by sector, in placement order, without the removed ones.
  std::vector<std::uint8_t> gone(state.placements.size(), 0);
  for (std::uint32_t i : layout.removed)
    if (i < gone.size()) gone[i] = 1;
  std::vector<std::vector<std::uint32_t>> bySector(static_cast<std::size_t>(p.mapWidth * p.mapHeight));
  for (std::size_t i = 0; i < state.placements.size(); ++i) {
    const TTRVGenPlacement& pl = state.placements[i];
    if (gone[i] || pl.x < 0 || pl.z < 0 || pl.x >= L || pl.z >= R) continue;
    bySector[static_cast<std::size_t>(pl.x / 32 * p.mapHeight + pl.z / 32)].push_back(static_cast<std::uint32_t>(i));
  }

  for (int sx = 0; sx <= (L - 1) / 32 - 1; ++sx)
    for (int sz = 0; sz <= (R - 1) / 32 - 1; ++sz) {
      if (!SectorStored(state, sx, sz)) continue;
      TTRVSectorRecord r;
      r.sectorX = sx;
      r.sectorZ = sz;
      for (int a = 0; a < kSectorSide; ++a)
        for (int b = 0; b < kSectorSide; ++b) {
          const int x = sx * 32 + a, z = sz * 32 + b;
          const auto i = static_cast<std::size_t>(a * kSectorSide + b);
          r.heights[i] = state.elevation.At(x, z, 0);
          r.cellTypes[i] = static_cast<std::uint8_t>((state.zoneGrid.At(x, z, 0) << 4) + state.classGrid.At(x, z, tcSea));
        }
      for (std::uint32_t i : bySector[static_cast<std::size_t>(sx * p.mapHeight + sz)]) {
        const TTRVGenPlacement& pl = state.placements[i];
        TTRVPlacement rec;
        rec.x = static_cast<std::uint8_t>(pl.x % 32);
        rec.z = static_cast<std::uint8_t>(pl.z % 32);
        rec.object = static_cast<std::uint8_t>((pl.theme << 4) + pl.object);
        rec.look = static_cast<std::uint8_t>((pl.rotation << 4) + pl.lift);
        rec.offset = static_cast<std::uint8_t>((pl.subX << 4) + pl.subZ);
        r.placements[std::min<std::size_t>(pl.list, kPlacementLists - 1)].push_back(rec);
      }
      d.sectors.push_back(std::move(r));
    }

  d.grass = state.grassFlags.Cells();
  for (std::size_t b = 0; b < layout.bases.size(); ++b) {
    TTRVLandBase base;
    base.cell = Cell16(layout.bases[b]);
    if (b < layout.defencePoints.size())
      for (int k = 0; k < kDefencePoints; ++k)
        base.turretCells[static_cast<std::size_t>(k)] = Cell16(layout.defencePoints[b][static_cast<std::size_t>(k)]);
    d.landBases.push_back(base);
  }
  for (int k = 0; k < kNavalBaseCount; ++k)
    d.navalBases[static_cast<std::size_t>(k)] = Cell16(layout.navalBases[static_cast<std::size_t>(k)]);
  return d;
}

platform::Bitmap DrawFullMap(const TTRVGenState& state, TTRVGenProgress& progress) {
  TTRVMapMarks marks;
  for (const TTRVGenPlacement& p : state.placements) {
    if (p.purpose == ppTree) marks.trees.push_back({p.x, p.z});
    if (p.purpose == ppBuilding) marks.buildings.push_back({p.x, p.z});
    if (p.purpose == ppFencePost) marks.obstacles.push_back({p.x, p.z});
  }
  const int L = state.Length();
  return DrawWorldMap(state.elevation, state.classGrid, marks, [&](int x) {
    const int n = static_cast<int>(std::floor(x * 50.0 / std::max(1, L - 1)));
    progress.Report(TextId::GenWorldMap, 900 + n, std::to_string(n) + "%");
  });
}

platform::Bitmap MakeMapImage(const platform::Bitmap& full, TTRVGenProgress& progress) {
  return TurnWorldMap(full, [&](int x, int width) {
    const int n = static_cast<int>(std::floor(x * 50.0 / std::max(1, width - 1)));
    progress.Report(TextId::GenWorldMap, 950 + n, std::to_string(n + 50) + "%");
  });
}

platform::Bitmap MakeThumbnail(const platform::Bitmap& full, int mapWidth, int mapHeight) {
  const int w = mapWidth * 8, h = mapHeight * 8;
  platform::Bitmap thumb(w, h, 24);
  const platform::Color silver = platform::MakeColor(192, 192, 192);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      const platform::Color c = full.Pixel(4 * x, 4 * y);
      thumb.SetPixel(w - 1 - x, h - 1 - y, c == 0 ? silver : c);
    }
  return thumb;
}

bool SaveWorldFiles(const std::filesystem::path& worldsFolder, const std::string& worldName,
                    const TTRVWorldFileData& data, const platform::Bitmap& map, const platform::Bitmap& thumb,
                    std::string& error) {
  namespace fs = std::filesystem;
  const fs::path world = platform::NamedFile(worldsFolder, worldName, ".TRV");
  const fs::path mapPath = platform::NamedFile(worldsFolder, worldName, "MAP.bmp");
  const fs::path thumbPath = platform::NamedFile(worldsFolder, worldName, "THUMB.bmp");
  if (world.empty() || mapPath.empty() || thumbPath.empty()) {
    error = "\"" + worldName + "\" is not a world name";
    return false;
  }
  if (const std::string fault = WorldDataFault(data); !fault.empty()) {
    error = "the world cannot be written: " + fault;
    return false;
  }
  struct Pending {
    fs::path target;
    fs::path temporary;
    fs::path kept;  // the old file under a second name, empty when there was none
    std::vector<std::uint8_t> bytes;
  };
  // The images first and the world file last, so a world in the list always has its maps.
  std::vector<Pending> files = {{mapPath, {}, {}, map.EncodeBmp()},
                                {thumbPath, {}, {}, thumb.EncodeBmp()},
                                {world, {}, {}, WriteWorldFile(data)}};
  std::error_code ec;
  fs::create_directories(worldsFolder, ec);
  auto discard = [](const fs::path& path) {
    std::error_code ignored;
    if (!path.empty()) fs::remove(path, ignored);
  };
  auto dropTemporaries = [&] {
    for (const Pending& f : files) discard(f.temporary);
  };
  for (Pending& f : files) {
    f.temporary = f.target;
    f.temporary += ".part";
    if (f.bytes.empty() || !WriteBytes(f.temporary, f.bytes)) {
      dropTemporaries();
      error = "cannot write " + f.target.string();
      return false;
    }
  }
  // A world of the same name stays whole until the new one is: each old file is kept under a
  // second name (a link where the folder allows one, so the old name is never missing) and
  // comes back if any new file cannot take its place.
  for (std::size_t i = 0; i < files.size(); ++i) {
    Pending& f = files[i];
    const fs::file_status old = fs::symlink_status(f.target, ec);
    if (!fs::exists(old) || fs::is_directory(old)) continue;
    f.kept = f.target;
    f.kept += ".kept";
    discard(f.kept);
    fs::create_hard_link(f.target, f.kept, ec);
    if (ec) fs::copy_file(f.target, f.kept, ec);
    if (ec) {
      error = "cannot keep the old " + f.target.string() + " while it is replaced: " + ec.message();
      dropTemporaries();
      for (std::size_t j = 0; j <= i; ++j) discard(files[j].kept);
      return false;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    fs::rename(files[i].temporary, files[i].target, ec);
    if (!ec) continue;
    error = "cannot write " + files[i].target.string() + ": " + ec.message();
    for (std::size_t j = 0; j < files.size(); ++j) {
      Pending& f = files[j];
      if (j >= i) {
        discard(f.kept);  // its old file was never replaced
      } else if (f.kept.empty()) {
        discard(f.target);
      } else {
        std::error_code back;
        fs::rename(f.kept, f.target, back);
        // The only copy of the old file now: left where the player can find it.
        if (back) error += "; the old file is left as " + f.kept.string();
      }
    }
    dropTemporaries();
    return false;
  }
  for (const Pending& f : files) discard(f.kept);
  return true;
}

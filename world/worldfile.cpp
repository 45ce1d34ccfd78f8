// World file reading and writing. The reader checks each length against the bytes left
// before it reads or allocates, then hands the records to WorldDataFault, the same rules the
// writer applies, so what one accepts the other can store and the other way round.
#include "world/worldfile.h"

#include "platform/atomicfile.h"
#include "platform/bytestream.h"
#include "platform/filebytes.h"
#include "world/worldload.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace {

using platform::ByteReader;
using platform::ByteWriter;

std::string SectorName(const TTRVSectorRecord& s) {
  return "sector (" + std::to_string(s.sectorX) + ", " + std::to_string(s.sectorZ) + ")";
}

bool PlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\\' || c == '\0') return false;
  return true;
}

// The record body after its tag. Local placement cells are checked here too, because a
// sector built straight from the stream relies on them.
bool ReadRecordBody(ByteReader& in, TTRVSectorRecord& out, std::string& error) {
  const std::size_t start = in.Pos();
  if (!in.I32(out.sectorX) || !in.I32(out.sectorZ) || !in.Raw(out.heights.data(), kSectorSamples) ||
      !in.Raw(out.cellTypes.data(), kSectorSamples)) {
    error = "the file ends inside a sector record" + platform::AtByte(start);
    return false;
  }
  for (int list = 0; list < kPlacementLists; ++list) {
    std::uint16_t count;
    if (!in.U16(count) || in.Left() < count * kPlacementBytes) {
      error = "the file ends inside the object list " + std::to_string(list) + " of " + SectorName(out) + platform::AtByte(start);
      return false;
    }
    std::vector<TTRVPlacement>& placements = out.placements[static_cast<std::size_t>(list)];
    placements.resize(count);
    for (TTRVPlacement& p : placements) {
      in.U8(p.x), in.U8(p.z), in.U8(p.object), in.U8(p.look), in.U8(p.offset);
      if (p.x >= kSectorCells || p.z >= kSectorCells) {
        error = "an object of " + SectorName(out) + " stands outside it, at local cell (" + std::to_string(p.x) +
                ", " + std::to_string(p.z) + ")" + platform::AtByte(in.Pos() - kPlacementBytes);
        return false;
      }
    }
  }
  return true;
}

bool InsideMap(const TTRVCell16& c, const TTRVWorldFileData& d) {
  return c.x >= 0 && c.z >= 0 && c.x < d.CellsX() && c.z < d.CellsZ();
}

}  // namespace

bool ReadSectorRecord(std::span<const std::uint8_t> bytes, std::size_t offset, TTRVSectorRecord& out,
                      std::string& error) {
  if (offset > bytes.size()) {
    error = "a sector record lies beyond the end of the world" + platform::AtByte(offset);
    return false;
  }
  ByteReader in(bytes, offset);
  return ReadRecordBody(in, out, error);
}

bool ParseWorldFile(std::span<const std::uint8_t> bytes, TTRVWorldFileData& out, std::string& error,
                    std::vector<std::size_t>* sectorOffsets) {
  out = TTRVWorldFileData{};
  if (sectorOffsets) sectorOffsets->clear();
  ByteReader in(bytes);
  auto cut = [&](const char* what) {
    error = std::string("the file ends inside ") + what + platform::AtByte(in.Pos());
    return false;
  };

  std::string magic;
  if (!in.ShortString(magic) || magic != kWorldMagic) {
    error = "not a world file: it does not start with \"TRVWRLD\"";
    return false;
  }
  if (!in.ShortString(out.worldName)) return cut("the world name");
  if (!in.F64(out.createdAt)) return cut("the creation date");
  if (!in.I32(out.heightDivisor)) return cut("the height divisor");
  std::uint8_t lastTheme;
  if (!in.U8(lastTheme)) return cut("the theme count");
  out.themeNames.resize(std::size_t{lastTheme} + 1);
  for (std::string& name : out.themeNames)
    if (!in.ShortString(name)) return cut("the theme names");
  if (!in.I32(out.sectorCountX) || !in.I32(out.sectorCountZ)) return cut("the map size");
  // The grids are sized from these, so they are checked before anything is allocated.
  for (std::int32_t count : {out.sectorCountX, out.sectorCountZ})
    if (count < 1 || count > kMaxSectorsPerSide) {
      error = "the map is " + std::to_string(out.sectorCountX) + " x " + std::to_string(out.sectorCountZ) +
              " sectors; each side must hold 1 to " + std::to_string(kMaxSectorsPerSide);
      return false;
    }
  if (!in.I16(out.firstBaseCount)) return cut("the base count");

  const std::size_t mapSectors = static_cast<std::size_t>(out.sectorCountX) * static_cast<std::size_t>(out.sectorCountZ);
  while (!in.AtEnd() && in.Peek() == kSectorTag) {
    // More records than the map has sectors can only be repeats; stop before they pile up.
    if (out.sectors.size() == mapSectors) {
      error = "the world holds more sector records than its map has sectors" + platform::AtByte(in.Pos());
      return false;
    }
    std::uint8_t tag;
    in.U8(tag);
    if (sectorOffsets) sectorOffsets->push_back(in.Pos());
    TTRVSectorRecord& record = out.sectors.emplace_back();
    if (!ReadRecordBody(in, record, error)) return false;
  }

  const std::size_t cells = static_cast<std::size_t>(out.CellsX()) * static_cast<std::size_t>(out.CellsZ());
  if (in.Left() < cells) return cut("the grass flags");
  out.grass.resize(cells);
  in.Raw(out.grass.data(), cells);

  std::int16_t baseCount;
  if (!in.I16(baseCount)) return cut("the land base count");
  if (baseCount < 0) {
    error = "the land base count is negative" + platform::AtByte(in.Pos() - 2);
    return false;
  }
  if (in.Left() < static_cast<std::size_t>(baseCount) * 4 * (1 + kBaseTurretCells)) return cut("the land bases");
  out.landBases.resize(static_cast<std::size_t>(baseCount));
  for (TTRVLandBase& base : out.landBases) {
    in.I16(base.cell.x), in.I16(base.cell.z);
    for (TTRVCell16& t : base.turretCells) in.I16(t.x), in.I16(t.z);
  }
  for (TTRVCell16& naval : out.navalBases)
    if (!in.I16(naval.x) || !in.I16(naval.z)) return cut("the naval bases");

  error = WorldDataFault(out);
  return error.empty();
}

std::string WorldDataFault(const TTRVWorldFileData& d) {
  if (d.worldName.size() > 255) return "the world name is longer than 255 characters";
  if (!std::isfinite(d.createdAt)) return "the creation date is not a number";
  if (d.heightDivisor <= 0)
    return "the height divisor is " + std::to_string(d.heightDivisor) + "; it must be above 0";
  if (d.themeNames.empty() || d.themeNames.size() > kMaxWorldThemes)
    return "the world names " + std::to_string(d.themeNames.size()) + " themes; a cell can name 1 to " +
           std::to_string(kMaxWorldThemes);
  for (const std::string& name : d.themeNames)
    if (!PlainFileName(name) || name.size() > 255) return "the theme name \"" + name + "\" is not a file name";
  if (d.sectorCountX < 1 || d.sectorCountX > kMaxSectorsPerSide || d.sectorCountZ < 1 ||
      d.sectorCountZ > kMaxSectorsPerSide)
    return "the map is " + std::to_string(d.sectorCountX) + " x " + std::to_string(d.sectorCountZ) +
           " sectors; each side must hold 1 to " + std::to_string(kMaxSectorsPerSide);
  if (d.sectors.empty()) return "the world holds no land sector";

  const std::size_t themeCount = d.themeNames.size();
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(d.sectorCountX * d.sectorCountZ), 0);
  for (const TTRVSectorRecord& s : d.sectors) {
    if (s.sectorX < 0 || s.sectorX >= d.sectorCountX || s.sectorZ < 0 || s.sectorZ >= d.sectorCountZ)
      return SectorName(s) + " lies outside the map";
    std::uint8_t& once = seen[static_cast<std::size_t>(s.sectorX * d.sectorCountZ + s.sectorZ)];
    if (once) return SectorName(s) + " is stored twice";
    once = 1;
    for (std::uint8_t type : s.cellTypes)
      if ((type >> 4) >= themeCount)
        return "a cell of " + SectorName(s) + " names theme " + std::to_string(type >> 4) + " of " +
               std::to_string(themeCount);
    for (const std::vector<TTRVPlacement>& list : s.placements) {
      if (list.size() > 0xFFFF) return SectorName(s) + " holds more than 65535 objects in one list";
      for (const TTRVPlacement& p : list) {
        if (p.x >= kSectorCells || p.z >= kSectorCells) return "an object of " + SectorName(s) + " stands outside it";
        if (static_cast<std::size_t>(p.ThemeIndex()) >= themeCount)
          return "an object of " + SectorName(s) + " names theme " + std::to_string(p.ThemeIndex()) + " of " +
                 std::to_string(themeCount);
      }
    }
  }

  const std::size_t cells = static_cast<std::size_t>(d.CellsX()) * static_cast<std::size_t>(d.CellsZ());
  if (d.grass.size() != cells)
    return "the world holds " + std::to_string(d.grass.size()) + " grass flags for " + std::to_string(cells) +
           " cells";
  for (std::size_t i = 0; i < cells; ++i)
    if (d.grass[i] > 1) return "grass flag " + std::to_string(i) + " is neither 0 nor 1";
  if (d.landBases.size() > 0x7FFF) return "the world holds more than 32767 land bases";
  for (std::size_t i = 0; i < d.landBases.size(); ++i)
    if (!InsideMap(d.landBases[i].cell, d)) return "land base " + std::to_string(i) + " lies outside the map";
  for (std::size_t i = 0; i < d.navalBases.size(); ++i)
    if (!InsideMap(d.navalBases[i], d)) return "naval base " + std::to_string(i) + " lies outside the map";
  return {};
}

std::string WorldObjectFault(const TTRVWorldFileData& d, std::span<const std::size_t> objectCounts) {
  for (const TTRVSectorRecord& s : d.sectors)
    for (const std::vector<TTRVPlacement>& list : s.placements)
      for (const TTRVPlacement& p : list) {
        const auto theme = static_cast<std::size_t>(p.ThemeIndex());
        const std::size_t have = theme < objectCounts.size() ? objectCounts[theme] : 0;
        if (static_cast<std::size_t>(p.ObjectIndex()) >= have) {
          const std::string name = theme < d.themeNames.size() ? d.themeNames[theme] : std::to_string(theme);
          return "an object of " + SectorName(s) + " is object " + std::to_string(p.ObjectIndex()) + " of theme \"" +
                 name + "\", which holds " + std::to_string(have);
        }
      }
  return {};
}

std::vector<std::uint8_t> WriteWorldFile(const TTRVWorldFileData& d) {
  if (!WorldDataFault(d).empty()) return {};
  ByteWriter out;
  out.ShortString(std::string(kWorldMagic));
  out.ShortString(d.worldName);
  out.F64(d.createdAt);
  out.I32(d.heightDivisor);
  out.U8(static_cast<std::uint8_t>(d.themeNames.size() - 1));
  for (const std::string& name : d.themeNames) out.ShortString(name);
  out.I32(d.sectorCountX);
  out.I32(d.sectorCountZ);
  out.I16(d.firstBaseCount);
  for (const TTRVSectorRecord& s : d.sectors) {
    out.U8(kSectorTag);
    out.I32(s.sectorX);
    out.I32(s.sectorZ);
    out.Raw(s.heights.data(), s.heights.size());
    out.Raw(s.cellTypes.data(), s.cellTypes.size());
    for (const std::vector<TTRVPlacement>& list : s.placements) {
      out.U16(static_cast<std::uint16_t>(list.size()));
      for (const TTRVPlacement& p : list) {
        const std::uint8_t five[kPlacementBytes] = {p.x, p.z, p.object, p.look, p.offset};
        out.Raw(five, kPlacementBytes);
      }
    }
  }
  out.Raw(d.grass.data(), d.grass.size());
  out.I16(static_cast<std::int16_t>(d.landBases.size()));
  for (const TTRVLandBase& base : d.landBases) {
    out.I16(base.cell.x), out.I16(base.cell.z);
    for (const TTRVCell16& t : base.turretCells) out.I16(t.x), out.I16(t.z);
  }
  for (const TTRVCell16& naval : d.navalBases) out.I16(naval.x), out.I16(naval.z);
  return std::move(out.bytes);
}

bool SaveWorldFile(const std::filesystem::path& path, const TTRVWorldFileData& data, std::string& error) {
  const std::string fault = WorldDataFault(data);
  if (!fault.empty()) {
    error = "cannot write the world: " + fault;
    return false;
  }
  const std::vector<std::uint8_t> bytes = WriteWorldFile(data);
  std::string why;
  if (!platform::WriteFileAtomically(path, bytes, why)) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

TTRVExtractWorldData ReadWorldHeader(const std::filesystem::path& file, std::string_view name) {
  TTRVExtractWorldData header;
  std::vector<std::uint8_t> bytes;
  if (file.empty() || platform::ReadFileBytes(file, kMaxWorldFileSize, bytes) != platform::ReadFileResult::Ok)
    return header;
  // The base count lies behind every sector record, so the whole file is read; it is also
  // the only way to say that the world would load.
  TTRVWorldFileData data;
  std::string error;
  if (!ParseWorldFile(bytes, data, error)) return header;
  header.valid = true;
  header.name = name;
  header.sectorsX = data.sectorCountX;
  header.sectorsZ = data.sectorCountZ;
  header.baseCount = static_cast<int>(data.landBases.size());
  header.createdAt = data.createdAt;
  return header;
}

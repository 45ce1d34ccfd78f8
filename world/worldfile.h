// The world file (magic "TRVWRLD") as plain records: a byte-level reader that checks every
// length, count and index before anything is used, and a writer that is its exact mirror.
// Builds no scene objects and loads no themes, so the generator, the tests and the fuzzer use
// it headless. The world's loader (worldload.h) turns the records into grids.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kWorldMagic = "TRVWRLD";
inline constexpr std::uint8_t kSectorTag = 'S';

inline constexpr int kSectorCells = 32;                       // cells per sector side
inline constexpr int kSectorSide = kSectorCells + 1;          // samples per sector side
inline constexpr int kSectorSamples = kSectorSide * kSectorSide;
inline constexpr int kPlacementLists = 3;
// A sector record's fixed part after its tag: sx, sz, heights, cell types.
inline constexpr std::size_t kSectorRecordBody = 4 + 4 + 2 * kSectorSamples;
inline constexpr std::size_t kPlacementBytes = 5;

// A map holds 1..64 sectors along each axis, and a cell can name 16 themes in its nibble.
inline constexpr int kMaxSectorsPerSide = 64;
inline constexpr int kMaxWorldThemes = 16;
inline constexpr int kBaseTurretCells = 16;
inline constexpr int kNavalBaseCount = 8;

// Terrain classes, the low nibble of a cell's type byte.
enum TTRVTerrainClass : std::uint8_t {
  tcOpenGround = 0,
  tcRoad = 1,
  tcForest = 2,
  tcSea = 4,
  tcRiver = 5,  // inland water
  tcSettlement = 6,
};

// One static object of a sector, exactly its five stored bytes.
struct TTRVPlacement {
  std::uint8_t x = 0;          // local cell 0..31
  std::uint8_t z = 0;
  std::uint8_t object = 0;     // high nibble theme index, low nibble object index
  std::uint8_t look = 0;       // high nibble rotation code (8 = random heading and size), low nibble lift
  std::uint8_t offset = 0x88;  // high nibble x sixteenths, low nibble z sixteenths (8 = on the vertex)

  int ThemeIndex() const { return object >> 4; }
  int ObjectIndex() const { return object & 15; }
  int RotationCode() const { return look >> 4; }
  int Lift() const { return look & 15; }
  bool operator==(const TTRVPlacement&) const = default;
};

struct TTRVSectorRecord {
  std::int32_t sectorX = 0;
  std::int32_t sectorZ = 0;
  // Sample (sx*32 + a, sz*32 + b) at [a * 33 + b], a along X.
  std::array<std::uint8_t, kSectorSamples> heights{};
  std::array<std::uint8_t, kSectorSamples> cellTypes{};  // high nibble theme, low nibble class
  // The lists differ only in the detail levels that show them; list 0 is full detail only.
  std::array<std::vector<TTRVPlacement>, kPlacementLists> placements;

  std::uint8_t Height(int a, int b) const { return heights[static_cast<std::size_t>(a * kSectorSide + b)]; }
  std::uint8_t CellType(int a, int b) const { return cellTypes[static_cast<std::size_t>(a * kSectorSide + b)]; }
  bool operator==(const TTRVSectorRecord&) const = default;
};

struct TTRVCell16 {
  std::int16_t x = 0;
  std::int16_t z = 0;
  bool operator==(const TTRVCell16&) const = default;
};

struct TTRVLandBase {
  TTRVCell16 cell;
  // Where the base's turrets stand. The generator may leave a point it could not place
  // outside the map, so these are not checked; whoever places turrets must.
  std::array<TTRVCell16, kBaseTurretCells> turretCells{};
  bool operator==(const TTRVLandBase&) const = default;
};

struct TTRVWorldFileData {
  std::string worldName;    // as stored; the loader names the world after its file instead
  double createdAt = 0;     // days since 1899-12-30
  std::int32_t heightDivisor = 25;
  std::vector<std::string> themeNames;  // 1..16 file names; the index is a cell's theme nibble
  std::int32_t sectorCountX = 0;
  std::int32_t sectorCountZ = 0;
  std::int16_t firstBaseCount = 0;  // an early copy of the base count, never used
  std::vector<TTRVSectorRecord> sectors;  // land sectors, in file order
  std::vector<std::uint8_t> grass;        // one 0/1 per cell, x-major
  std::vector<TTRVLandBase> landBases;
  std::array<TTRVCell16, kNavalBaseCount> navalBases{};

  int CellsX() const { return sectorCountX * kSectorCells; }
  int CellsZ() const { return sectorCountZ * kSectorCells; }
  bool operator==(const TTRVWorldFileData&) const = default;
};

// Reads a whole world file. On success every rule of WorldDataFault holds, and
// sectorOffsets (when given) receives, per record, the file position just after its tag.
// False with a message naming what is wrong and where; out is then unspecified. Bytes after
// the naval bases are ignored. Never throws on bad input.
bool ParseWorldFile(std::span<const std::uint8_t> bytes, TTRVWorldFileData& out, std::string& error,
                    std::vector<std::size_t>* sectorOffsets = nullptr);

// Reads one sector record whose body starts at `offset` (just after its tag), as sectors do
// when they are built from the world stream. False when the record does not fit the bytes or
// its local placement cells leave the sector.
bool ReadSectorRecord(std::span<const std::uint8_t> bytes, std::size_t offset, TTRVSectorRecord& out,
                      std::string& error);

// Empty when the records form a world the reader accepts: height divisor > 0, a finite
// creation date, 1..16 theme names that are plain file names, 1..64 sectors along each axis,
// at least one sector record, each inside the map and stored once, with theme nibbles naming
// a listed theme and placement cells 0..31, exactly one grass flag (0 or 1) per cell, a
// non-negative base count, and land and naval base cells inside the map.
std::string WorldDataFault(const TTRVWorldFileData& data);

// Empty when every placement's object nibble names an object of its theme; objectCounts[i]
// is the number of objects of theme i as loaded.
std::string WorldObjectFault(const TTRVWorldFileData& data, std::span<const std::size_t> objectCounts);

// The stored form. Empty when WorldDataFault has something to say.
std::vector<std::uint8_t> WriteWorldFile(const TTRVWorldFileData& data);
// A world file's summary for the lists: valid only when the whole file reads as a world.
struct TTRVExtractWorldData {
  bool valid = false;
  std::string name;  // the file's name, which is the world's
  int sectorsX = 0;
  int sectorsZ = 0;
  int baseCount = 0;     // land bases
  double createdAt = 0;  // days since 1899-12-30
};
// Reads `file`, named `name` in the lists. Never throws on bad input.
TTRVExtractWorldData ReadWorldHeader(const std::filesystem::path& file, std::string_view name);

// Writes to a temporary file beside the target and renames it over the target, so a failed
// write never leaves half a world behind.
bool SaveWorldFile(const std::filesystem::path& path, const TTRVWorldFileData& data, std::string& error);

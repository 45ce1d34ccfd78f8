// The island generator's shared working state: the parameters, the per-vertex grids every
// stage reads and writes, the objects placed so far and the road nodes, and what the stages
// need to know of each theme. Plain data; the stages are free functions over it (elevation.h,
// terrain.h, roads.h, dressing.h, bases.h, worldout.h) and TTRVWorldCreator runs them in order.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "world/grid.h"


// What a new island is made from. The creator keeps its own copy.
struct TTRVWorldParams {
  int mapWidth = 10;       // sectors along X
  int mapHeight = 10;      // sectors along Z
  int featureSize = 128;   // seed spacing of the elevation field is half the next power of two
  int heightScale = 15;    // divisor of the height bytes, stored in the world file
  int landPercent = 50;    // wanted share of land
  int baseCount = 8;       // land bases to place
  float treeDensity = 0.25f;
  // In order; the climate themes first, then "Water" and "Military".
  std::vector<std::string> themeNames;
};

// Largest maps the world file can hold, and the smallest on which the terrace and road
// layouts (64-cell margins, 128-cell road blocks) still have room.
inline constexpr int kMinMapSectors = 4;
inline constexpr int kMaxMapSectors = 64;
// A cell's theme nibble names at most 16 themes: 14 climates, the water and the military.
inline constexpr int kMaxThemeNames = 16;
inline constexpr int kMaxClimateThemes = 14;
// A placement's object nibble.
inline constexpr int kMaxObjectsPerTheme = 16;

// Empty when the parameters describe an island the generator can make.
std::string WorldParamsFault(const TTRVWorldParams& params);

enum TTRVPlacementPurpose : std::uint8_t { ppTree = 0, ppBuilding = 1, ppFencePost = 3, ppWall = 4 };

// One object placed on a vertex; becomes a 5-byte record of the world file.
struct TTRVGenPlacement {
  std::int32_t x = 0;
  std::int32_t z = 0;
  std::uint8_t theme = 0;     // index in the creator's themes
  std::uint8_t object = 0;    // index in that theme's objects
  std::uint8_t rotation = 0;  // 8: random heading and size when shown; else 45-degree steps
  std::uint8_t subX = 8;      // sixteenths of a cell; 8 is on the vertex
  std::uint8_t subZ = 8;
  std::uint8_t lift = 0;
  std::uint8_t list = 0;      // up to which detail level it is shown: 0, 1 or 2
  std::uint8_t purpose = ppTree;
};

// What the stages need of one theme: which terrain classes its materials paint (0 stands
// for plain ground, a material that paints no class) and the kinds of its objects.
struct TTRVGenTheme {
  std::string name;
  std::array<bool, 16> paints{};
  std::vector<std::uint8_t> objectKinds;
  std::vector<std::uint8_t> trees;      // object indices of kind 0, ascending
  std::vector<std::uint8_t> buildings;  // kind 1
  std::vector<std::uint8_t> grass;      // kind 2

  bool Paints(int terrainClass) const {
    return terrainClass >= 0 && terrainClass < 16 && paints[static_cast<std::size_t>(terrainClass)];
  }
};

// Reads programFolder/themes/<name>.TRV without building textures or models. False with a
// message when the file is missing or broken, or holds more objects than a nibble can name.
bool ReadGenTheme(const std::filesystem::path& programFolder, const std::string& name, TTRVGenTheme& out,
                  std::string& error);

// The grids are (mapWidth * 32) x (mapHeight * 32) vertices, [x][z], x the outer index.
struct TTRVGenState {
  TTRVWorldParams params;
  std::vector<TTRVGenTheme> themes;  // one per name of params.themeNames, same order
  int militaryTheme = -1;

  TTRVGrid<std::uint8_t> sketch;      // one red value per sector, [x][y]; 0 = sea
  TTRVGrid<std::uint8_t> noiseField;  // scratch, refilled by MakeField
  TTRVGrid<std::uint8_t> elevation;   // height bytes
  TTRVGrid<std::uint8_t> zoneGrid;    // theme index per vertex
  TTRVGrid<std::uint8_t> classGrid;   // terrain class per vertex
  TTRVGrid<std::uint8_t> grassFlags;  // 1: grass may grow
  std::vector<TTRVGenPlacement> placements;
  std::vector<TTRVCell> nodes;        // road end points and settlement centres, in order added

  int Length() const { return elevation.SizeX(); }     // cells along X
  int RowLength() const { return elevation.SizeZ(); }  // cells along Z
  // Sizes every grid for the parameters' map and clears the placements and nodes.
  void ResetGrids();
  // Index of the last theme with objects of that list (trees, buildings, grass), or -1.
  int LastThemeWith(std::vector<std::uint8_t> TTRVGenTheme::*list) const;
};

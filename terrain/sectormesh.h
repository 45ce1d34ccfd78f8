// The geometry of one sector at its four detail levels, built once into plain vertex arrays
// (positions, texture coordinates, colours, triangle indices) that the sector's draw callback
// hands to OpenGL in one call per level. No GL here, so the meshes are tested headless.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "world/worldfile.h"

// A sector's 33 x 33 bytes, sample (x, z) at [x * 33 + z], as the world file stores them.
using TTRVSectorGrid = std::array<std::uint8_t, kSectorSamples>;
inline std::uint8_t SectorSample(const TTRVSectorGrid& g, int x, int z) {
  return g[static_cast<std::size_t>(x * kSectorSide + z)];
}

// Quad size in cells and skirt depth in world units of each level (0 has no skirts).
int SectorLevelStep(int level);
float SectorSkirtDepth(int level);

// One level of a sector's ground: a grid of shared vertices, then the skirt vertices.
struct TTRVSectorMesh {
  int level = 0;
  std::vector<float> positions;   // x, y, z per vertex, in the sector's own frame
  std::vector<float> texCoords;   // s, t per vertex: s = 1 - x / 32, t = z / 32 (the bake's image)
  std::vector<std::uint16_t> groundIndices;  // triangles, two per drawn quad
  std::vector<std::uint16_t> skirtIndices;   // triangles, two per drawn skirt quad
  int groundQuads = 0;
  int skirtQuads = 0;
  // Some quad had all four heights 0 and was left out: the flat sea plane shows under it.
  bool needsFlatWater = false;

  int VertexCount() const { return static_cast<int>(positions.size() / 3); }
};

// Levels 1 to 3 (and 0, used by the plain ground when the layered one is off): one quad per
// step x step cells, corners at their ground heights (byte / heightDivisor). A quad whose four
// heights are 0 is not drawn and asks for the flat water plane. Levels 1 to 3 also hang skirts
// from the four borders, one quad per step facing outward, down by the level's skirt depth,
// wherever neither upper vertex is at height 0: the coarse meshes of neighbours then never show
// a crack between them. A divisor that is not positive is taken as 1.
TTRVSectorMesh BuildSectorMesh(const TTRVSectorGrid& heights, float heightDivisor, int level);

// The water surface of a full-detail sector: every cell whose four ground heights are all below
// 2 world units gets a quad of the animated sea. Positions and texture coordinates of the
// 33 x 33 corners change every frame (AnimateWater); the indices stay.
struct TTRVWaterMesh {
  std::vector<float> positions;   // 33 x 33 corners, [x][z]
  std::vector<float> texCoords;
  std::vector<std::uint16_t> indices;
  int quads = 0;
};

inline constexpr float kWaterDepthLimit = 2.0f;  // cells with ground below this on every corner get water

// The cells of an open-sea sector are all 0, so every cell gets water.
TTRVWaterMesh BuildWaterMesh(const TTRVSectorGrid& heights, float heightDivisor);

// The world's wave phases and their sines, advanced by the world step.
struct TTRVWaveState {
  float phaseA = 0, phaseB = 0;
  float sinA = 0, sinB = 0;
};

// Places the corners for this frame: height (sin(sx + x + A) + sin(sz + z + B)) * 0.05 + 0.1,
// with the sector indices entering unscaled; corners on the x = 0 and z = 0 borders pushed 0.1
// outward so neighbouring sectors overlap; texture coordinates rippled by `ripple` [x][z].
using TTRVRippleGrid = std::array<std::array<float, kSectorSide>, kSectorSide>;
void AnimateWater(TTRVWaterMesh& mesh, int sectorX, int sectorZ, const TTRVWaveState& waves, const TTRVRippleGrid& ripple);

// The flat plane under open sea and under the skipped quads of a coarse level.
struct TTRVFlatWater {
  static constexpr float positions[12] = {0, 0, 0, 0, 0, 32, 32, 0, 32, 32, 0, 0};
  static constexpr float texCoords[8] = {0, 0, 0, 1, 1, 1, 1, 0};
};

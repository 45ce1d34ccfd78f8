// The ground's colours and its top-down bake. Until the blended ground layers arrive, a
// sector's full-detail ground is painted per vertex: each theme material's mean texture colour,
// weighted by the ground-layer rules (height bands, class painters, slopes, darkening of slopes
// that fall away toward +Z). The bake renders that ground and the sector's water, and nothing
// else, from straight above into a texture that the coarse levels wear.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "terrain/sectormesh.h"

class TTRVTheme;
class TTRVSector;

// What the vertex painting needs of one theme's materials.
struct TTRVGroundMaterial {
  std::array<float, 3> colour{0.5f, 0.5f, 0.5f};  // mean of the texture, 0..1
  std::uint8_t heightLayer = 0, slopeLayer = 0, paintsClass = 0, slopeThreshold = 0;
  const std::array<std::uint8_t, 256>* heightWeights = nullptr;  // points into the theme
};
struct TTRVGroundPalette {
  std::vector<TTRVGroundMaterial> materials;
};
// One palette per theme, in the world's theme order: the climate themes only (the first
// `count`), since no ground names the unit themes. Reads every material's texture once, so
// build it once for a batch of sectors.
std::vector<TTRVGroundPalette> BuildGroundPalettes(const std::vector<std::unique_ptr<TTRVTheme>>& themes,
                                                   std::size_t count = SIZE_MAX);

// RGBA per sample, [x * 33 + z]. A sample whose theme nibble names no palette is grey.
std::vector<std::uint8_t> PaintGround(const TTRVSectorGrid& heights, const TTRVSectorGrid& cellTypes,
                                      const std::vector<TTRVGroundPalette>& palettes);

// Name of a sector's baked material in the world's library: "D@<sx>@<sz>".
std::string BakedMaterialName(int sectorX, int sectorZ);

// Bakes every sector that still needs it (open sea never does). Answers the number baked, so
// the step can skip its simulation in a frame that baked. Without a GL context the sectors
// are marked baked with an empty texture.
class TTRVWorld;
int BakePendingSectors(TTRVWorld& world);
// Renders one sector's ground and water into the world's bake viewer, from straight above,
// and copies the picture into the sector's baked material.
void BakeGroundTexture(TTRVSector& sector, const std::vector<TTRVGroundPalette>& palettes);

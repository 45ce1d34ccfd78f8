// A sector's ground layers: which theme each vertex takes its ground from (its slot), how much
// of each of that theme's ground materials lies on every vertex, and where each material needs
// drawing. Pure arithmetic over the sector's heights and cell types; the drawing is
// grounddraw.h and no GL is touched here, so the weights are tested headless.
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "terrain/sectormesh.h"

class TTRVTheme;

// The per-theme share of a sector's ground layers.
struct TTRVSectorMatInfo {
  std::bitset<256> usedMaterials;
  std::vector<std::uint8_t> drawCells;  // 33 x 33 per material of the theme, cell (x, z) at [m][x * 33 + z]
  std::string slotThemeName;

  bool DrawsCell(int material, int x, int z) const {
    const std::size_t i = static_cast<std::size_t>(material) * kSectorSamples + static_cast<std::size_t>(x * kSectorSide + z);
    return i < drawCells.size() && drawCells[i] != 0;
  }
};

// A vertex of no slot: no theme with materials was to be had for it.
inline constexpr std::uint8_t kNoSlot = 255;
// The most materials a theme can bring to the ground: one bit of usedMaterials each.
inline constexpr int kMostGroundMaterials = 256;

struct TTRVGroundLayers {
  TTRVSectorGrid themeSlots{};                 // slot of each vertex, kNoSlot for none
  std::vector<TTRVSectorMatInfo> matInfos;     // one per slot
  std::vector<TTRVTheme*> slotThemes;          // the theme of each slot
  // Per slot, per material of its theme, the final weight 0..255 of every vertex, [m][x * 33 + z].
  std::vector<std::vector<std::uint8_t>> weights;

  std::uint8_t Weight(int slot, int material, int x, int z) const;
};

// Builds the layers of one sector. themes[t] is the theme the high nibble t of a cell type
// names (null or missing: not loaded). A vertex whose theme is not loaded or has no materials
// at all takes its ground from `groundTheme` instead (the climate's ground); when that is no
// use either, the vertex has no slot and no layer draws it.
//
// Slots are handed out to distinct theme names in the order the vertices are met, x ascending
// and, inside, z descending. A vertex's weights: each height layer its band's weight at the
// vertex's height, or 1024 where it paints the vertex's terrain class; inside the sector
// (2..30 both ways) on open ground, each slope layer 1024 where the four neighbours' height
// differences sum past its threshold, else 0. They are normalised to 256 in all (each capped
// at 255); a vertex no layer applies to gets material 0 at 255. Ground falling away toward +Z
// is then darkened by 7 % per height step, at most by half. usedMaterials holds every
// material with weight somewhere, and always material 0; drawCells marks, for material 0,
// every cell, and for the others every cell touching a vertex where they weigh anything.
TTRVGroundLayers BuildGroundLayers(const TTRVSectorGrid& heights, const TTRVSectorGrid& cellTypes,
                                   const std::vector<TTRVTheme*>& themes, TTRVTheme* groundTheme);

// The 33 x 33 weights of one material as a grey picture, one texel per vertex, RGBA top row
// first as TGLTexture takes it: vertex (x, z) lands on texel column x, row z counted from the
// bottom. When `alphaWeights` is given, its weights go to the alpha channel (two layers drawn
// in one pass); otherwise alpha is opaque. Vertices missing from a short span weigh 0.
std::vector<std::uint8_t> WeightImage(std::span<const std::uint8_t> weights, std::span<const std::uint8_t> alphaWeights = {});

// Name of the weight material of (slot, material) of sector (sx, sz) in its slot theme's
// library: "A", slot and material joined, "@", sx, "@", sz.
std::string WeightMaterialName(int slot, int material, int sectorX, int sectorZ);

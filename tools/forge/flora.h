// Trees, palms, cacti and grass tufts of the climate themes. Trees are low-poly solids (no
// cut-out, so imposters and shadows of the sun read cleanly), textured from one bark-and-foliage
// atlas; grass tufts are crossed cards cut out of their own picture.
#pragma once

#include <random>

#include "platform/bitmap.h"
#include "tools/forge/meshkit.h"
#include "tools/forge/texkit.h"

namespace forge {

// Cells of the 4 x 4 vegetation atlas.
enum FloraCell {
  kBark, kBirchBark, kPalmBark, kCactus,
  kNeedles, kSnowNeedles, kLeaves, kAutumnLeaves,
  kOliveLeaves, kPineCrown, kAcaciaLeaves, kPalmFrond,
  kCypress, kDeadWood, kStone, kSnowLump,
  // No seventeenth cell: grey stone and desert sandstone share kStone's cell, a half each.
  kSandstone,
};
platform::Bitmap PaintFloraAtlas(std::mt19937& gen);

// Models stand on the origin; heights in world units are what their object records carry.
MeshKit Conifer(std::mt19937& gen, float height, float spread, FloraCell needles);
MeshKit Broadleaf(std::mt19937& gen, float height, float spread, FloraCell bark, FloraCell leaves);
MeshKit UmbrellaPine(std::mt19937& gen, float height, float spread, FloraCell crown = kPineCrown);
MeshKit Cypress(float height);
MeshKit Palm(std::mt19937& gen, float height);
MeshKit Cactus(float height);
MeshKit BareTree(std::mt19937& gen, float height);
MeshKit Boulder(float size, FloraCell cell);

// A grass picture of 2 x 2 cells on black (transparent): lush, flowering, dry, tundra.
platform::Bitmap PaintGrassAtlas(std::mt19937& gen, Rgb dark, Rgb light, Rgb flower);
// Three crossed cards from cell (column, row) of the grass picture.
MeshKit GrassTuft(int column, int row, float width, float height);

}  // namespace forge

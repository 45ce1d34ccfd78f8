// The full-detail ground drawn in layers: one pass per ground material in use, its own tiled
// texture on the first texture unit modulated by its weight texture on the second, the first
// pass opaque and every further one added on top, so the passes sum to the blend the weights
// describe. Which quads each pass covers is planned once per sector load (no GL); the drawing
// runs inside the sector's direct-drawing callback and restores what it changes.
#pragma once

#include <cstdint>
#include <vector>

#include "terrain/groundlayers.h"

class TGLLibMaterial;
struct TRenderContext;

struct TTRVGroundPass {
  int slot = 0;
  int material = 0;
  TGLLibMaterial* look = nullptr;     // the theme's material: texture, repeat, colour
  TGLLibMaterial* weights = nullptr;  // the sector's weight material of (slot, material)
  bool opaque = false;                // the sector's first pass lays the ground down
  std::vector<std::uint16_t> indices; // triangles over the 33 x 33 grid of vertices
  int Quads() const { return static_cast<int>(indices.size() / 6); }
};

struct TTRVGroundLayerMesh {
  std::vector<float> layerCoords;   // (x / 32, z / 32) per grid vertex: the materials' own textures
  std::vector<float> weightCoords;  // the weight textures' texel centres, one texel per vertex
  std::vector<TTRVGroundPass> passes;
};

// The passes of a sector, slot by slot and within a slot by ascending material, one for each
// used material: the first covers every quad whose four heights are not all 0; every further
// one only the quads with a corner where its material weighs anything (adding nothing
// elsewhere, it is not drawn there). Materials are left for the caller to attach.
TTRVGroundLayerMesh PlanGroundPasses(const TTRVGroundLayers& layers, const TTRVSectorGrid& heights);

// Draws the passes that have both materials over the 33 x 33 grid `positions` (x, y, z per
// vertex, [x * 33 + z]) with the depth test at less-or-equal. Answers the passes drawn.
int DrawGroundLayers(TRenderContext& rci, const float* positions, const TTRVGroundLayerMesh& mesh);

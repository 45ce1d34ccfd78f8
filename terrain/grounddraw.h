// The full-detail ground drawn in layers: one pass per ground material in use, or per pair of
// them, each material's own tiled texture weighed by the sector's weight texture, the first
// pass opaque and every further one added on top, so the passes sum to the blend the weights
// describe. Which quads each pass covers, and which layers share a pass, is planned once per
// sector load (no GL); the drawing runs inside the sector's direct-drawing callback and
// restores what it changes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "scene/bounds.h"
#include "terrain/groundlayers.h"

class TGLLibMaterial;
struct TRenderContext;

// Each pass's quads are kept in square chunks of 8 x 8, so that the part of a sector outside
// the view costs no triangles: the camera stands among the sectors it draws in full.
inline constexpr int kGroundChunkCells = 8;
inline constexpr int kGroundChunksPerSide = kSectorCells / kGroundChunkCells;
inline constexpr int kGroundChunks = kGroundChunksPerSide * kGroundChunksPerSide;
using TTRVGroundChunkMask = std::uint32_t;  // bit c: chunk c (x-major: c = cx * 4 + cz) is drawn
inline constexpr TTRVGroundChunkMask kAllGroundChunks = (1u << kGroundChunks) - 1;

struct TTRVGroundPass {
  int slot = 0;
  int material = 0;
  // A second layer drawn in the same pass, or -1: its weights ride in the weight texture's
  // alpha, the first layer's in its colour. Every pixel of a pass costs much the same however
  // many layers it sums, so two layers in one pass cost little more than one.
  int pairSlot = -1;
  int pairMaterial = -1;
  TGLLibMaterial* look = nullptr;      // the theme's material: texture, repeat, colour
  TGLLibMaterial* pairLook = nullptr;  // the second layer's
  TGLLibMaterial* weights = nullptr;   // the sector's weight material of the pass
  bool opaque = false;                 // the sector's first pass lays the ground down
  bool Paired() const { return pairSlot >= 0; }
  std::vector<std::uint16_t> indices; // triangles over the 33 x 33 grid of vertices, chunk by chunk
  std::array<std::uint32_t, kGroundChunks + 1> chunkStarts{};  // where each chunk's indices begin
  int Quads() const { return static_cast<int>(indices.size() / 6); }
};

struct TTRVGroundLayerMesh {
  std::vector<float> layerCoords;   // (x / 32, z / 32) per grid vertex: the materials' own textures
  std::vector<float> weightCoords;  // the weight textures' texel centres, one texel per vertex
  std::vector<TTRVGroundPass> passes;
};

// Whether two layers, (slot, material) each, may share a pass: they must take the same colour.
using TTRVLayerPairing = std::function<bool(int slotA, int materialA, int slotB, int materialB)>;

// The passes of a sector, taking the layers slot by slot and within a slot by ascending
// material: the first covers every quad whose four heights are not all 0; every further one
// only the quads with a corner where its material weighs anything (adding nothing elsewhere,
// it is not drawn there). Where `pairing` allows, a layer takes a later one into its pass when
// that costs fewer pixels than two passes: the pass then covers both layers' quads. Without
// `pairing` every layer has a pass of its own. Materials are left for the caller to attach.
TTRVGroundLayerMesh PlanGroundPasses(const TTRVGroundLayers& layers, const TTRVSectorGrid& heights,
                                     const TTRVLayerPairing& pairing = {});

// Whether the current context can draw both layers of a pair in one pass: it must multiply
// and add in one texture stage and read another unit's texture.
bool CanDrawPairsInOnePass();

// Draws the passes that have their materials over the 33 x 33 grid `positions` (x, y, z per
// vertex, [x * 33 + z]) with the depth test at less-or-equal, each only over the chunks in
// `chunks`. Without `pairsInOnePass` a paired pass is drawn as two from the same weight
// texture. Answers the passes drawn.
int DrawGroundLayers(TRenderContext& rci, const float* positions, const TTRVGroundLayerMesh& mesh, bool pairsInOnePass,
                     TTRVGroundChunkMask chunks = kAllGroundChunks);

// The sphere round each chunk's ground, in the sector's frame (heights as the meshes lift them).
std::array<TBoundingSphere, kGroundChunks> GroundChunkBounds(const TTRVSectorGrid& heights, float heightDivisor);
// The chunks whose sphere, carried into the world by `toWorld`, reaches into the view.
TTRVGroundChunkMask VisibleGroundChunks(const std::array<TBoundingSphere, kGroundChunks>& bounds, const TMatrix& toWorld,
                                        const TFrustum& view);

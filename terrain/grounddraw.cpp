// Planning and drawing the layered full-detail ground.
#include "terrain/grounddraw.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "scene/glextensions.h"
#include "scene/gl.h"
#include "scene/material.h"
#include "scene/rendercontext.h"

namespace {

using TCellSet = std::bitset<static_cast<std::size_t>(kSectorCells * kSectorCells)>;

// A paired pass costs about this many single passes per pixel: one more texture to sample,
// the same rasterising, depth test, fog and blending.
constexpr float kPairedPassCost = 1.3f;

std::size_t Vertex(int x, int z) { return static_cast<std::size_t>(x * kSectorSide + z); }
std::size_t Cell(int x, int z) { return static_cast<std::size_t>(x * kSectorCells + z); }

void PushCell(std::vector<std::uint16_t>& out, int x, int z) {
  // The diagonal from (x, z) to (x + 1, z + 1), as the other levels and the surface queries split.
  const auto v = [](int a, int b) { return static_cast<std::uint16_t>(Vertex(a, b)); };
  for (std::uint16_t i : {v(x, z), v(x, z + 1), v(x + 1, z + 1), v(x, z), v(x + 1, z + 1), v(x + 1, z)}) out.push_back(i);
}

bool CornerWeighs(const TTRVGroundLayers& layers, int slot, int material, int x, int z) {
  return layers.Weight(slot, material, x, z) || layers.Weight(slot, material, x + 1, z) ||
         layers.Weight(slot, material, x, z + 1) || layers.Weight(slot, material, x + 1, z + 1);
}

struct TLayer {
  int slot = 0, material = 0;
  TCellSet cells;  // the quads it adds to
};

std::vector<TLayer> UsedLayers(const TTRVGroundLayers& layers, const TTRVSectorGrid& heights) {
  const auto sea = [&](int x, int z) {
    return SectorSample(heights, x, z) == 0 && SectorSample(heights, x + 1, z) == 0 && SectorSample(heights, x, z + 1) == 0 &&
           SectorSample(heights, x + 1, z + 1) == 0;
  };
  std::vector<TLayer> out;
  for (std::size_t slot = 0; slot < layers.matInfos.size(); ++slot) {
    const TTRVSectorMatInfo& info = layers.matInfos[slot];
    for (int m = 0; m < kMostGroundMaterials; ++m) {
      if (!info.usedMaterials.test(static_cast<std::size_t>(m))) continue;
      TLayer layer{static_cast<int>(slot), m, {}};
      const bool first = out.empty();
      for (int x = 0; x < kSectorCells; ++x)
        for (int z = 0; z < kSectorCells; ++z) {
          if (sea(x, z)) continue;
          if (!first && !(m > 0 ? info.DrawsCell(m, x, z) : CornerWeighs(layers, layer.slot, m, x, z))) continue;
          layer.cells.set(Cell(x, z));
        }
      if (first || layer.cells.any()) out.push_back(std::move(layer));
    }
  }
  return out;
}

void UseTexture(GLenum unit, TGLTexture& texture, const TAffineVector& scale) {
  glActiveTexture(unit);
  glEnable(GL_TEXTURE_2D);
  texture.Bind();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  if (scale != TAffineVector(1, 1, 1)) glScalef(scale.x, scale.y, scale.z);
  glMatrixMode(GL_MODELVIEW);
}

// One texture stage of GL_COMBINE: result = op(args), the alpha kept from `alphaSource`.
void Combine(GLenum op, std::initializer_list<std::pair<GLenum, GLenum>> args, GLenum alphaSource) {
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, static_cast<GLint>(op));
  const GLenum sources[] = {GL_SOURCE0_RGB, GL_SOURCE1_RGB, GL_SOURCE2_RGB};
  const GLenum operands[] = {GL_OPERAND0_RGB, GL_OPERAND1_RGB, GL_OPERAND2_RGB};
  int i = 0;
  for (const auto& [source, operand] : args) {
    glTexEnvi(GL_TEXTURE_ENV, sources[i], static_cast<GLint>(source));
    glTexEnvi(GL_TEXTURE_ENV, operands[i], static_cast<GLint>(operand));
    ++i;
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, static_cast<GLint>(alphaSource));
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
}

void Disable(GLenum unit) {
  glActiveTexture(unit);
  glDisable(GL_TEXTURE_2D);
}

void Release(GLenum unit) {
  glActiveTexture(unit);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_TEXTURE_2D);
}

// The pass's quads over the chunks asked for, neighbouring chunks in one call.
void DrawChunks(const TTRVGroundPass& pass, TTRVGroundChunkMask chunks) {
  int c = 0;
  while (c < kGroundChunks) {
    if (!(chunks >> c & 1)) {
      ++c;
      continue;
    }
    const std::uint32_t from = pass.chunkStarts[static_cast<std::size_t>(c)];
    while (c < kGroundChunks && (chunks >> c & 1)) ++c;
    const std::uint32_t to = pass.chunkStarts[static_cast<std::size_t>(c)];
    if (to > from) glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(to - from), GL_UNSIGNED_SHORT, pass.indices.data() + from);
  }
}

// One layer: its texture times the current colour (its tint) on unit 0, times its weight on
// unit 2, from the weight texture's colour or, for the second layer of a pair, its alpha.
void DrawOneLayer(TGLLibMaterial& look, TGLLibMaterial& weights, bool fromAlpha, const TTRVGroundPass& pass,
                  TTRVGroundChunkMask chunks) {
  const TGLColor& tint = look.Material.FrontProperties.Diffuse;
  glColor4f(tint.Red, tint.Green, tint.Blue, 1);
  UseTexture(GL_TEXTURE0, look.Material.Texture, look.TextureScale);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  Disable(GL_TEXTURE1);
  UseTexture(GL_TEXTURE2, weights.Material.Texture, {1, 1, 1});
  Combine(GL_MODULATE, {{GL_PREVIOUS, GL_SRC_COLOR}, {GL_TEXTURE, fromAlpha ? GL_SRC_ALPHA : GL_SRC_COLOR}}, GL_PREVIOUS);
  DrawChunks(pass, chunks);
}

// Both layers of a pair at once: A × wA on unit 0 (wA read across from unit 2's colour, wB
// carried on in alpha), B × wB + that on unit 1, the shared tint on unit 2.
void DrawPair(const TTRVGroundPass& pass, TTRVGroundChunkMask chunks) {
  TGLLibMaterial& a = *pass.look;
  TGLLibMaterial& b = *pass.pairLook;
  const TGLColor& tint = a.Material.FrontProperties.Diffuse;
  glColor4f(tint.Red, tint.Green, tint.Blue, 1);
  UseTexture(GL_TEXTURE0, a.Material.Texture, a.TextureScale);
  Combine(GL_MODULATE, {{GL_TEXTURE, GL_SRC_COLOR}, {GL_TEXTURE2, GL_SRC_COLOR}}, GL_TEXTURE2);
  UseTexture(GL_TEXTURE1, b.Material.Texture, b.TextureScale);
  Combine(GL_MODULATE_ADD_ATI, {{GL_TEXTURE, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_COLOR}, {GL_PREVIOUS, GL_SRC_ALPHA}}, GL_PREVIOUS);
  UseTexture(GL_TEXTURE2, pass.weights->Material.Texture, {1, 1, 1});
  Combine(GL_MODULATE, {{GL_PREVIOUS, GL_SRC_COLOR}, {GL_PRIMARY_COLOR, GL_SRC_COLOR}}, GL_PREVIOUS);
  DrawChunks(pass, chunks);
}

void StartAdding(bool& blending) {
  if (blending) return;
  // Every further pass adds its share. Fog is laid once, by the first pass: the others fade
  // toward black, so the sum fades toward the fog colour exactly once.
  blending = true;
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glDepthMask(GL_FALSE);
  const GLfloat black[4] = {0, 0, 0, 0};
  glFogfv(GL_FOG_COLOR, black);
}

}  // namespace

TTRVGroundLayerMesh PlanGroundPasses(const TTRVGroundLayers& layers, const TTRVSectorGrid& heights, const TTRVLayerPairing& pairing) {
  TTRVGroundLayerMesh mesh;
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      mesh.layerCoords.insert(mesh.layerCoords.end(), {static_cast<float>(x) / kSectorCells, static_cast<float>(z) / kSectorCells});
      mesh.weightCoords.insert(mesh.weightCoords.end(),
                               {(static_cast<float>(x) + 0.5f) / kSectorSide, (static_cast<float>(z) + 0.5f) / kSectorSide});
    }
  const std::vector<TLayer> used = UsedLayers(layers, heights);
  std::vector<bool> taken(used.size(), false);
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (taken[i]) continue;
    taken[i] = true;
    TTRVGroundPass pass;
    pass.slot = used[i].slot;
    pass.material = used[i].material;
    pass.opaque = i == 0;
    TCellSet cells = used[i].cells;
    // The partner that saves the most pixels, if any saves some.
    std::size_t best = used.size();
    float bestSaving = 0;
    for (std::size_t j = i + 1; pairing && j < used.size(); ++j) {
      if (taken[j] || !pairing(pass.slot, pass.material, used[j].slot, used[j].material)) continue;
      const float apart = static_cast<float>(cells.count() + used[j].cells.count());
      const float saving = apart - kPairedPassCost * static_cast<float>((cells | used[j].cells).count());
      if (saving > bestSaving) {
        bestSaving = saving;
        best = j;
      }
    }
    if (best < used.size()) {
      taken[best] = true;
      pass.pairSlot = used[best].slot;
      pass.pairMaterial = used[best].material;
      cells |= used[best].cells;
    }
    for (int c = 0; c < kGroundChunks; ++c) {
      pass.chunkStarts[static_cast<std::size_t>(c)] = static_cast<std::uint32_t>(pass.indices.size());
      const int x0 = c / kGroundChunksPerSide * kGroundChunkCells, z0 = c % kGroundChunksPerSide * kGroundChunkCells;
      for (int x = x0; x < x0 + kGroundChunkCells; ++x)
        for (int z = z0; z < z0 + kGroundChunkCells; ++z)
          if (cells.test(Cell(x, z))) PushCell(pass.indices, x, z);
    }
    pass.chunkStarts[kGroundChunks] = static_cast<std::uint32_t>(pass.indices.size());
    mesh.passes.push_back(std::move(pass));
  }
  return mesh;
}

bool CanDrawPairsInOnePass() {
  return HasGLExtension("GL_ATI_texture_env_combine3") && HasGLExtension("GL_ARB_texture_env_crossbar");
}

int DrawGroundLayers(TRenderContext& rci, const float* positions, const TTRVGroundLayerMesh& mesh, bool pairsInOnePass,
                     TTRVGroundChunkMask chunks) {
  if (mesh.passes.empty() || !positions || !chunks) return 0;
  GLint depthFunc = GL_LEQUAL;
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  glDepthFunc(GL_LEQUAL);
  GLfloat fogColour[4] = {0, 0, 0, 0};
  glGetFloatv(GL_FOG_COLOR, fogColour);

  glDisable(GL_LIGHTING);
  glVertexPointer(3, GL_FLOAT, 0, positions);
  // Units 0 and 1 carry the layers' textures, unit 2 the weights.
  for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1, GL_TEXTURE2}) {
    glClientActiveTexture(unit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, unit == GL_TEXTURE2 ? mesh.weightCoords.data() : mesh.layerCoords.data());
  }

  int drawn = 0;
  bool blending = false;
  for (const TTRVGroundPass& pass : mesh.passes) {
    if (!pass.look || !pass.weights || pass.indices.empty() || (pass.Paired() && !pass.pairLook)) continue;
    if (!pass.opaque) StartAdding(blending);
    if (pass.Paired() && pairsInOnePass) {
      DrawPair(pass, chunks);
    } else {
      DrawOneLayer(*pass.look, *pass.weights, false, pass, chunks);
      if (pass.Paired()) {
        StartAdding(blending);
        DrawOneLayer(*pass.pairLook, *pass.weights, true, pass, chunks);
        ++drawn;
      }
    }
    ++drawn;
  }

  for (GLenum unit : {GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
    Release(unit);
    glClientActiveTexture(unit);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (blending) {
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glFogfv(GL_FOG_COLOR, fogColour);
  }
  glDepthFunc(static_cast<GLenum>(depthFunc));
  if (rci.lighting) glEnable(GL_LIGHTING);
  return drawn;
}

std::array<TBoundingSphere, kGroundChunks> GroundChunkBounds(const TTRVSectorGrid& heights, float heightDivisor) {
  std::array<TBoundingSphere, kGroundChunks> out{};
  const float divisor = heightDivisor > 0 ? heightDivisor : 1;
  for (int c = 0; c < kGroundChunks; ++c) {
    const int x0 = c / kGroundChunksPerSide * kGroundChunkCells, z0 = c % kGroundChunksPerSide * kGroundChunkCells;
    int low = 255, high = 0;
    for (int x = x0; x <= x0 + kGroundChunkCells; ++x)
      for (int z = z0; z <= z0 + kGroundChunkCells; ++z) {
        low = std::min<int>(low, SectorSample(heights, x, z));
        high = std::max<int>(high, SectorSample(heights, x, z));
      }
    const float half = kGroundChunkCells / 2.0f, bottom = static_cast<float>(low) / divisor, top = static_cast<float>(high) / divisor;
    const float depth = (top - bottom) / 2;
    out[static_cast<std::size_t>(c)] = {{static_cast<float>(x0) + half, (bottom + top) / 2, static_cast<float>(z0) + half},
                                        std::sqrt(2 * half * half + depth * depth)};
  }
  return out;
}

TTRVGroundChunkMask VisibleGroundChunks(const std::array<TBoundingSphere, kGroundChunks>& bounds, const TMatrix& toWorld,
                                        const TFrustum& view) {
  TTRVGroundChunkMask mask = 0;
  for (int c = 0; c < kGroundChunks; ++c) {
    const TBoundingSphere world = TransformSphere(bounds[static_cast<std::size_t>(c)], toWorld);
    if (!view.Outside(world.centre, world.radius)) mask |= 1u << c;
  }
  return mask;
}

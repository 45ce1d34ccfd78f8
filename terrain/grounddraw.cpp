// Planning and drawing the layered full-detail ground.
#include "terrain/grounddraw.h"

#include "scene/gl.h"
#include "scene/material.h"
#include "scene/rendercontext.h"

namespace {

std::size_t Vertex(int x, int z) { return static_cast<std::size_t>(x * kSectorSide + z); }

void PushCell(std::vector<std::uint16_t>& out, int x, int z) {
  // The diagonal from (x, z) to (x + 1, z + 1), as the other levels and the surface queries split.
  const auto v = [](int a, int b) { return static_cast<std::uint16_t>(Vertex(a, b)); };
  for (std::uint16_t i : {v(x, z), v(x, z + 1), v(x + 1, z + 1), v(x, z), v(x + 1, z + 1), v(x + 1, z)}) out.push_back(i);
}

bool CornerWeighs(const TTRVGroundLayers& layers, int slot, int material, int x, int z) {
  return layers.Weight(slot, material, x, z) || layers.Weight(slot, material, x + 1, z) ||
         layers.Weight(slot, material, x, z + 1) || layers.Weight(slot, material, x + 1, z + 1);
}

void UseTextureUnit(GLenum unit, TGLTexture& texture, const TAffineVector& scale) {
  glActiveTexture(unit);
  glEnable(GL_TEXTURE_2D);
  texture.Bind();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  if (scale != TAffineVector(1, 1, 1)) glScalef(scale.x, scale.y, scale.z);
  glMatrixMode(GL_MODELVIEW);
}

void ReleaseTextureUnit(GLenum unit) {
  glActiveTexture(unit);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace

TTRVGroundLayerMesh PlanGroundPasses(const TTRVGroundLayers& layers, const TTRVSectorGrid& heights) {
  TTRVGroundLayerMesh mesh;
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      mesh.layerCoords.insert(mesh.layerCoords.end(), {static_cast<float>(x) / kSectorCells, static_cast<float>(z) / kSectorCells});
      mesh.weightCoords.insert(mesh.weightCoords.end(),
                               {(static_cast<float>(x) + 0.5f) / kSectorSide, (static_cast<float>(z) + 0.5f) / kSectorSide});
    }
  const auto sea = [&](int x, int z) {
    return SectorSample(heights, x, z) == 0 && SectorSample(heights, x + 1, z) == 0 && SectorSample(heights, x, z + 1) == 0 &&
           SectorSample(heights, x + 1, z + 1) == 0;
  };
  for (std::size_t slot = 0; slot < layers.matInfos.size(); ++slot) {
    const TTRVSectorMatInfo& info = layers.matInfos[slot];
    for (int m = 0; m < kMostGroundMaterials; ++m) {
      if (!info.usedMaterials.test(static_cast<std::size_t>(m))) continue;
      TTRVGroundPass pass;
      pass.slot = static_cast<int>(slot);
      pass.material = m;
      pass.opaque = mesh.passes.empty();
      for (int x = 0; x < kSectorCells; ++x)
        for (int z = 0; z < kSectorCells; ++z) {
          if (sea(x, z)) continue;
          if (!pass.opaque && !(m > 0 ? info.DrawsCell(m, x, z) : CornerWeighs(layers, pass.slot, m, x, z))) continue;
          PushCell(pass.indices, x, z);
        }
      if (!pass.indices.empty() || pass.opaque) mesh.passes.push_back(std::move(pass));
    }
  }
  return mesh;
}

int DrawGroundLayers(TRenderContext& rci, const float* positions, const TTRVGroundLayerMesh& mesh) {
  if (mesh.passes.empty() || !positions) return 0;
  GLint depthFunc = GL_LEQUAL;
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  glDepthFunc(GL_LEQUAL);
  GLfloat fogColour[4] = {0, 0, 0, 0};
  glGetFloatv(GL_FOG_COLOR, fogColour);
  const GLfloat black[4] = {0, 0, 0, 0};

  glDisable(GL_LIGHTING);
  glVertexPointer(3, GL_FLOAT, 0, positions);
  glClientActiveTexture(GL_TEXTURE0);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, mesh.layerCoords.data());
  glClientActiveTexture(GL_TEXTURE1);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, mesh.weightCoords.data());

  int drawn = 0;
  bool blending = false;
  for (const TTRVGroundPass& pass : mesh.passes) {
    if (!pass.look || !pass.weights || pass.indices.empty()) continue;
    if (!pass.opaque && !blending) {
      // Every further pass adds its share. Fog is laid once, by the first pass: the others
      // fade toward black, so the sum fades toward the fog colour exactly once.
      blending = true;
      glEnable(GL_BLEND);
      glBlendFunc(GL_ONE, GL_ONE);
      glDepthMask(GL_FALSE);
      glFogfv(GL_FOG_COLOR, black);
    }
    const TGLColor& colour = pass.look->Material.FrontProperties.Diffuse;
    glColor4f(colour.Red, colour.Green, colour.Blue, 1);
    UseTextureUnit(GL_TEXTURE1, pass.weights->Material.Texture, {1, 1, 1});
    UseTextureUnit(GL_TEXTURE0, pass.look->Material.Texture, pass.look->TextureScale);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(pass.indices.size()), GL_UNSIGNED_SHORT, pass.indices.data());
    ++drawn;
  }

  ReleaseTextureUnit(GL_TEXTURE1);
  ReleaseTextureUnit(GL_TEXTURE0);
  glClientActiveTexture(GL_TEXTURE1);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glClientActiveTexture(GL_TEXTURE0);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  if (blending) {
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glFogfv(GL_FOG_COLOR, fogColour);
  }
  glDepthFunc(static_cast<GLenum>(depthFunc));
  if (rci.lighting) glEnable(GL_LIGHTING);
  return drawn;
}

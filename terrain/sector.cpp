// A sector's loading, detail levels and drawing. The drawing here is the game's own: it runs
// inside the ground renderer's direct-drawing callback and restores what it changes.
#include "terrain/sector.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "platform/log.h"
#include "scene/gl.h"
#include "scene/rendercontext.h"
#include "scene/viewer.h"
#include "terrain/lodtable.h"
#include "terrain/sectorbake.h"
#include "terrain/sectorobjects.h"
#include "world/theme.h"
#include "world/world.h"

TTRVSector::TTRVSector() {
  groundRenderer = AddNewChild<TGLDirectOpenGL>();
  detailRoot = AddNewChild<TGLDummyCube>();
  obstacleCube = AddNewChild<TGLDummyCube>();
  // The boxes are for collisions only.
  obstacleCube->Visible = false;
}

TTRVSector::~TTRVSector() {
  for (const auto& [theme, name] : weightMaterials_)
    if (const int index = theme->materialLibrary.IndexOf(name); index >= 0) theme->materialLibrary.Delete(index);
  if (!world || waterOnly) return;
  // Only a loaded sector has a baked material; an open-sea one made none and frees none.
  const int index = world->materialLibrary.IndexOf(BakedMaterialName(sectorX, sectorZ));
  if (index >= 0) world->materialLibrary.Delete(index);
}

void TTRVSector::LoadSector(TTRVWorld& w, int sx, int sz, bool sea) {
  world = &w;
  waterOnly = sea;
  if (!waterOnly) {
    TTRVSectorRecord record;
    const std::int32_t offset = w.sectorOffsets.At(sx, sz, -1);
    if (offset < 0) {
      loadError = "no record for this sector";
      waterOnly = true;
    } else if (!ReadSectorRecord(w.worldStream, static_cast<std::size_t>(offset), record, loadError)) {
      waterOnly = true;
    } else {
      heights = record.heights;
      cellTypes = record.cellTypes;
      for (int list = 0; list < kPlacementLists; ++list) {
        objectLists[static_cast<std::size_t>(list)].clear();
        for (const TTRVPlacement& p : record.placements[static_cast<std::size_t>(list)]) {
          if (PlacementMaster(w, p))
            objectLists[static_cast<std::size_t>(list)].push_back(p);
          else
            ++droppedPlacements;
        }
      }
    }
  }
  const std::string where = "sector (" + std::to_string(sx) + ", " + std::to_string(sz) + ")";
  if (!loadError.empty()) platform::LogError("sector", where + " is drawn as open sea: " + loadError);
  if (droppedPlacements > 0)
    platform::LogWarning("sector", where + ": " + std::to_string(droppedPlacements) +
                                       " objects name a theme or object the world has not loaded");
  // The indices asked for, not the ones stored in the record: the world finds sectors by them.
  sectorX = sx;
  sectorZ = sz;
  if (waterOnly) {
    needsBake = false;
    heights.fill(0);
    cellTypes.fill(0);
    for (auto& list : objectLists) list.clear();
  } else {
    if (!proxyCube) {
      proxyCube = detailRoot->AddNewChild<TGLDummyCube>();
      nearImposterCube = detailRoot->AddNewChild<TGLDummyCube>();
      farImposterCube = detailRoot->AddNewChild<TGLDummyCube>();
    }
    BuildGroundLayers();
  }
  Position.SetPoint(static_cast<float>(sx * kSectorCells), 0, static_cast<float>(sz * kSectorCells));
  centre = {static_cast<float>(sx * kSectorCells + 16), 0, static_cast<float>(sz * kSectorCells + 16)};
  groundRenderer->OnRender = [this](TGLDirectOpenGL&, TRenderContext& rci) { RenderGround(rci); };
}

void TTRVSector::SetDetailLevel(int level) {
  level = std::clamp(level, 0, 4);
  if (level < kLodNotDrawn) timeToLive = kSectorTimeToLive;
  if (needsBake) {
    detailLevel = 0;
    return;
  }
  if (level == detailLevel) {
    if (!justBaked) return;
    justBaked = false;
  }
  detailLevel = static_cast<std::uint8_t>(level);
  if (waterOnly || !world || !proxyCube) return;
  switch (level) {
    case 0:
      nearImposterCube->DeleteChildren();
      farImposterCube->DeleteChildren();
      if (proxyCube->Count() == 0) {
        obstacleCube->DeleteChildren();
        for (const auto& list : objectLists) BuildProxies(*this, list);
      }
      proxyCube->Visible = true;
      break;
    case 1:
      proxyCube->DeleteChildren();
      farImposterCube->DeleteChildren();
      obstacleCube->DeleteChildren();
      if (nearImposterCube->Count() == 0)
        for (int list : {1, 2}) BuildImposters(*this, objectLists[static_cast<std::size_t>(list)], *nearImposterCube, world->nearImposterBuilder);
      nearImposterCube->Visible = true;
      break;
    case 2:
      proxyCube->DeleteChildren();
      nearImposterCube->DeleteChildren();
      obstacleCube->DeleteChildren();
      if (farImposterCube->Count() == 0) BuildImposters(*this, objectLists[2], *farImposterCube, world->farImposterBuilder);
      farImposterCube->Visible = true;
      break;
    default:
      proxyCube->DeleteChildren();
      nearImposterCube->DeleteChildren();
      farImposterCube->DeleteChildren();
      obstacleCube->DeleteChildren();
      break;
  }
}

const TTRVSectorMesh& TTRVSector::Mesh(int level) {
  level = std::clamp(level, 0, 3);
  auto& mesh = meshes_[static_cast<std::size_t>(level)];
  if (!mesh) mesh = std::make_unique<TTRVSectorMesh>(BuildSectorMesh(heights, world ? world->heightDivisor : 1.0f, level));
  return *mesh;
}

const TTRVWaterMesh& TTRVSector::Water() {
  if (!water_) water_ = std::make_unique<TTRVWaterMesh>(BuildWaterMesh(heights, world ? world->heightDivisor : 1.0f));
  return *water_;
}

float TTRVSector::CameraDistance(const TRenderContext& rci) const {
  const TGLCamera* camera = world ? world->Context().camera : nullptr;
  const TAffineVector eye = camera ? camera->AbsoluteAffinePosition() : rci.cameraPosition;
  return VectorLength(eye - AbsoluteAffinePosition());
}

void TTRVSector::BuildList(TRenderContext& rci) {
  if (!Visible) return;
  inView = !rci.OutOfView({TAffineVector(AbsoluteMatrix() * TVector(16, 0, 16, 1)), kSectorCullRadius});
  detailRoot->Visible = inView;
  TGLDummyCube::BuildList(rci);
}

bool TTRVSector::DrawsAt(float cameraDistance, float frameSeconds) {
  const float range = SectorDrawDistance(world ? world->viewRange : 1);
  if ((cameraDistance <= range && detailLevel != kLodNotDrawn) || needsBake) return true;
  timeToLive -= frameSeconds;
  if (timeToLive < 0) expired = true;
  return false;
}

void TTRVSector::RenderGround(TRenderContext& rci) {
  groundPasses = 0;
  if (!world || rci.picking) return;
  if (!DrawsAt(CameraDistance(rci), rci.buffer ? static_cast<float>(rci.buffer->LastRenderTime()) : 0.0f)) return;
  if (!inView) return;

  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  if (detailLevel == 0) {
    if (!waterOnly) {
      // Layers until the sector is baked; then the picture when the settings ask for it.
      if (needsBake || world->Context().settings.ProceduralGroundTextures || !DrawBaked(rci, 0))
        DrawLayers(rci, VisibleGroundChunks(chunkBounds_, AbsoluteMatrix(), rci.frustum));
    }
    DrawWater(rci);
  } else {
    const int level = std::min<int>(detailLevel, 3);
    bool flat = waterOnly;
    if (!waterOnly) {
      DrawBaked(rci, level);
      flat = Mesh(level).needsFlatWater;
    }
    if (flat) DrawFlatWater(rci);
  }
  glPopClientAttrib();
}

void TTRVSector::DrawForBake(TRenderContext& rci) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  DrawLayers(rci, kAllGroundChunks);
  DrawWater(rci);
  glPopClientAttrib();
}

void TTRVSector::BuildGroundLayers() {
  std::vector<TTRVTheme*> themes;
  TTRVTheme* ground = nullptr;
  const std::size_t listed = std::min(world->themes.size(), static_cast<std::size_t>(std::max(0, world->climateThemeCount)));
  for (std::size_t t = 0; t < listed; ++t) {
    TTRVTheme* theme = world->themes[t].get();
    themes.push_back(theme);
    // The climate's ground: the first listed theme with a ground layer.
    if (!ground && std::ranges::any_of(theme->materialInfos, [](const TTRVMaterialInfo& m) { return m.heightLayer != 0; }))
      ground = theme;
  }
  TTRVGroundLayers layers = ::BuildGroundLayers(heights, cellTypes, themes, ground);
  themeSlots = layers.themeSlots;
  matInfos = layers.matInfos;
  const auto look = [&layers](int slot, int material) {
    return layers.slotThemes[static_cast<std::size_t>(slot)]->materialLibrary.Materials(material);
  };
  // Two layers share a pass when they take the same tint: the pass lays one colour over both.
  const auto sameTint = [&look](int slotA, int materialA, int slotB, int materialB) {
    const TGLLibMaterial* a = look(slotA, materialA);
    const TGLLibMaterial* b = look(slotB, materialB);
    if (!a || !b) return false;
    const TGLColor &x = a->Material.FrontProperties.Diffuse, &y = b->Material.FrontProperties.Diffuse;
    return x.Red == y.Red && x.Green == y.Green && x.Blue == y.Blue;
  };
  groundLayers_ = PlanGroundPasses(layers, heights, sameTint);
  chunkBounds_ = GroundChunkBounds(heights, world->heightDivisor);
  const auto weightsOf = [&layers](int slot, int material) {
    const std::vector<std::uint8_t>& all = layers.weights[static_cast<std::size_t>(slot)];
    return std::span<const std::uint8_t>(all.data() + static_cast<std::size_t>(material) * kSectorSamples, kSectorSamples);
  };
  for (TTRVGroundPass& pass : groundLayers_.passes) {
    TTRVTheme& theme = *layers.slotThemes[static_cast<std::size_t>(pass.slot)];
    pass.look = look(pass.slot, pass.material);
    std::string name = WeightMaterialName(pass.slot, pass.material, sectorX, sectorZ);
    if (pass.Paired()) {
      pass.pairLook = look(pass.pairSlot, pass.pairMaterial);
      name += "+" + std::to_string(pass.pairSlot) + std::to_string(pass.pairMaterial);
    }
    TGLLibMaterial* weights = theme.materialLibrary.GetLibMaterialByName(name);
    if (!weights) {
      weights = theme.materialLibrary.Add(name);
      weightMaterials_.emplace_back(&theme, name);
    }
    const std::vector<std::uint8_t> image =
        pass.Paired() ? WeightImage(weightsOf(pass.slot, pass.material), weightsOf(pass.pairSlot, pass.pairMaterial))
                      : WeightImage(weightsOf(pass.slot, pass.material));
    TGLMaterial& m = weights->Material;
    m.Texture.SetImage(kSectorSide, kSectorSide, image.data());
    m.Texture.TextureMode = tmModulate;
    m.Texture.TextureWrap = twNone;
    // Eight bits a weight, and the pair's second in alpha: the passes must still sum to the
    // whole where they meet.
    m.Texture.TextureFormat = tfRGBA;
    m.Texture.MinFilter = miLinear;
    m.Texture.MagFilter = maLinear;
    pass.weights = weights;
  }
}

void TTRVSector::DrawLayers(TRenderContext& rci, TTRVGroundChunkMask chunks) {
  groundPasses = DrawGroundLayers(rci, Mesh(0).positions.data(), groundLayers_, CanDrawPairsInOnePass(), chunks);
}

bool TTRVSector::DrawBaked(TRenderContext& rci, int level) {
  TGLLibMaterial* baked = world->materialLibrary.GetLibMaterialByName(BakedMaterialName(sectorX, sectorZ));
  if (!baked || !baked->Material.Texture.Handle()) return false;
  const TTRVSectorMesh& mesh = Mesh(level);
  glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
  baked->Material.Apply(rci);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, mesh.texCoords.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.groundIndices.size()), GL_UNSIGNED_SHORT, mesh.groundIndices.data());
  if (!mesh.skirtIndices.empty())
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.skirtIndices.size()), GL_UNSIGNED_SHORT, mesh.skirtIndices.data());
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  baked->Material.UnApply(rci);
  groundPasses = 1;
  return true;
}

namespace {

// The sea through its library, so the theme's texture scale repeats it; the world's plain
// water when no theme paints the sea.
void ApplyWater(TTRVWorld& world, TGLMaterial& ref, TRenderContext& rci) {
  if (TGLLibMaterial* sea = world.ThemeMaterial(world.seaMaterial)) {
    ref.MaterialLibrary = sea->Library();
    ref.LibMaterialName = sea->Name;
    ref.Apply(rci);
  } else {
    world.WaterMaterial().Apply(rci);
  }
}

void UnApplyWater(TTRVWorld& world, TGLMaterial& ref, TRenderContext& rci) {
  if (ref.MaterialLibrary)
    ref.UnApply(rci);
  else
    world.WaterMaterial().UnApply(rci);
}

}  // namespace

void TTRVSector::DrawWater(TRenderContext& rci) {
  if (!water_) Water();
  if (water_->quads == 0) return;
  const TTRVWaveState waves{world->wavePhaseA, world->wavePhaseB, world->waveSinA, world->waveSinB};
  AnimateWater(*water_, sectorX, sectorZ, waves, world->waterRipple);
  TGLMaterial ref;
  ApplyWater(*world, ref, rci);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, water_->positions.data());
  glTexCoordPointer(2, GL_FLOAT, 0, water_->texCoords.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(water_->indices.size()), GL_UNSIGNED_SHORT, water_->indices.data());
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  UnApplyWater(*world, ref, rci);
}

void TTRVSector::DrawFlatWater(TRenderContext& rci) {
  TGLMaterial ref;
  ApplyWater(*world, ref, rci);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, TTRVFlatWater::positions);
  glTexCoordPointer(2, GL_FLOAT, 0, TTRVFlatWater::texCoords);
  glDrawArrays(GL_QUADS, 0, 4);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  UnApplyWater(*world, ref, rci);
}

const TGLBaseSceneObject* ObstacleBoxes(const TTRVSector* sector) {
  if (!sector || sector->waterOnly || sector->detailLevel != 0) return nullptr;
  return sector->obstacleCube;
}

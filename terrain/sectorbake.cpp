// Painting the ground per vertex and baking it from above.
#include "terrain/sectorbake.h"

#include <algorithm>
#include <cstdlib>

#include "scene/camera.h"
#include "scene/directopengl.h"
#include "scene/memoryviewer.h"
#include "scene/scene.h"
#include "terrain/sector.h"
#include "world/theme.h"
#include "world/world.h"

namespace {

std::array<float, 3> MeanColour(const TGLTexture& texture) {
  if (!texture.HasImage()) return {0.5f, 0.5f, 0.5f};
  const std::vector<std::uint8_t> rgba = texture.ImageWithAlpha();
  const std::size_t pixels = rgba.size() / 4;
  // A few thousand samples say as much about a ground texture's colour as all of them.
  const std::size_t stride = std::max<std::size_t>(1, pixels / 4096);
  double sum[3] = {0, 0, 0};
  std::size_t n = 0;
  for (std::size_t i = 0; i < pixels; i += stride, ++n)
    for (int c = 0; c < 3; ++c) sum[c] += rgba[i * 4 + static_cast<std::size_t>(c)];
  if (n == 0) return {0.5f, 0.5f, 0.5f};
  return {static_cast<float>(sum[0] / n / 255), static_cast<float>(sum[1] / n / 255), static_cast<float>(sum[2] / n / 255)};
}

}  // namespace

std::vector<TTRVGroundPalette> BuildGroundPalettes(const std::vector<std::unique_ptr<TTRVTheme>>& themes,
                                                   std::size_t count) {
  std::vector<TTRVGroundPalette> out(std::min(count, themes.size()));
  for (std::size_t t = 0; t < out.size(); ++t) {
    const TTRVTheme& theme = *themes[t];
    for (std::size_t m = 0; m < theme.materialInfos.size(); ++m) {
      const TTRVMaterialInfo& info = theme.materialInfos[m];
      TTRVGroundMaterial g;
      if (const TGLLibMaterial* lib = theme.materialLibrary.Materials(static_cast<int>(m))) g.colour = MeanColour(lib->Material.Texture);
      g.heightLayer = info.heightLayer;
      g.slopeLayer = info.slopeLayer;
      g.paintsClass = info.paintsClass;
      g.slopeThreshold = info.slopeThreshold;
      g.heightWeights = &info.heightWeights;
      out[t].materials.push_back(g);
    }
  }
  return out;
}

std::vector<std::uint8_t> PaintGround(const TTRVSectorGrid& heights, const TTRVSectorGrid& cellTypes,
                                      const std::vector<TTRVGroundPalette>& palettes) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(kSectorSamples) * 4, 255);
  const auto h = [&](int x, int z) { return static_cast<int>(SectorSample(heights, x, z)); };
  std::vector<float> w;
  for (int x = 0; x < kSectorSide; ++x)
    for (int z = 0; z < kSectorSide; ++z) {
      const std::uint8_t type = SectorSample(cellTypes, x, z);
      const std::size_t theme = type >> 4;
      const int terrainClass = type & 15, height = h(x, z);
      float colour[3] = {0.5f, 0.5f, 0.5f};
      if (theme < palettes.size() && !palettes[theme].materials.empty()) {
        const auto& materials = palettes[theme].materials;
        w.assign(materials.size(), 0.0f);
        for (std::size_t m = 0; m < materials.size(); ++m) {
          const TTRVGroundMaterial& g = materials[m];
          if (g.heightLayer) {
            w[m] = g.heightWeights ? (*g.heightWeights)[static_cast<std::size_t>(height)] : 0;
            if (terrainClass != 0 && g.paintsClass == terrainClass) w[m] = 1024;
          }
        }
        if (x >= 2 && x <= 30 && z >= 2 && z <= 30 && terrainClass == 0) {
          const int slope = std::abs(h(x - 1, z) - height) + std::abs(h(x + 1, z) - height) + std::abs(h(x, z - 1) - height) +
                            std::abs(h(x, z + 1) - height);
          for (std::size_t m = 0; m < materials.size(); ++m)
            if (materials[m].slopeLayer) w[m] = slope > materials[m].slopeThreshold ? 1024 : 0;
        }
        float sum = 0;
        for (float v : w) sum += v;
        for (int c = 0; c < 3; ++c) colour[c] = sum > 0 ? 0 : materials[0].colour[static_cast<std::size_t>(c)];
        if (sum > 0)
          for (std::size_t m = 0; m < materials.size(); ++m)
            for (int c = 0; c < 3; ++c) colour[c] += w[m] / sum * materials[m].colour[static_cast<std::size_t>(c)];
      }
      // Ground falling away toward +Z is darkened, by at most half.
      if (z >= 2 && z <= 31 && height < h(x, z - 1)) {
        const float f = std::max(0.5f, static_cast<float>(height - h(x, z - 1)) * 0.07f + 1);
        for (float& c : colour) c *= f;
      }
      std::uint8_t* px = &out[static_cast<std::size_t>(x * kSectorSide + z) * 4];
      for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint8_t>(std::clamp(colour[c], 0.0f, 1.0f) * 255 + 0.5f);
    }
  return out;
}

std::string BakedMaterialName(int sectorX, int sectorZ) {
  return "D@" + std::to_string(sectorX) + "@" + std::to_string(sectorZ);
}

void BakeGroundTexture(TTRVSector& sector, const std::vector<TTRVGroundPalette>& palettes) {
  if (!sector.needsBake || sector.waterOnly || !sector.world) return;
  TTRVWorld& world = *sector.world;
  sector.SetGroundColours(PaintGround(sector.heights, sector.cellTypes, palettes));

  const std::string name = BakedMaterialName(sector.sectorX, sector.sectorZ);
  TGLLibMaterial* baked = world.materialLibrary.GetLibMaterialByName(name);
  if (!baked) baked = world.materialLibrary.Add(name);
  TGLMaterial& m = baked->Material;
  m.BlendingMode = bmOpaque;
  m.MaterialOptions = moNoLighting;
  m.FrontProperties.Diffuse.SetColor(1, 1, 1, 1);
  m.Texture.TextureWrap = twNone;
  m.Texture.Compression = tcNone;
  m.Texture.TextureMode = tmDecal;
  m.Texture.MinFilter = miNearest;

  if (world.bakeViewer && world.bakeCamera) {
    // A scene of its own holding only this sector's ground and water: units, grass, effects,
    // the HUD, the sky and the neighbours' trees never reach the picture.
    TGLScene scene;
    auto* camera = scene.Objects().AddNewChild<TGLCamera>();
    const TGLCamera& model = *world.bakeCamera;
    camera->CameraStyle = model.CameraStyle;
    camera->FocalLength = model.FocalLength;
    camera->DepthOfView = model.DepthOfView;
    camera->Up.SetVector(model.Up.AsAffineVector());
    camera->Direction.SetVector(model.Direction.AsAffineVector());
    camera->Position.SetPoint(static_cast<float>(sector.sectorX * kSectorCells + 16), model.Position.Y(),
                              static_cast<float>(sector.sectorZ * kSectorCells + 16));
    auto* drawer = scene.Objects().AddNewChild<TGLDirectOpenGL>();
    drawer->Position.SetPoint(sector.AbsoluteAffinePosition());
    drawer->OnRender = [&sector](TGLDirectOpenGL&, TRenderContext& rci) { sector.DrawForBake(rci); };

    TGLMemoryViewer& viewer = *world.bakeViewer;
    TGLCamera* previous = viewer.Camera();
    viewer.SetCamera(camera);
    viewer.Render();
    viewer.CopyToTexture(m.Texture);
    viewer.SetCamera(previous);
  }
  m.Texture.Disabled = false;
  sector.needsBake = false;
  sector.justBaked = true;
}

int BakePendingSectors(TTRVWorld& world) {
  if (!world.sectorRoot) return 0;
  std::vector<TTRVSector*> pending;
  for (int c = 0; c < world.sectorRoot->Count(); ++c) {
    TGLBaseSceneObject* column = world.sectorRoot->Children(c);
    for (int i = 0; i < column->Count(); ++i)
      if (auto* s = dynamic_cast<TTRVSector*>(column->Children(i)); s && s->needsBake && !s->waterOnly) pending.push_back(s);
  }
  if (pending.empty()) return 0;
  const std::vector<TTRVGroundPalette> palettes =
      BuildGroundPalettes(world.themes, static_cast<std::size_t>(std::max(0, world.climateThemeCount)));
  for (TTRVSector* s : pending) BakeGroundTexture(*s, palettes);
  return static_cast<int>(pending.size());
}

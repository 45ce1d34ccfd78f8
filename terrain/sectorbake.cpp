// Baking a sector's ground from above.
#include "terrain/sectorbake.h"

#include "scene/camera.h"
#include "scene/directopengl.h"
#include "scene/memoryviewer.h"
#include "scene/scene.h"
#include "terrain/sector.h"
#include "world/world.h"

std::string BakedMaterialName(int sectorX, int sectorZ) {
  return "D@" + std::to_string(sectorX) + "@" + std::to_string(sectorZ);
}

void BakeGroundTexture(TTRVSector& sector) {
  if (!sector.needsBake || sector.waterOnly || !sector.world) return;
  TTRVWorld& world = *sector.world;

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
  for (TTRVSector* s : pending) BakeGroundTexture(*s);
  return static_cast<int>(pending.size());
}

// Building a sector's proxies, imposters and obstacle boxes.
#include "terrain/sectorobjects.h"

#include <algorithm>

#include "platform/random.h"
#include "scene/freeform.h"
#include "scene/imposter.h"
#include "scene/proxy.h"
#include "terrain/sector.h"
#include "world/queries.h"
#include "world/world.h"

namespace {

const TTRVTheme* PlacementTheme(const TTRVWorld& world, const TTRVPlacement& p) {
  const auto t = static_cast<std::size_t>(p.ThemeIndex());
  return t < world.themes.size() ? world.themes[t].get() : nullptr;
}

// Heading and size: code 8 draws both anew for every representation built.
void Orient(TGLBaseSceneObject& o, const TTRVPlacement& p) {
  if (p.RotationCode() == 8) {
    o.SetTurnAngle(static_cast<float>(platform::Random().Int(360)));
    const float s = 0.6f + 0.4f * static_cast<float>(platform::Random().Real());
    o.Scale.SetVector(s, s, s);
  } else {
    o.SetTurnAngle(static_cast<float>(p.RotationCode() * 45));
  }
}

}  // namespace

bool HasImposter(int kind) { return kind == okTree || kind == okBuilding || kind == okImposterObject; }

TGLFreeForm* PlacementMaster(const TTRVWorld& world, const TTRVPlacement& p) {
  const TTRVTheme* theme = PlacementTheme(world, p);
  return theme ? theme->Object(p.ObjectIndex()) : nullptr;
}

int PlacementKind(const TTRVWorld& world, const TTRVPlacement& p) {
  const TTRVTheme* theme = PlacementTheme(world, p);
  const auto k = static_cast<std::size_t>(p.ObjectIndex());
  return theme && k < theme->objectInfos.size() ? theme->objectInfos[k].kind : -1;
}

TAffineVector PlacementLocalPosition(const TTRVPlacement& p) {
  return {static_cast<float>(p.x) + static_cast<float>(p.offset >> 4) / 16.0f - 0.5f, 0,
          static_cast<float>(p.z) - static_cast<float>(p.offset & 15) / 16.0f + 0.5f};
}

void BuildProxies(TTRVSector& sector, const std::vector<TTRVPlacement>& list) {
  if (!sector.world || !sector.proxyCube) return;
  const TTRVWorld& world = *sector.world;
  const TTRVGroundView ground = GroundOf(world);
  const TAffineVector origin = sector.AbsoluteAffinePosition();
  for (const TTRVPlacement& p : list) {
    TGLFreeForm* master = PlacementMaster(world, p);
    if (!master) continue;
    auto* proxy = sector.proxyCube->AddNewChild<TGLProxyObject>();
    proxy->MasterObject = master;
    TAffineVector at = PlacementLocalPosition(p);
    at.y = SurfaceAt(ground, origin + at, false).height;
    proxy->Position.SetPoint(at);
    Orient(*proxy, p);
    AddObstacleBoxes(*sector.obstacleCube, *proxy, *master, PlacementKind(world, p));
  }
}

void BuildImposters(TTRVSector& sector, const std::vector<TTRVPlacement>& list, TGLDummyCube& cube,
                    TGLStaticImposterBuilder& builder) {
  if (!sector.world) return;
  const TTRVWorld& world = *sector.world;
  const float divisor = world.heightDivisor > 0 ? world.heightDivisor : 1.0f;
  for (const TTRVPlacement& p : list) {
    TGLFreeForm* master = PlacementMaster(world, p);
    if (!master || !HasImposter(PlacementKind(world, p))) continue;
    auto* imposter = cube.AddNewChild<TGLImposter>();
    imposter->Builder = &builder;
    imposter->ImpostoredObject = master;
    TAffineVector at = PlacementLocalPosition(p);
    at.y = SectorSample(sector.heights, p.x, p.z) / divisor + static_cast<float>(p.Lift());
    imposter->Position.SetPoint(at);
    Orient(*imposter, p);
  }
}

void AddObstacleBoxes(TGLDummyCube& obstacleCube, const TGLBaseSceneObject& proxy, const TGLBaseSceneObject& master, int kind) {
  if (master.Count() == 0) return;
  const TAffineVector at = proxy.Position.AsAffineVector();
  if (kind == okTree) {
    const TGLBaseSceneObject& marker = *master.Children(0);
    auto* box = obstacleCube.AddNewChild<TGLDummyCube>();
    box->Position.SetPoint(at + marker.Position.AsAffineVector());
    box->Scale.SetVector(marker.Scale.X(), marker.Scale.Y() * proxy.Scale.Y(), marker.Scale.Z());
    return;
  }
  if (kind != okBuilding && kind != okImposterObject) return;
  for (int i = 0; i < master.Count(); ++i) {
    const TGLBaseSceneObject& marker = *master.Children(i);
    auto* box = obstacleCube.AddNewChild<TGLDummyCube>();
    box->Position.SetPoint(at + RotateVectorAroundY(marker.Position.AsAffineVector(), proxy.TurnAngle()));
    box->Scale.SetVector(marker.Scale.AsAffineVector());
    box->SetTurnAngle(proxy.TurnAngle());
  }
}

void ConfigureImposterBuilders(TGLStaticImposterBuilder& nearBuilder, TGLStaticImposterBuilder& farBuilder, int impostorQuality) {
  for (TGLStaticImposterBuilder* b : {&nearBuilder, &farBuilder}) {
    b->Invalidate();
    b->Coronas.assign(1, {16, 0});
    b->AlphaTreshold = 0.1f;
    b->ImposterOptions = impoAlphaTest | impoNearestFiltering;
    b->ImposterReference = irCenter;
    b->Lighting = siblStaticLighting;
    b->SamplingRatioBias = 1;
  }
  nearBuilder.Coronas.push_back({16, 15});
  nearBuilder.Coronas.push_back({16, 30});
  const int size = std::max(8, impostorQuality);
  nearBuilder.SampleSize = size;
  farBuilder.SampleSize = std::max(4, size / 2);
}

// Creating, levelling and releasing sectors around the camera.
#include "terrain/sectorstream.h"

#include <algorithm>
#include <cmath>

#include "terrain/grass.h"
#include "terrain/lodtable.h"
#include "terrain/sector.h"
#include "terrain/sectorbake.h"
#include "terrain/sectorobjects.h"
#include "world/world.h"

namespace {

TGLBaseSceneObject* FindColumn(const TTRVWorld& world, int sx) {
  if (!world.sectorRoot) return nullptr;
  for (int c = 0; c < world.sectorRoot->Count(); ++c)
    if (TGLBaseSceneObject* column = world.sectorRoot->Children(c); column->Tag == sx) return column;
  return nullptr;
}

// The sector of a coordinate: floor(v / 32), with huge or broken values kept far outside.
int SectorIndex(float v) {
  const float s = std::floor(v / kSectorCells);
  if (!(s > -1e6f)) return -1000000;
  if (!(s < 1e6f)) return 1000000;
  return static_cast<int>(s);
}

TAffineVector CameraPosition(const TTRVWorld& world) {
  if (const TGLCamera* camera = world.Context().camera) return camera->AbsoluteAffinePosition();
  if (const TGLBaseSceneObject* target = world.Context().cameraTarget) return target->AbsoluteAffinePosition();
  return {0, 0, 0};
}

}  // namespace

void PrepareSectors(TTRVWorld& world) {
  const TTRVLodTable table = BuildLodTable(world.Context().settings.ViewDistance);
  world.viewRange = static_cast<std::uint8_t>(table.viewRange);
  world.lodTable.Reset(table.size, table.size);
  for (int i = 0; i < table.size; ++i)
    for (int j = 0; j < table.size; ++j) world.lodTable(i, j) = table.At(i, j);
  if (world.skyDome) world.skyDome->Radius = FogRangeFor(table.viewRange).end;
  ConfigureImposterBuilders(world.nearImposterBuilder, world.farImposterBuilder, world.Context().settings.ImpostorQuality);
  PrepareGrass(world);
}

TTRVSector* FindSector(const TTRVWorld& world, int sx, int sz) {
  const TGLBaseSceneObject* column = FindColumn(world, sx);
  if (!column) return nullptr;
  for (int i = 0; i < column->Count(); ++i)
    if (auto* s = dynamic_cast<TTRVSector*>(column->Children(i)); s && s->sectorZ == sz) return s;
  return nullptr;
}

TTRVSector* SectorAt(const TTRVWorld& world, const TAffineVector& position) {
  return FindSector(world, SectorIndex(position.x), SectorIndex(position.z));
}

TTRVSector* GetOrCreateSector(TTRVWorld& world, int sx, int sz) {
  if (TTRVSector* found = FindSector(world, sx, sz)) return found;
  if (world.worldStream.empty() || !world.sectorRoot) return nullptr;
  const bool sea = world.sectorOffsets.At(sx, sz, -1) < 0;
  TGLBaseSceneObject* column = FindColumn(world, sx);
  if (!column) {
    column = world.sectorRoot->AddNewChild<TGLDummyCube>();
    column->Tag = sx;
  }
  auto* sector = column->AddNewChild<TTRVSector>();
  sector->LoadSector(world, sx, sz, sea);
  return sector;
}

void UpdateSectors(TTRVWorld& world, const TAffineVector& camera) {
  if (!world.sectorRoot) return;
  const int size = world.lodTable.SizeX();
  const int v = world.viewRange;
  const int cx = SectorIndex(camera.x), cz = SectorIndex(camera.z);
  for (int i = 0; i < size; ++i)
    for (int j = 0; j < world.lodTable.SizeZ(); ++j) {
      const int sx = cx + 2 * v - i, sz = cz + 2 * v - j;
      const int level = world.lodTable(i, j);
      TTRVSector* sector = FindSector(world, sx, sz);
      if (level < kLodNotDrawn && !sector) sector = GetOrCreateSector(world, sx, sz);
      if (sector) sector->SetDetailLevel(level);
    }

  for (int c = world.sectorRoot->Count() - 1; c >= 0; --c) {
    TGLBaseSceneObject* column = world.sectorRoot->Children(c);
    for (int i = column->Count() - 1; i >= 0; --i)
      if (auto* s = dynamic_cast<TTRVSector*>(column->Children(i)); s && s->expired) s->Free();
  }
  for (int c = world.sectorRoot->Count() - 1; c >= 0; --c)
    if (TGLBaseSceneObject* column = world.sectorRoot->Children(c); column->Count() == 0) column->Free();
}

bool StepSectors(TTRVWorld& world, float dt) {
  // A world nobody prepared still streams, with the settings it was made with.
  if (world.lodTable.Empty()) PrepareSectors(world);
  if (BakePendingSectors(world) > 0) {
    // The next frame lays out the freshly baked sectors' trees and buildings, instead of
    // leaving them bare until the next regular update.
    world.sectorTimer = kSectorUpdateInterval + 1;
    return true;
  }
  world.sectorTimer += dt;
  const TAffineVector camera = CameraPosition(world);
  if (world.sectorTimer > kSectorUpdateInterval) {
    world.sectorTimer = 0;
    UpdateSectors(world, camera);
  }
  UpdateGrass(world, camera);
  if (const TGLCamera* eye = world.Context().camera) ShowGrassInView(world, camera, eye->ViewMatrix());
  return false;
}

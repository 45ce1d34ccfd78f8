// TTRVSector: the scene object of one 32 x 32 cell sector. It reads its record from the world
// stream, draws its ground and water at one of four detail levels through a direct-drawing
// callback (vertex arrays built once per level), holds the sector's static objects as proxies
// (full detail) or imposters (levels 1 and 2), offers invisible obstacle boxes at full detail,
// and counts down its time to live while the camera stays away. Streaming (which sectors exist
// and at what level) is sectorstream.h; the bake is sectorbake.h.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scene/directopengl.h"
#include "terrain/grounddraw.h"
#include "terrain/groundlayers.h"
#include "terrain/sectormesh.h"
#include "world/worldfile.h"

class TTRVTheme;
class TTRVWorld;
struct TRenderContext;

// The sector's record: its first part is exactly a world file sector record's body.
struct TTRVSectorInfo {
  std::int32_t sectorX = 0;
  std::int32_t sectorZ = 0;
  TTRVSectorGrid heights{};     // sample (x, z) at [x * 33 + z]
  TTRVSectorGrid cellTypes{};   // high nibble theme, low nibble terrain class
  TTRVSectorGrid themeSlots{};  // index into matInfos per sample, kNoSlot where no theme has ground
  std::vector<TTRVSectorMatInfo> matInfos;
};

inline constexpr float kSectorTimeToLive = 60.0f;     // seconds granted by every in-range request
inline constexpr float kSectorInitialLife = 100.0f;
inline constexpr float kSectorCullRadius = 45.3f;     // a sphere round the centre holding the whole sector

class TTRVSector : public TGLDummyCube, public TTRVSectorInfo {
 public:
  // Creates the children, in this order: groundRenderer, detailRoot, obstacleCube.
  TTRVSector();
  // Frees what this sector made: its baked material and its weight materials (loaded sectors
  // only) and its objects.
  ~TTRVSector() override;

  // Fills the sector. A loaded sector reads its record at the world's offset for (sx, sz);
  // a record that does not fit the stream turns the sector into open sea (loadError says
  // why). The sector keeps the indices it was asked for, whatever the record holds, and drops
  // placements naming a theme or object the world has not loaded. A loaded sector then builds
  // its ground layers: their weight materials go into the slot themes' libraries.
  void LoadSector(TTRVWorld& world, int sx, int sz, bool waterOnly);

  // 0 full detail ... 3 coarsest, 4 not drawn. Builds the representation of the new level
  // from the object lists and frees the others. Nothing is built before the first bake.
  void SetDetailLevel(int level);

  // The ground renderer's callback: draws the ground, skirts and water of the current level.
  void RenderGround(TRenderContext& rci);
  // Whether the sector draws at this distance from the camera. One that is away (beyond the
  // draw distance, or at level 4) and baked draws nothing and spends the frame's time of its
  // time to live; below zero it has expired and goes at the next update.
  bool DrawsAt(float cameraDistance, float frameSeconds);
  // Decides, once per frame before anything is drawn, whether the sector is in view, so that
  // its objects are not even gathered when it is not.
  void BuildList(TRenderContext& rci) override;

  // The passes of the layered full-detail ground, made at load.
  const TTRVGroundLayerMesh& GroundLayers() const { return groundLayers_; }
  // The level's mesh, built on first use and kept for the sector's life.
  const TTRVSectorMesh& Mesh(int level);
  const TTRVWaterMesh& Water();
  // Draws the full-detail ground in layers and the water, for the bake.
  void DrawForBake(TRenderContext& rci);

  TTRVWorld* world = nullptr;
  std::array<std::vector<TTRVPlacement>, kPlacementLists> objectLists;
  TGLDirectOpenGL* groundRenderer = nullptr;
  TGLDummyCube* detailRoot = nullptr;
  TGLDummyCube* proxyCube = nullptr;          // level 0: proxies
  TGLDummyCube* nearImposterCube = nullptr;   // level 1
  TGLDummyCube* farImposterCube = nullptr;    // level 2
  TGLDummyCube* obstacleCube = nullptr;       // level 0: invisible boxes
  TAffineVector centre{0, 0, 0};
  std::uint8_t detailLevel = 0;
  bool waterOnly = false;
  bool needsBake = true;
  bool justBaked = false;
  bool expired = false;
  float timeToLive = kSectorInitialLife;
  bool inView = true;
  int droppedPlacements = 0;
  std::string loadError;
  // Ground layer passes drawn by the last rendering (0 when it drew none).
  int groundPasses = 0;

 private:
  void BuildGroundLayers();
  void DrawLayers(TRenderContext& rci, TTRVGroundChunkMask chunks);
  // The baked picture over the level's mesh; false when there is no picture yet.
  bool DrawBaked(TRenderContext& rci, int level);
  void DrawWater(TRenderContext& rci);
  void DrawFlatWater(TRenderContext& rci);
  float CameraDistance(const TRenderContext& rci) const;

  std::array<std::unique_ptr<TTRVSectorMesh>, 4> meshes_;
  std::unique_ptr<TTRVWaterMesh> water_;
  TTRVGroundLayerMesh groundLayers_;
  std::array<TBoundingSphere, kGroundChunks> chunkBounds_{};
  // The weight materials this sector added, by the theme whose library holds them.
  std::vector<std::pair<TTRVTheme*, std::string>> weightMaterials_;
};

// The node holding the sector's obstacle boxes, for ObstacleTouching: only a loaded sector at
// full detail has them; null for open sea, a coarser level or no sector.
const TGLBaseSceneObject* ObstacleBoxes(const TTRVSector* sector);

// Terrain and spatial queries: heights with and without static objects, the smooth surface
// and its normal, cells, segment traces, oriented-box overlaps and the unit searches used by
// weapons, the AI and the HUD. Everything here only reads, except EnemyWithin's damage.
// Must not draw or move anything but the probe box it is handed.
#pragma once

#include <cstdint>
#include <span>

#include "scene/baseobject.h"
#include "world/grid.h"

class TTRVPathFinder;
class TTRVWorld;

// The ground the queries read: the world's height samples with their divisor and, for the
// top heights and traces, the heights of the static objects standing on the cells.
struct TTRVGroundView {
  const TTRVGrid<std::uint8_t>* heights = nullptr;
  float heightDivisor = 1;
  const TTRVGrid<float>* objectHeights = nullptr;

  // Height byte (x, z) in world units; 0 outside the grid.
  float Sample(int x, int z) const;
  int SizeX() const { return heights ? heights->SizeX() : 0; }
  int SizeZ() const { return heights ? heights->SizeZ() : 0; }
};

// The world's ground.
TTRVGroundView GroundOf(const TTRVWorld& world);

// The cell of a position: (floor(X), floor(Z)).
TTRVCell CellOf(const TAffineVector& position);
// The cell a unit counts as standing on: its position rounded, (floor(X + 0.5), floor(Z + 0.5)).
TTRVCell RoundedCellOf(const TAffineVector& position);
// The corner of a cell as a world point (x, 0, z).
TAffineVector CellPosition(const TTRVCell& cell);

// Ground height of the position's cell; 0 outside the grid.
float GroundHeight(const TTRVGroundView& ground, const TAffineVector& position);
// Ground plus the static object on the cell; 0 outside the grid.
float TopHeight(const TTRVGroundView& ground, const TAffineVector& position);

struct TTRVSurface {
  float height = 0;
  TVector normal{0, 1, 0, 0};
};
// The height on the two triangles of the position's cell, split along the diagonal from
// (x0, z0) to (x1, z1), and the upward normal of that triangle. Outside the map: height 0,
// normal straight up. On the last row or column the missing neighbour is the cell itself, so
// the surface there is flat along that axis.
TTRVSurface SurfaceAt(const TTRVGroundView& ground, float x, float z, bool wantNormal = true);
inline TTRVSurface SurfaceAt(const TTRVGroundView& ground, const TAffineVector& p, bool wantNormal = true) {
  return SurfaceAt(ground, p.x, p.z, wantNormal);
}

struct TTRVTrace {
  bool visible = true;
  bool passable = true;
  TAffineVector lastVisible{0, 0, 0};
  float length = 0;
};
// Samples the segment once per world unit. Visible while no sample is below the ground plus
// the static object of its cell; passable while neither the start cell with its four
// neighbours nor any sampled cell is blocked in the finder's grid (when one is given). The
// last sample is the end point itself, never a point beyond it.
TTRVTrace TraceSegment(const TTRVGroundView& ground, const TAffineVector& from, const TAffineVector& to,
                       const TTRVPathFinder* finder = nullptr);

// True when maxDeviation <= -1, or when the unit vector from `from` to `to` lies within
// maxDeviation of `facing` (a unit vector). A zero segment counts as the zero vector.
bool CanAim(const TAffineVector& from, const TAffineVector& to, float maxDeviation, const TAffineVector& facing);

// Whether the oriented boxes of two scene objects overlap: each is the unit cube of its own
// frame (scaled, turned and placed by its absolute matrix).
bool BoxesIntersect(const TGLBaseSceneObject& a, const TGLBaseSceneObject& b);

// Lays the probe box along a segment so that it reaches from `from` to exactly `to` along the
// direction (a unit vector): 0.01 x 0.01 across, |to - from| long, its far end at `to`. A
// zero direction leaves the box pointing along +Z.
void LayProbeBox(TGLBaseSceneObject& probe, const TAffineVector& from, const TAffineVector& to, const TAffineVector& direction);

// The first obstacle box within the radius of the box object that overlaps it. `obstacles` is
// the node whose children are the boxes (a sector offers one at full detail); null: none.
const TGLBaseSceneObject* ObstacleTouching(const TGLBaseSceneObject& box, const TGLBaseSceneObject* obstacles,
                                           float radius);

// What the unit searches see of a unit. The list is given in side order, then unit order.
struct TTRVUnitRef {
  TGLBaseSceneObject* object = nullptr;              // the unit; its position is the unit's
  const TGLBaseSceneObject* collisionBox = nullptr;  // may be the unit itself
  float* armour = nullptr;                           // above 0: alive; null counts as dead
  int side = 0;
  int unitType = 0;
  bool isPlayer = false;
  bool isFar = false;  // far units take part in no box or segment test

  bool Alive() const { return armour && *armour > 0; }
  TAffineVector Position() const { return object ? object->AbsoluteAffinePosition() : TAffineVector(0); }
  const TGLBaseSceneObject* Box() const { return collisionBox ? collisionBox : object; }
};
using TTRVUnitList = std::span<const TTRVUnitRef>;

// The last near unit, other than the box itself, whose collision box overlaps the box; alive
// ones only unless wrecks are included. Null when none.
const TTRVUnitRef* UnitTouching(TTRVUnitList units, const TGLBaseSceneObject& box, bool includeWrecks);
// Whether another near unit of the type overlaps the box. When the asker is not the player's
// unit, wrecks do not count.
bool UnitOfTypeTouching(TTRVUnitList units, const TGLBaseSceneObject& box, const TTRVUnitRef& asker, int unitType);
// The near unit nearest to `from` (and within 1000 of it), other than the excluded object,
// whose collision box overlaps the probe laid from `from` to `to`. The probe is moved.
const TTRVUnitRef* UnitOnSegment(TTRVUnitList units, TGLBaseSceneObject& probe, const TAffineVector& from,
                                 const TAffineVector& to, const TGLBaseSceneObject* excluded, const TAffineVector& direction);
// The live near unit closest to the line from the camera through the target point, ahead of
// the camera and within 5 units of the line; null otherwise.
const TTRVUnitRef* PickUnit(TTRVUnitList units, const TAffineVector& camera, const TAffineVector& target,
                            const TGLBaseSceneObject* excluded);
// Whether a live unit of another side is nearer to the unit than the radius. When the sides'
// stances were preset, the first such unit loses `damage` from its armour.
bool EnemyWithin(TTRVUnitList units, const TTRVUnitRef& unit, float damage, float radius, bool stancesPreset);
// Whether the unit may go on toward a beacon's goal: its own distance value v (at its rounded
// cell) is at least minLevel, and no other live unit of its type within the radius stands
// nearer to the goal.
bool FirstInLine(TTRVUnitList units, const TTRVUnitRef& unit, const TTRVGrid<std::uint16_t>& beaconDistance,
                 int minLevel, float radius);

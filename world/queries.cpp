// The terrain and spatial queries.
#include "world/queries.h"

#include <algorithm>
#include <cmath>

#include "world/pathfinder.h"
#include "world/world.h"

namespace {

bool Blocked(const TTRVPathFinder& finder, int x, int z) { return !finder.Passable(x, z); }

float Distance(const TAffineVector& a, const TAffineVector& b) { return VectorLength(a - b); }

}  // namespace

float TTRVGroundView::Sample(int x, int z) const {
  if (!heights || !heights->Inside(x, z)) return 0;
  const float divisor = heightDivisor > 0 && std::isfinite(heightDivisor) ? heightDivisor : 1.0f;
  return (*heights)(x, z) / divisor;
}

TTRVGroundView GroundOf(const TTRVWorld& world) {
  return {&world.heightGrid, world.heightDivisor, &world.objectHeightGrid};
}

TTRVCell CellOf(const TAffineVector& position) { return {Floor(position.x), Floor(position.z)}; }

TTRVCell RoundedCellOf(const TAffineVector& position) { return CellOf(position + TAffineVector(0.5f, 0, 0.5f)); }

TAffineVector CellPosition(const TTRVCell& cell) { return {static_cast<float>(cell.x), 0, static_cast<float>(cell.z)}; }

float GroundHeight(const TTRVGroundView& ground, const TAffineVector& position) {
  const TTRVCell c = CellOf(position);
  return ground.Sample(c.x, c.z);
}

float TopHeight(const TTRVGroundView& ground, const TAffineVector& position) {
  const TTRVCell c = CellOf(position);
  if (!ground.heights || !ground.heights->Inside(c.x, c.z)) return 0;
  const float object = ground.objectHeights ? ground.objectHeights->At(c.x, c.z, 0.0f) : 0.0f;
  return ground.Sample(c.x, c.z) + object;
}

TTRVSurface SurfaceAt(const TTRVGroundView& ground, float x, float z, bool wantNormal) {
  TTRVSurface out;
  const int sizeX = ground.SizeX(), sizeZ = ground.SizeZ();
  if (!(x >= 0) || !(z >= 0) || x > static_cast<float>(sizeX - 1) || z > static_cast<float>(sizeZ - 1)) return out;
  const int x0 = static_cast<int>(x), z0 = static_cast<int>(z);
  const float fx = x - static_cast<float>(x0), fz = z - static_cast<float>(z0);
  // On the last row or column there is no further sample: the cell's own stands in for it.
  const int x1 = x0 + 1 < sizeX ? x0 + 1 : x0, z1 = z0 + 1 < sizeZ ? z0 + 1 : z0;
  const float h00 = ground.Sample(x0, z0), h10 = ground.Sample(x1, z0), h01 = ground.Sample(x0, z1),
              h11 = ground.Sample(x1, z1);
  // The normal is taken with unit spacing, so a fallen-back neighbour gives a flat, upward
  // plane instead of a degenerate one.
  const float ax = static_cast<float>(x0), az = static_cast<float>(z0), bx = ax + 1, bz = az + 1;
  TAffineVector p1, p2, p3;
  if (fx > fz) {
    out.height = h10 + (h00 - h10) * (1 - fx) + (h11 - h10) * fz;
    p1 = {bx, h10, az};
    p2 = {ax, h00, az};
    p3 = {bx, h11, bz};
  } else {
    out.height = h01 + (h11 - h01) * fx + (h00 - h01) * (1 - fz);
    p1 = {ax, h01, bz};
    p2 = {bx, h11, bz};
    p3 = {ax, h00, az};
  }
  if (wantNormal) {
    const TAffineVector n = VectorNormalize(VectorCrossProduct(p2 - p1, p3 - p1));
    if (n.y > 0) out.normal = {n.x, n.y, n.z, 0};
  }
  return out;
}

TTRVTrace TraceSegment(const TTRVGroundView& ground, const TAffineVector& from, const TAffineVector& to,
                       const TTRVPathFinder* finder) {
  TTRVTrace t;
  t.lastVisible = to;
  const int sizeX = ground.SizeX(), sizeZ = ground.SizeZ();
  const auto inner = [&](const TTRVCell& c, int margin) {
    return c.x >= margin && c.z >= margin && c.x <= sizeX - 1 - margin && c.z <= sizeZ - 1 - margin;
  };
  if (finder) {
    const TTRVCell s = CellOf(from);
    if (inner(s, 2) && (Blocked(*finder, s.x, s.z) || Blocked(*finder, s.x + 1, s.z) || Blocked(*finder, s.x - 1, s.z) ||
                        Blocked(*finder, s.x, s.z + 1) || Blocked(*finder, s.x, s.z - 1)))
      t.passable = false;
  }
  const TAffineVector delta = to - from;
  t.length = VectorLength(delta);
  if (!std::isfinite(t.length)) return t;
  const TAffineVector dir = VectorNormalize(delta);
  const int n = static_cast<int>(std::min(std::floor(t.length), 1e6f));
  if (n < 1) return t;
  for (int k = 1; k <= n + 1; ++k) {
    // One sample per unit; the last one is the end point, not a point past it.
    const TAffineVector p = k <= n ? from + dir * static_cast<float>(k) : to;
    const TTRVCell c = CellOf(p);
    const bool inside = inner(c, 1);
    const float object = inside && ground.objectHeights ? ground.objectHeights->At(c.x, c.z, 0.0f) : 0.0f;
    if (finder && inside && Blocked(*finder, c.x, c.z)) t.passable = false;
    if (SurfaceAt(ground, p, false).height + object > p.y)
      t.visible = false;
    else if (t.visible)
      t.lastVisible = p;
  }
  return t;
}

bool CanAim(const TAffineVector& from, const TAffineVector& to, float maxDeviation, const TAffineVector& facing) {
  if (maxDeviation <= -1) return true;
  return VectorLength(VectorNormalize(to - from) - facing) <= maxDeviation;
}

namespace {

// Does any corner or edge of box `a` reach into box `b` (both unit cubes of their frames)?
bool ReachesInto(const TGLBaseSceneObject& a, const TGLBaseSceneObject& b) {
  const TMatrix toB = b.InvAbsoluteMatrix() * a.AbsoluteMatrix();
  TAffineVector corners[8];
  for (int i = 0; i < 8; ++i) {
    const TVector local((i & 1) ? 0.5f : -0.5f, (i & 2) ? 0.5f : -0.5f, (i & 4) ? 0.5f : -0.5f, 1);
    corners[i] = TAffineVector(toB * local);
  }
  const auto inside = [](float v) { return v >= -0.5f && v <= 0.5f; };
  for (const TAffineVector& c : corners)
    if (inside(c.x) && inside(c.y) && inside(c.z)) return true;
  // The 12 edges: pairs of corners differing in one bit.
  for (int i = 0; i < 8; ++i)
    for (int bit = 1; bit < 8; bit <<= 1) {
      if (i & bit) continue;
      const TAffineVector p = corners[i], d = corners[i | bit] - corners[i];
      for (int axis = 0; axis < 3; ++axis) {
        if (d[axis] == 0) continue;
        for (float face : {-0.5f, 0.5f}) {
          const float t = (face - p[axis]) / d[axis];
          if (!(t >= 0 && t <= 1)) continue;
          const TAffineVector q = p + d * t;
          const int u = (axis + 1) % 3, v = (axis + 2) % 3;
          if (inside(q[u]) && inside(q[v])) return true;
        }
      }
    }
  return false;
}

}  // namespace

bool BoxesIntersect(const TGLBaseSceneObject& a, const TGLBaseSceneObject& b) {
  return ReachesInto(a, b) || ReachesInto(b, a);
}

void LayProbeBox(TGLBaseSceneObject& probe, const TAffineVector& from, const TAffineVector& to, const TAffineVector& direction) {
  const float length = VectorLength(to - from);
  const TAffineVector dir = VectorNormalize(direction);
  if (VectorLength(dir) > 0) {
    // Keep the up vector away from the direction so the frame stays valid.
    probe.Up.SetVector(std::fabs(dir.y) > 0.99f ? TAffineVector(1, 0, 0) : TAffineVector(0, 1, 0));
    probe.Direction.SetVector(dir);
  } else {
    probe.Up.SetVector(0, 1, 0);
    probe.Direction.SetVector(0, 0, 1);
  }
  probe.Scale.SetVector(0.01f, 0.01f, std::isfinite(length) ? length : 0.0f);
  const TAffineVector centre = to - dir * (length * 0.5f);
  probe.SetAbsolutePosition(centre);
}

const TGLBaseSceneObject* ObstacleTouching(const TGLBaseSceneObject& box, const TGLBaseSceneObject* obstacles,
                                           float radius) {
  if (!obstacles) return nullptr;
  const TAffineVector at = box.AbsoluteAffinePosition();
  for (int i = 0; i < obstacles->Count(); ++i) {
    const TGLBaseSceneObject& o = *obstacles->Children(i);
    if (Distance(o.AbsoluteAffinePosition(), at) < radius && BoxesIntersect(box, o)) return &o;
  }
  return nullptr;
}

const TTRVUnitRef* UnitTouching(TTRVUnitList units, const TGLBaseSceneObject& box, bool includeWrecks) {
  const TTRVUnitRef* found = nullptr;
  for (const TTRVUnitRef& u : units) {
    if (u.isFar || !u.object || u.object == &box || u.Box() == &box) continue;
    if (!includeWrecks && !u.Alive()) continue;
    if (BoxesIntersect(*u.Box(), box)) found = &u;
  }
  return found;
}

bool UnitOfTypeTouching(TTRVUnitList units, const TGLBaseSceneObject& box, const TTRVUnitRef& asker, int unitType) {
  for (const TTRVUnitRef& u : units) {
    if (u.isFar || !u.object || u.object == asker.object || u.unitType != unitType) continue;
    if (!asker.isPlayer && !u.Alive()) continue;
    if (BoxesIntersect(*u.Box(), box)) return true;
  }
  return false;
}

const TTRVUnitRef* UnitOnSegment(TTRVUnitList units, TGLBaseSceneObject& probe, const TAffineVector& from,
                                 const TAffineVector& to, const TGLBaseSceneObject* excluded, const TAffineVector& direction) {
  LayProbeBox(probe, from, to, direction);
  const TTRVUnitRef* best = nullptr;
  float bestDistance = 1000;
  for (const TTRVUnitRef& u : units) {
    if (u.isFar || !u.object || u.object == excluded) continue;
    const float d = Distance(u.Position(), from);
    if (d < bestDistance && BoxesIntersect(*u.Box(), probe)) {
      best = &u;
      bestDistance = d;
    }
  }
  return best;
}

const TTRVUnitRef* PickUnit(TTRVUnitList units, const TAffineVector& camera, const TAffineVector& target,
                            const TGLBaseSceneObject* excluded) {
  const TAffineVector dir = VectorNormalize(target - camera);
  if (VectorLength(dir) == 0) return nullptr;
  const TTRVUnitRef* best = nullptr;
  float bestDistance = 0;
  for (const TTRVUnitRef& u : units) {
    if (u.isFar || !u.object || u.object == excluded || !u.Alive()) continue;
    const TAffineVector rel = u.Position() - camera;
    const float along = VectorDotProduct(rel, dir);
    if (!(along > 0)) continue;
    const float off = VectorLength(rel - dir * along);
    if (!best || off < bestDistance) {
      best = &u;
      bestDistance = off;
    }
  }
  return best && bestDistance <= 5 ? best : nullptr;
}

bool EnemyWithin(TTRVUnitList units, const TTRVUnitRef& unit, float damage, float radius, bool stancesPreset) {
  const TAffineVector at = unit.Position();
  for (const TTRVUnitRef& u : units) {
    if (u.side == unit.side || !u.object || !u.Alive()) continue;
    if (Distance(u.Position(), at) < radius) {
      if (stancesPreset) *u.armour -= damage;
      return true;
    }
  }
  return false;
}

bool FirstInLine(TTRVUnitList units, const TTRVUnitRef& unit, const TTRVGrid<std::uint16_t>& beaconDistance,
                 int minLevel, float radius) {
  const auto inner = [&](const TTRVCell& c) {
    return c.x >= 1 && c.z >= 1 && c.x <= beaconDistance.SizeX() - 2 && c.z <= beaconDistance.SizeZ() - 2;
  };
  const TAffineVector at = unit.Position();
  const TTRVCell own = RoundedCellOf(at);
  if (!inner(own)) return false;
  const int v = beaconDistance(own.x, own.z);
  if (v < minLevel) return false;
  for (const TTRVUnitRef& u : units) {
    if (!u.object || u.object == unit.object || !u.Alive() || u.unitType != unit.unitType) continue;
    if (!(Distance(u.Position(), at) < radius)) continue;
    const TTRVCell c = CellOf(u.Position());
    if (inner(c) && beaconDistance(c.x, c.z) < v) return false;
  }
  return true;
}

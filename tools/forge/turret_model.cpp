// The defence turret's two parts: a concrete tower about 0.5 x 1.0 x 0.5 standing on the origin
// (hit box 0.5 x 1.17 x 0.5, aimed at 0.9 up), and the armed head whose origin is the pivot the
// rig puts at height 1, its twin barrels running 0.35 along +Z.
#include "tools/forge/unit_models.h"

namespace forge {

MeshKit TurretTower() {
  MeshKit m;
  // A stepped plinth, a battered octagonal tower with firing slits, and a parapet ring.
  m.SetRegion(UnitUv(kCellConcrete));
  m.Box({-0.25f, 0.0f, -0.25f}, {0.25f, 0.08f, 0.25f}, false);
  m.Push(RotationY(22.5f));
  m.SetRegion(UnitUv(kCellConcreteSlits));
  m.Cylinder(0.25f, 0.2f, 0.08f, 0.9f, 8, false);
  m.SetRegion(UnitUv(kCellConcrete));
  m.Cylinder(0.23f, 0.23f, 0.9f, 1.0f, 8, true);
  m.Pop();
  m.SetRegion(UnitUv(kCellStripe));
  m.Box({-0.06f, 0.08f, 0.17f}, {0.06f, 0.28f, 0.22f});  // the steel door
  return m;
}

MeshKit TurretHead() {
  MeshKit m;
  // Turntable, an angular armoured housing, twin barrels and an ammunition box.
  m.SetRegion(UnitUv(kCellMetal));
  m.Cylinder(0.17f, 0.17f, -0.005f, 0.03f, 12);
  const TTexPoint lower[] = {{0.11f, 0.13f}, {0.15f, 0.02f}, {0.14f, -0.14f}, {-0.14f, -0.14f}, {-0.15f, 0.02f}, {-0.11f, 0.13f}};
  const TTexPoint upper[] = {{0.08f, 0.08f}, {0.12f, 0.0f}, {0.12f, -0.12f}, {-0.12f, -0.12f}, {-0.12f, 0.0f}, {-0.08f, 0.08f}};
  m.SetRegion(UnitUv(kCellPaint));
  m.Prism(lower, 0.03f, 0.1f, false, false);
  for (std::size_t i = 0; i < std::size(lower); ++i) {
    std::size_t j = (i + 1) % std::size(lower);
    m.Quad({lower[i].x, 0.1f, lower[i].y}, {lower[j].x, 0.1f, lower[j].y}, {upper[j].x, 0.15f, upper[j].y},
           {upper[i].x, 0.15f, upper[i].y});
  }
  m.SetRegion(UnitUv(kCellPaintLight));
  m.Prism(upper, 0.149f, 0.15f, true, false);
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.07f, 0.05f, 0.1f}, {0.07f, 0.12f, 0.14f});
  m.SetRegion(UnitUv(kCellMetal));
  for (float x : {0.035f, -0.035f}) {
    m.Push(Translation(x, 0.085f, 0) * RotationX(90));
    m.Cylinder(0.016f, 0.016f, 0.1f, 0.2f, 8);
    m.Cylinder(0.01f, 0.01f, 0.2f, 0.35f, 8);
    m.Pop();
  }
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({0.15f, 0.04f, -0.1f}, {0.19f, 0.11f, 0.04f});
  m.Box({-0.19f, 0.04f, -0.1f}, {-0.15f, 0.11f, 0.04f});
  return m;
}

}  // namespace forge

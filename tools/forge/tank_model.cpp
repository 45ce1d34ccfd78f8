// The tank's three parts. The hull with its tracks fills the hit box 0.396 x 0.212 x 0.589
// standing on the origin; the turret turns about the Y axis above the hull's centre; the gun's
// pivot sits at (0, 0.194, 0.14) in the turret, its barrel running 0.3 along +Z.
#include "tools/forge/unit_models.h"

namespace forge {

MeshKit TankHull() {
  MeshKit m;
  // Tracks: a side profile with sloped ends, one each side, and road wheels on their faces.
  const TTexPoint track[] = {{0.295f, 0.075f}, {0.25f, 0.118f}, {-0.262f, 0.118f}, {-0.295f, 0.08f},
                             {-0.255f, 0.0f},  {0.245f, 0.0f}};
  m.SetRegion(UnitUv(kCellTrack));
  m.PlateZY(track, 0.128f, 0.196f);
  m.PlateZY(track, -0.196f, -0.128f);
  m.SetRegion(UnitUv(kCellRubber));
  for (float side : {1.0f, -1.0f})
    for (int i = 0; i < 5; ++i) {
      float z = -0.2f + 0.1f * i;
      m.Push(Translation(side * 0.196f, 0.048f, z) * RotationZ(-90 * side));
      m.Cylinder(0.04f, 0.04f, 0.0f, 0.006f, 12);
      m.Pop();
    }

  // Hull: a glacis plate at the front, engine deck behind, between and over the tracks.
  const TTexPoint hull[] = {{0.29f, 0.085f}, {0.2f, 0.152f}, {-0.25f, 0.152f}, {-0.285f, 0.125f},
                            {-0.28f, 0.03f},  {0.27f, 0.03f}};
  m.SetRegion(UnitUv(kCellPaint));
  m.PlateZY(hull, -0.13f, 0.13f);
  // Fenders over the tracks with stowage boxes.
  m.SetRegion(UnitUv(kCellPaintDark));
  for (float side : {1.0f, -1.0f}) {
    float x0 = side * 0.128f, x1 = side * 0.2f;
    m.Box({std::min(x0, x1), 0.118f, -0.29f}, {std::max(x0, x1), 0.128f, 0.28f});
    m.SetRegion(UnitUv(kCellPaint));
    m.Box({std::min(x0, x1) + 0.01f, 0.128f, -0.24f}, {std::max(x0, x1) - 0.01f, 0.16f, -0.12f});
    m.SetRegion(UnitUv(kCellPaintDark));
  }
  // Engine grilles and exhausts at the back; a driver's hatch at the front.
  m.SetRegion(UnitUv(kCellGrille));
  m.Box({-0.1f, 0.152f, -0.24f}, {0.1f, 0.158f, -0.16f});
  m.SetRegion(UnitUv(kCellSoot));
  for (float x : {0.07f, -0.07f}) {
    m.Push(Translation(x, 0.1f, -0.283f) * RotationX(-90));
    m.Cylinder(0.014f, 0.014f, 0.0f, 0.02f, 8);
    m.Pop();
  }
  m.SetRegion(UnitUv(kCellPaintLight));
  m.Box({-0.1f, 0.11f, 0.215f}, {-0.04f, 0.145f, 0.24f});
  m.SetRegion(UnitUv(kCellMetal));
  for (float x : {0.16f, -0.16f}) m.Box({x - 0.012f, 0.128f, 0.265f}, {x + 0.012f, 0.142f, 0.285f});  // lights
  return m;
}

MeshKit TankTurret() {
  MeshKit m;
  // A faceted cast turret, narrow at the front, with a bustle behind.
  const TTexPoint outline[] = {{0.065f, 0.14f}, {0.118f, 0.07f}, {0.125f, -0.08f}, {0.1f, -0.16f},
                               {-0.1f, -0.16f}, {-0.125f, -0.08f}, {-0.118f, 0.07f}, {-0.065f, 0.14f}};
  const TTexPoint top[] = {{0.05f, 0.12f}, {0.1f, 0.06f}, {0.108f, -0.07f}, {0.088f, -0.145f},
                           {-0.088f, -0.145f}, {-0.108f, -0.07f}, {-0.1f, 0.06f}, {-0.05f, 0.12f}};
  m.SetRegion(UnitUv(kCellPaint));
  m.Prism(outline, 0.152f, 0.205f, false, true);
  // Sloped roof edges from the outline at 0.205 up to the smaller top at 0.238.
  for (std::size_t i = 0; i < std::size(outline); ++i) {
    std::size_t j = (i + 1) % std::size(outline);
    m.Quad({outline[i].x, 0.205f, outline[i].y}, {outline[j].x, 0.205f, outline[j].y},
           {top[j].x, 0.238f, top[j].y}, {top[i].x, 0.238f, top[i].y});
  }
  m.Prism(top, 0.237f, 0.238f, true, false);
  // Mantlet the gun comes out of.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.045f, 0.166f, 0.12f}, {0.045f, 0.222f, 0.155f});
  // Commander's cupola, a hatch, a searchlight and an aerial.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Push(Translation(-0.05f, 0, -0.05f));
  m.Cylinder(0.032f, 0.028f, 0.236f, 0.262f, 10);
  m.Pop();
  m.SetRegion(UnitUv(kCellPaintLight));
  m.Push(Translation(0.05f, 0, -0.03f));
  m.Cylinder(0.025f, 0.025f, 0.236f, 0.244f, 10);
  m.Pop();
  m.SetRegion(UnitUv(kCellMetal));
  m.Box({0.075f, 0.222f, 0.06f}, {0.095f, 0.24f, 0.09f});
  m.Box({-0.095f, 0.236f, -0.135f}, {-0.089f, 0.38f, -0.129f});
  return m;
}

MeshKit TankGun() {
  MeshKit m;
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Push(RotationX(90));
  m.Cylinder(0.02f, 0.016f, 0.0f, 0.07f, 10);  // sleeve coming out of the mantlet
  m.SetRegion(UnitUv(kCellMetal));
  m.Cylinder(0.011f, 0.011f, 0.07f, 0.27f, 10);
  m.Cylinder(0.016f, 0.016f, 0.15f, 0.19f, 10);  // fume extractor
  m.SetRegion(UnitUv(kCellSoot));
  m.Cylinder(0.016f, 0.015f, 0.27f, 0.3f, 10);  // muzzle brake
  m.Pop();
  return m;
}

}  // namespace forge

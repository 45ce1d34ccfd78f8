// The helicopter's three parts. The rig hangs the fuselage under the rotor hub (the origin),
// fits it to the hit box 0.279 x 0.142 x 0.845 centred at (0, -0.092, -0.104), rests it on
// skids 0.19 below the hub, fires rockets from pods at (+-0.139, -0.147, 0), mounts the gun at
// (0, -0.16, 0.2) and reuses the rotor, shrunk to a fifth, as the tail rotor at z -0.479.
#include "tools/forge/unit_models.h"

namespace forge {

namespace {

// An octagonal cross-section of half-width w between heights bottom and top.
LoftSection Section(float z, float w, float bottom, float top) {
  float h = top - bottom;
  return {z,
          {{0.55f * w, bottom}, {w, bottom + 0.3f * h}, {w, top - 0.3f * h}, {0.55f * w, top},
           {-0.55f * w, top}, {-w, top - 0.3f * h}, {-w, bottom + 0.3f * h}, {-0.55f * w, bottom}}};
}

// A round bar from a to b (skids, struts), as a thin eight-sided cylinder.
void Bar(MeshKit& m, TAffineVector a, TAffineVector b, float radius) {
  TAffineVector d = b - a;
  float len = glm::length(d);
  // Turn +Y onto the bar's direction: pitch toward z, then yaw toward x.
  float pitch = glm::degrees(std::atan2(std::hypot(d.x, d.z), d.y));
  float yaw = glm::degrees(std::atan2(d.x, d.z));
  m.Push(Translation(a.x, a.y, a.z) * RotationY(yaw) * RotationX(pitch));
  m.Cylinder(radius, radius, 0, len, 8);
  m.Pop();
}

}  // namespace

MeshKit HeliFuselage() {
  MeshKit m;
  // Cabin and engine bay, tapering into the tail boom.
  m.SetRegion(UnitUv(kCellPaint));
  const LoftSection body[] = {
      Section(-0.24f, 0.045f, -0.115f, -0.055f), Section(-0.16f, 0.095f, -0.145f, -0.040f),
      Section(-0.05f, 0.128f, -0.160f, -0.028f), Section(0.10f, 0.125f, -0.162f, -0.034f),
      Section(0.22f, 0.095f, -0.158f, -0.060f),  Section(0.30f, 0.055f, -0.140f, -0.085f),
      Section(0.325f, 0.020f, -0.118f, -0.100f)};
  m.Loft(body, true, true);
  const LoftSection boom[] = {Section(-0.53f, 0.018f, -0.082f, -0.058f), Section(-0.22f, 0.046f, -0.112f, -0.058f)};
  m.Loft(boom, true, false);

  // A bubble canopy over the two seats, sitting into the cabin roof.
  m.SetRegion(UnitUv(kCellGlass));
  m.Push(Translation(0, -0.058f, 0.17f));
  m.Blob(0.082f, 0.058f, 0.15f, 12, 6);
  m.Pop();

  // Engine cowling and rotor mast.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.065f, -0.04f, -0.16f}, {0.065f, -0.008f, 0.04f});
  m.SetRegion(UnitUv(kCellGrille));
  m.Box({-0.05f, -0.035f, -0.2f}, {0.05f, -0.012f, -0.16f});
  m.SetRegion(UnitUv(kCellMetal));
  m.Cylinder(0.018f, 0.014f, -0.01f, 0.0f, 8);

  // Tail fin (holding the tail rotor on its left) and the horizontal stabiliser.
  m.SetRegion(UnitUv(kCellPaint));
  const TTexPoint fin[] = {{-0.43f, -0.062f}, {-0.47f, -0.06f}, {-0.535f, 0.055f}, {-0.555f, 0.055f}, {-0.545f, -0.078f},
                           {-0.43f, -0.078f}};
  m.PlateZY(fin, -0.008f, 0.008f);
  m.Box({-0.085f, -0.074f, -0.43f}, {0.085f, -0.066f, -0.38f});
  m.SetRegion(UnitUv(kCellStripe));
  m.Box({-0.0085f, -0.07f, -0.52f}, {0.0085f, -0.055f, -0.50f});

  // Short wings carrying the two rocket pods.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.17f, -0.128f, -0.045f}, {0.17f, -0.118f, 0.045f});
  for (float x : {0.139f, -0.139f}) {
    m.SetRegion(UnitUv(kCellPaintDark));
    m.Push(Translation(x, -0.147f, -0.075f) * RotationX(90));
    m.Cylinder(0.024f, 0.024f, 0, 0.13f, 10);
    m.SetRegion(UnitUv(kCellTubes));
    m.Cylinder(0.024f, 0.018f, 0.13f, 0.15f, 10);
    m.Pop();
    m.SetRegion(UnitUv(kCellMetal));
    m.Box({x - 0.006f, -0.128f, -0.02f}, {x + 0.006f, -0.122f, 0.02f});
  }

  // Chin mount under the nose for the gun.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.03f, -0.158f, 0.17f}, {0.03f, -0.135f, 0.23f});

  // Skids 0.19 below the hub, on four struts, their toes turned up.
  m.SetRegion(UnitUv(kCellMetal));
  for (float x : {0.105f, -0.105f}) {
    Bar(m, {x, -0.184f, -0.2f}, {x, -0.184f, 0.2f}, 0.0065f);
    Bar(m, {x, -0.184f, 0.2f}, {x, -0.165f, 0.25f}, 0.0065f);
    Bar(m, {x, -0.184f, 0.1f}, {x * 0.7f, -0.15f, 0.1f}, 0.005f);
    Bar(m, {x, -0.184f, -0.1f}, {x * 0.7f, -0.15f, -0.1f}, 0.005f);
  }
  return m;
}

MeshKit HeliRotor() {
  MeshKit m;
  m.SetRegion(UnitUv(kCellMetal));
  m.Cylinder(0.03f, 0.024f, -0.012f, 0.012f, 10);
  // Four blades in the XZ plane, 0.45 from the hub to the tips, with light tips.
  for (int i = 0; i < 4; ++i) {
    m.Push(RotationY(90.0f * i) * RotationZ(-2.0f));
    m.SetRegion(UnitUv(kCellPaintDark));
    m.Box({0.025f, -0.003f, -0.018f}, {0.41f, 0.003f, 0.018f});
    m.SetRegion(UnitUv(kCellStripe));
    m.Box({0.41f, -0.003f, -0.018f}, {0.45f, 0.003f, 0.018f});
    m.Pop();
  }
  return m;
}

MeshKit HeliGun() {
  MeshKit m;
  // A ball mount on the pivot and two barrels 0.12 long along +Z.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Blob(0.026f, 0.024f, 0.026f, 10, 6);
  m.SetRegion(UnitUv(kCellMetal));
  for (float x : {0.008f, -0.008f}) {
    m.Push(Translation(x, 0, 0) * RotationX(90));
    m.Cylinder(0.0055f, 0.0055f, 0.0f, 0.12f, 6);
    m.Pop();
  }
  m.Push(RotationX(90));
  m.Cylinder(0.012f, 0.012f, 0.015f, 0.05f, 8);
  m.Pop();
  return m;
}

}  // namespace forge

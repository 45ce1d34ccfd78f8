// The gunboat's four parts. The hull with deck and bridge fills the hit box 0.702 x 0.773 x 4.31
// above the waterline (the origin, midships), its bow at z +2.15; the side guns (the helicopter's
// gun) sit on the bridge wings at (+-0.239, 0.687, 0.07); the front turret stands on the deck at
// (0, 0.505, 1.132) with its gun's pivot at (0, 0.057, 0.048); the launcher's pivot is at
// (0, 0.493, -1.646) and the rig turns it to face astern.
#include "tools/forge/unit_models.h"

namespace forge {

namespace {

// One hull station: keel, chines and deck edges, counter-clockwise seen from ahead.
LoftSection Station(float z, float halfWidth, float deck, float keel) {
  const float chine = 0.12f + (keel + 0.09f) * 0.5f;
  return {z,
          {{0, keel}, {0.8f * halfWidth, chine}, {halfWidth, deck}, {-halfWidth, deck}, {-0.8f * halfWidth, chine}}};
}

}  // namespace

MeshKit BoatHull() {
  MeshKit m;
  // The hull: a square transom, full sections amidships, a raked and flared bow to a point.
  const LoftSection hull[] = {
      Station(-2.155f, 0.29f, 0.49f, -0.04f), Station(-1.7f, 0.34f, 0.49f, -0.08f),
      Station(-0.6f, 0.351f, 0.49f, -0.09f),  Station(0.5f, 0.351f, 0.49f, -0.09f),
      Station(1.2f, 0.325f, 0.505f, -0.08f),  Station(1.65f, 0.26f, 0.54f, -0.04f),
      Station(1.95f, 0.16f, 0.58f, 0.06f),    Station(2.155f, 0.0f, 0.62f, 0.3f)};
  m.SetRegion(UnitUv(kCellHullBands));
  m.Loft(hull, true, false);
  // Bulwark rails along the foredeck.
  m.SetRegion(UnitUv(kCellPaintLight));
  for (float side : {1.0f, -1.0f}) {
    TAffineVector a{side * 0.33f, 0.5f, 1.2f}, b{side * 0.25f, 0.52f, 1.65f};
    m.Quad(a, b, b + TAffineVector(0, 0.04f, 0), a + TAffineVector(0, 0.04f, 0));
  }

  // Superstructure: a deckhouse up to the bridge-wing level, the wheelhouse on it.
  m.SetRegion(UnitUv(kCellWindows));
  m.Box({-0.22f, 0.49f, -0.6f}, {0.22f, 0.66f, 0.42f}, false);
  m.SetRegion(UnitUv(kCellPaintLight));
  m.Box({-0.3f, 0.66f, -0.12f}, {0.3f, 0.687f, 0.26f});  // bridge wings carrying the side guns
  m.Box({-0.22f, 0.66f, -0.6f}, {0.22f, 0.675f, -0.12f});
  m.SetRegion(UnitUv(kCellWindows));
  m.Box({-0.16f, 0.687f, -0.1f}, {0.16f, 0.83f, 0.22f}, false);
  m.SetRegion(UnitUv(kCellPaint));
  m.Box({-0.175f, 0.83f, -0.12f}, {0.175f, 0.845f, 0.24f});
  // Mast with a radar yard, and the funnel behind the bridge.
  m.SetRegion(UnitUv(kCellMetal));
  m.Push(Translation(0, 0, -0.02f));
  m.Cylinder(0.016f, 0.01f, 0.845f, 1.3f, 8);
  m.Pop();
  m.Box({-0.12f, 1.16f, -0.03f}, {0.12f, 1.175f, -0.01f});
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.05f, 1.21f, -0.06f}, {0.05f, 1.24f, 0.02f});
  const TTexPoint funnel[] = {{0.08f, -0.62f}, {0.08f, -0.9f}, {-0.08f, -0.9f}, {-0.08f, -0.62f}};
  m.SetRegion(UnitUv(kCellPaint));
  m.Prism(funnel, 0.66f, 0.86f, false, false);
  m.SetRegion(UnitUv(kCellSoot));
  m.Prism(funnel, 0.86f, 0.9f, true, false);

  // Deck fittings: the front gun's ring, the launcher's base, ready-use lockers and rafts.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Push(Translation(0, 0, 1.132f));
  m.Cylinder(0.13f, 0.12f, 0.49f, 0.505f, 14);
  m.Pop();
  m.Push(Translation(0, 0, -1.646f));
  m.Cylinder(0.1f, 0.09f, 0.49f, 0.493f, 12);
  m.Pop();
  m.Box({-0.2f, 0.49f, -1.25f}, {-0.1f, 0.56f, -1.05f});
  m.Box({0.1f, 0.49f, -1.25f}, {0.2f, 0.56f, -1.05f});
  m.SetRegion(UnitUv(kCellStripe));
  for (float side : {1.0f, -1.0f}) {
    m.Push(Translation(side * 0.26f, 0.53f, -0.85f) * RotationX(90));
    m.Cylinder(0.035f, 0.035f, -0.1f, 0.1f, 8);
    m.Pop();
  }
  return m;
}

MeshKit BoatTurret() {
  MeshKit m;
  // A low gun house on a turntable, sloped at the front, open to the gun at its face.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Cylinder(0.11f, 0.11f, 0.0f, 0.025f, 14);
  const TTexPoint lower[] = {{0.1f, 0.09f}, {0.12f, 0.0f}, {0.11f, -0.13f}, {-0.11f, -0.13f}, {-0.12f, 0.0f}, {-0.1f, 0.09f}};
  const TTexPoint upper[] = {{0.07f, 0.05f}, {0.1f, 0.0f}, {0.095f, -0.12f}, {-0.095f, -0.12f}, {-0.1f, 0.0f}, {-0.07f, 0.05f}};
  m.SetRegion(UnitUv(kCellPaint));
  m.Prism(lower, 0.025f, 0.075f, false, false);
  for (std::size_t i = 0; i < std::size(lower); ++i) {
    std::size_t j = (i + 1) % std::size(lower);
    m.Quad({lower[i].x, 0.075f, lower[i].y}, {lower[j].x, 0.075f, lower[j].y}, {upper[j].x, 0.115f, upper[j].y},
           {upper[i].x, 0.115f, upper[i].y});
  }
  m.SetRegion(UnitUv(kCellPaintLight));
  m.Prism(upper, 0.114f, 0.115f, true, false);
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Box({-0.035f, 0.03f, 0.03f}, {0.035f, 0.085f, 0.1f});  // mantlet around the pivot
  return m;
}

MeshKit BoatGun() {
  MeshKit m;
  m.Push(RotationX(90));
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Cylinder(0.024f, 0.02f, 0.0f, 0.08f, 10);
  m.SetRegion(UnitUv(kCellMetal));
  m.Cylinder(0.012f, 0.012f, 0.08f, 0.32f, 10);
  m.SetRegion(UnitUv(kCellSoot));
  m.Cylinder(0.016f, 0.016f, 0.3f, 0.33f, 10);
  m.Pop();
  return m;
}

MeshKit BoatLauncher() {
  MeshKit m;
  // A pedestal and a box of four tubes whose mouths face +Z.
  m.SetRegion(UnitUv(kCellPaintDark));
  m.Cylinder(0.05f, 0.04f, 0.0f, 0.06f, 10);
  m.Box({-0.03f, 0.06f, -0.04f}, {0.03f, 0.09f, 0.04f});
  m.SetRegion(UnitUv(kCellPaint));
  m.Box({-0.1f, 0.09f, -0.14f}, {0.1f, 0.2f, 0.12f});
  m.SetRegion(UnitUv(kCellTubes));
  m.Quad({-0.1f, 0.09f, 0.1205f}, {0.1f, 0.09f, 0.1205f}, {0.1f, 0.2f, 0.1205f}, {-0.1f, 0.2f, 0.1205f});
  return m;
}

}  // namespace forge

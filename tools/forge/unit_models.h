// The unit models: each part built at the offsets and sizes its rig expects (+Z forward, +Y up),
// textured from one paint atlas per unit. The atlas cells are shared by all four units; only
// the palette differs (the side colour is the HUD's business, never the model's).
#pragma once

#include <random>

#include "platform/bitmap.h"
#include "tools/forge/meshkit.h"
#include "tools/forge/texkit.h"

namespace forge {

// Cells of the 4 x 4 paint atlas.
enum UnitCell {
  kCellPaint, kCellPaintDark, kCellPaintLight, kCellGlass,
  kCellMetal, kCellTrack, kCellRubber, kCellDeck,
  kCellHullBands, kCellConcrete, kCellConcreteSlits, kCellWindows,
  kCellTubes, kCellGrille, kCellStripe, kCellSoot,
};
UvRect UnitUv(UnitCell cell);

struct UnitPalette {
  Rgb paint;    // the body colour
  Rgb detail;   // a second, darker tone
  Rgb deck;     // walkways and decks
};
platform::Bitmap PaintUnitAtlas(std::mt19937& gen, const UnitPalette& palette);

// Helicopter: origin at the rotor hub, body below. The gun is also the boat's side gun.
MeshKit HeliFuselage();
MeshKit HeliRotor();  // also the tail rotor, scaled down and turned by the rig
MeshKit HeliGun();
// Tank: origin on the ground under the hull's centre; the turret turns about the Y axis.
MeshKit TankHull();
MeshKit TankTurret();
MeshKit TankGun();
// Boat: origin at the waterline, midships.
MeshKit BoatHull();
MeshKit BoatTurret();
MeshKit BoatGun();
MeshKit BoatLauncher();
// Turret: origin on the ground; the head's origin is its pivot.
MeshKit TurretTower();
MeshKit TurretHead();

}  // namespace forge

// Houses of the climate themes and the military buildings, textured from one building atlas.
// Each fits one terrain cell (settlements put one on a cell) and comes with the obstacle boxes
// that cover its walls. +Z is the front, where the door is.
#pragma once

#include <random>
#include <vector>

#include "platform/bitmap.h"
#include "tools/forge/meshkit.h"
#include "world/themefile.h"

namespace forge {

// Cells of the 4 x 4 building atlas.
enum BuildingCell {
  kPlasterWindow, kPlasterDoor, kRedTiles, kSlate,
  kPlanks, kBarnDoor, kStuccoWindow, kTerracotta,
  kAdobeWindow, kAdobeDoor, kAdobe, kLogWindow,
  kSnowRoof, kStonework, kPlaster, kStuccoDoor,
};
platform::Bitmap PaintBuildingAtlas(std::mt19937& gen);
UvRect BuildingUv(BuildingCell cell);

struct Building {
  MeshKit model;
  float height = 0;
  std::vector<TTRVMarkerPoint> markers;
};

// What a house is dressed in.
struct HouseStyle {
  BuildingCell window, door, gable, roof;
  float roofPitch;  // ridge height above the eaves, as a share of the depth
};

// A gabled house w wide (x), d deep (z), walls `walls` high, the ridge along x.
Building GableHouse(float w, float d, float walls, const HouseStyle& style, bool chimney);
// Two gabled wings in an L: the main one along x, a shorter one toward +Z on the left.
Building LHouse(float w, float d, float walls, const HouseStyle& style);
// A flat-roofed adobe block with a parapet and roof beams; `dome` adds a dome on top.
Building FlatHouse(float w, float d, float walls, bool dome);
// A square adobe tower with crenellations.
Building AdobeTower(float side, float height);

}  // namespace forge

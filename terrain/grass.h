// Grass scattered live around the camera: tufts of the cells' climate themes, proxies under the
// world's grass root, placed in the cells of a disc round the camera that may carry grass and
// dropped again once they fall out of it. Nothing is placed until the camera has moved 3 units
// since the last placement.
#pragma once

#include "scene/vectorgeometry.h"
#include "world/grid.h"

class TTRVWorld;

// How far the camera moves before the grass is placed again.
inline constexpr float kGrassStep = 3.0f;

// The 2G x 2G table of cells round the camera that carry grass: the filled disc of diameter
// 2G - 1 centred on entry (G - 1, G - 1); the last row and column stay clear. G below 1
// counts as 1.
TTRVGrid<std::uint8_t> BuildGrassMask(int grassDistance);

// Sets the world's grass mask from its settings and forgets where grass was last placed, so
// the next UpdateGrass places it (and sweeps what no longer belongs).
void PrepareGrass(TTRVWorld& world);

// One step of the grass around `camera` (its height is ignored). Nothing when the settings
// turn grass off or the camera is within 3 units of the last placement. Otherwise each cell of
// the mask that lies inside the map, has its grass flag and a theme with grass objects, and
// carries no grass yet gets a tuft (and GrassDensity - 1 more in the same cell, as its
// children); then every tuft further than G + 3 from the camera, across the ground, goes.
void UpdateGrass(TTRVWorld& world, const TAffineVector& camera);

// Hides the tufts the camera cannot see, well outside the cone it looks along, and shows the
// rest: a tuft costs its drawing even where no pixel of it lands. `viewMatrix` is the
// camera's world-to-eye matrix.
void ShowGrassInView(TTRVWorld& world, const TAffineVector& eye, const TMatrix& viewMatrix);

// Tufts under the grass root, children included.
int GrassCount(const TTRVWorld& world);

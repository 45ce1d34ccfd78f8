// The island's outline sketch and the midpoint-displacement fields every stage draws on:
// the elevation itself, the climate zones, the terrace threshold, forests and grass.
// Plain grid work; random numbers come from the generator given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/random.h"
#include "world/grid.h"

// Fills `field` with (mapWidth * 32) x (mapHeight * 32) values. Seeds lie every
// h = (next power of two >= featureSize) / 2 cells from that many cells in; with a sketch
// (not null, one red value per sector) the seeds and the roughness follow it, so black sketch
// pixels give flat sea. Each finer level averages its corners, adds noise and pulls the
// surface down a little in proportion to the local roughness. With a sketch the field is 0
// within a margin along every edge that wanders between max(8, h / 2 + 8) cells and 16 more,
// whatever the sketch holds, and rises out of it over 8 cells, so the island's outer coast is
// never straight and the border stays sea.
void MakeField(TTRVGrid<std::uint8_t>& field, int mapWidth, int mapHeight, int featureSize,
               const TTRVGrid<std::uint8_t>* sketch, platform::RandomGenerator& rng);

// Where MakeField seeds along an axis of `cells` cells: every h = (next power of two >=
// featureSize) / 2 cells from h up to cells - 32, so the island fades into the sea at the
// edges.
std::vector<int> FieldSeedLines(int cells, int featureSize);

// The sketch's growth stops once land covers more than this share, clamped to 10..90 %: the
// border row is sea in the end, so a higher share could never be reached.
int SketchLandShare(int landPercent);

// A random outline, one pixel per sector: multiSeed gives one seed per 10 x 10 sectors (at
// least one), otherwise one. Land grows from the seeds until it covers more than the
// clamped share, the interior is raised and the border row and column become sea. False
// when the growth could not reach the share within its bound (a sketch too small to grow).
bool DrawSketch(TTRVGrid<std::uint8_t>& sketch, int mapWidth, int mapHeight, int landPercent, bool multiSeed,
                platform::RandomGenerator& rng, std::string& error);

// The growth on its own: pixels with a land neighbour turn to land until the land share
// exceeds `share` percent. Answers the number of land pixels, or -1 when the bound ran out.
int GrowSketch(TTRVGrid<std::uint8_t>& sketch, int share, platform::RandomGenerator& rng);

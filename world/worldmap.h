// The world map image: one pixel per cell coloured by terrain class with the static objects
// marked, then turned by 180 degrees and resampled to power-of-two sides for the HUD's
// texture. The loader builds it when "<name>MAP.bmp" is missing; the generator draws the same.
#pragma once

#include <functional>
#include <vector>

#include "platform/bitmap.h"
#include "world/grid.h"

// Cells marked over the ground colours, each group drawn in the order its cells were read.
struct TTRVMapMarks {
  std::vector<TTRVCell> trees;
  std::vector<TTRVCell> buildings;
  std::vector<TTRVCell> obstacles;
};

// Pixel (x, z) for cell (x, z), from the height bytes and the terrain classes (grids of the
// same size). onColumn(x) is called after each column.
platform::Bitmap DrawWorldMap(const TTRVGrid<std::uint8_t>& heights, const TTRVGrid<std::uint8_t>& classes,
                              const TTRVMapMarks& marks, const std::function<void(int column)>& onColumn = {});

// The smallest power of two not below cells - 1: the side of the turned map.
int WorldMapImageSide(int cells);

// The full map turned by 180 degrees and resampled by truncation onto
// WorldMapImageSide(width) x WorldMapImageSide(height) pixels. onColumn(x, width) is called
// after each column of the result.
platform::Bitmap TurnWorldMap(const platform::Bitmap& full, const std::function<void(int column, int width)>& onColumn = {});

// What the generator hands to the rest of the game: the world file's records, the full map
// with its turned MAP image and the THUMB image, and the one place that writes them. The
// three files appear together or not at all.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "generator/bases.h"
#include "generator/genstate.h"
#include "generator/progress.h"
#include "platform/bitmap.h"
#include "world/worldfile.h"

// The world file stores sector (sx, sz) only when a vertex on one of its four border lines
// has land; every other sector is open sea in the game.
bool SectorStored(const TTRVGenState& state, int sx, int sz);
// The terrain classes as the game will load them: open sea wherever no stored sector reaches.
TTRVGrid<std::uint8_t> LoadedClasses(const TTRVGenState& state);

TTRVWorldFileData BuildWorldFile(const TTRVGenState& state, const TTRVBaseLayout& layout, const std::string& worldName,
                                 double createdAt);

// One pixel per vertex coloured by class, every placement marked (removed ones too).
platform::Bitmap DrawFullMap(const TTRVGenState& state, TTRVGenProgress& progress);
// The full map turned by 180 degrees onto power-of-two sides.
platform::Bitmap MakeMapImage(const platform::Bitmap& full, TTRVGenProgress& progress);
// mapWidth * 8 x mapHeight * 8 pixels, every fourth vertex, turned, open sea in silver.
platform::Bitmap MakeThumbnail(const platform::Bitmap& full, int mapWidth, int mapHeight);

// Writes worlds/<name>.TRV, <name>MAP.bmp and <name>THUMB.bmp in the folder: all three to
// temporary names first, then renamed into place, the world file last. The old files of a
// world of that name are kept aside until all three new ones are in place. On failure nothing
// of the new files is left, the old world keeps its three files, and error says why.
bool SaveWorldFiles(const std::filesystem::path& worldsFolder, const std::string& worldName,
                    const TTRVWorldFileData& data, const platform::Bitmap& map, const platform::Bitmap& thumb,
                    std::string& error);

// The loader's record-level refusals, shared by the loader and the generator.
#include "world/worldcheck.h"

#include "world/floatingwave.h"
#include "world/worldload.h"

std::string KeepOpenSea(TTRVPathFinder& water) {
  if (KeepConnectedTo(water, kOpenSeaCell)) return {};
  return "cell (3, 3) at the map corner is not open sea, so boats would have no sea to sail";
}

TTRVGrid<std::uint8_t> LoadedClassGrid(const TTRVWorldFileData& data) {
  TTRVGrid<std::uint8_t> classes;
  if (!WorldDataFault(data).empty()) return classes;
  classes.Reset(data.CellsX(), data.CellsZ(), tcSea);
  for (const TTRVSectorRecord& s : data.sectors)
    for (int a = 0; a < kSectorSide; ++a)
      for (int b = 0; b < kSectorSide; ++b)
        classes.Set(s.sectorX * kSectorCells + a, s.sectorZ * kSectorCells + b, s.CellType(a, b) & 15);
  return classes;
}

std::string WorldLoadFault(const TTRVWorldFileData& data, std::span<const std::size_t> objectCounts) {
  if (std::string fault = WorldDataFault(data); !fault.empty()) return fault;
  if (std::string fault = WorldObjectFault(data, objectCounts); !fault.empty()) return fault;
  const TTRVGrid<std::uint8_t> classes = LoadedClassGrid(data);
  TTRVPathFinder water;
  water.Reset(classes.SizeX(), classes.SizeZ(), false);
  OpenSea(classes, water);
  return KeepOpenSea(water);
}

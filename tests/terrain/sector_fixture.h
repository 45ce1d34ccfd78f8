// A small island for the sector tests: 4 x 4 sectors, a hill in sector (1, 1) carrying one
// object of each kind, loaded headless through the world's own loader.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "terrain/sectorstream.h"
#include "tests/world/world_fixture.h"
#include "world/world.h"

namespace sectortest {

using namespace worldtest;

inline void WriteWorld(const ProgramFolder& folder, const std::string& name, const TTRVWorldFileData& d) {
  const std::vector<std::uint8_t> bytes = WriteWorldFile(d);
  ASSERT_FALSE(bytes.empty()) << WorldDataFault(d);
  FILE* f = std::fopen((folder.Worlds() / (name + ".TRV")).c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Placement looks: rotation code in the high nibble, lift in the low one.
inline constexpr std::uint8_t kRandomLifted = 0x85;  // random heading and size, lifted 5
inline constexpr std::uint8_t kTurned405 = 0x95;     // nine eighths of a turn

class IslandWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTheme(folder.Path(), "Basic", {tcOpenGround, tcSea, tcRiver});
    Island island(4, 4);
    island.Fill(36, 36, 60, 60, tcOpenGround, 50);  // 2 units high inside sector (1, 1)
    island.Fill(44, 44, 48, 48, tcOpenGround, 100);
    island.Place(40, 40, kTree, 0);
    island.Place(42, 40, kBuilding, 0);
    island.Place(44, 40, kGrass, 1);
    island.Place(46, 40, kFence, 1);
    island.Place(48, 40, kWall, 2);
    TTRVWorldFileData d = island.Build();
    for (TTRVSectorRecord& r : d.sectors)
      if (r.sectorX == 1 && r.sectorZ == 1) {
        r.placements[0][0].look = kRandomLifted;
        r.placements[0][1].look = kTurned405;
        r.placements[1][0].offset = 0x00;
      }
    WriteWorld(folder, "Isle", d);
    Load("Isle");
  }

  void Load(const std::string& name, int viewDistance = 1) {
    TTRVWorldContext c = Context(folder, &scene);
    c.settings.ViewDistance = viewDistance;
    std::string error;
    world = CreateLoadedWorld(c, name, true, nullptr, error);
    ASSERT_TRUE(world) << error;
    PrepareSectors(*world);
  }

  ProgramFolder folder;
  TGLScene scene;
  std::unique_ptr<TTRVWorld> world;
};

}  // namespace sectortest

// A small island for the save tests, written from fixed data (no random generator): 4 x 4
// sectors of land at height 2 on [20, 100) x [20, 100), two land bases and a naval base in the
// sea, the themes its units and pier need; and a game of three sides started on it headless.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/random.h"
#include "tests/terrain/sector_fixture.h"
#include "units/entity.h"

namespace savetest {

using namespace sectortest;

// The world the checked-in save names; the test writes it before loading.
inline constexpr const char* kIsleName = "SaveIsle";

// The themes and worlds/<name>.TRV in the program folder (which has themes/ and worlds/).
inline void WriteIsle(const fs::path& programFolder, const std::string& name = kIsleName) {
  WriteTheme(programFolder, "Basic", {tcOpenGround, tcSea, tcRiver});
  WriteTheme(programFolder, "Military", {tcOpenGround});
  for (const char* unit : {"Heli", "Tank", "Boat", "Turret"}) WriteTheme(programFolder, unit, {0});
  Island island(4, 4, {"Basic", "Military"});
  island.Fill(20, 20, 100, 100, tcOpenGround, 50);
  TTRVWorldFileData d = island.Build();
  AddTestBases(d);
  const std::vector<std::uint8_t> bytes = WriteWorldFile(d);
  ASSERT_FALSE(bytes.empty()) << WorldDataFault(d);
  FILE* f = std::fopen((programFolder / "worlds" / (name + ".TRV")).c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline TTRVWorldFractionInfo Side(const std::string& name, std::array<std::int16_t, 4> counts) {
  TTRVWorldFractionInfo s;
  s.name = name;
  s.unitCounts = counts;
  return s;
}

// The player's helicopter and a tank on land base 0; a naval side with a boat and two turrets
// on its pier; a side with a tank and a Czech name, gathering at the centre.
inline TTRVWorldInfo ThreeSides() {
  TTRVWorldInfo info;
  info.sides = {Side("Player", {1, 1, 0, 0}), Side("Enemy 1", {0, 0, 1, 2}), Side("Žlutá řeka", {0, 1, 0, 0})};
  info.sides[1].navalBase = 1;
  info.sides[2].victoryLosses = {-1, 1, -1, -1};
  info.sides[0].survivalMinimum = {1, -1, -1, -1};
  info.sides[0].sideColour = 0x00FF0000;
  info.sides[1].sideColour = 0x000000FF;
  info.sides[2].sideColour = 0x0000FFFF;
  info.sides[1].attacking = 1;
  info.playerUnitType = utHeli;
  info.missionType = mtAttack;
  return info;
}

class SaveGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Random().Seed(11);
    WriteIsle(folder.Path());
  }

  TTRVWorldContext MakeContext() {
    TTRVWorldContext c = Context(folder, &scene, &progress);
    c.settings.ViewDistance = 1;
    c.cameraTarget = &cameraTarget;
    return c;
  }
  // A new game on the island; the test fails when it does not start.
  std::unique_ptr<TTRVGame> StartGame(const TTRVWorldInfo& info) {
    std::string error;
    std::unique_ptr<TTRVGame> game = StartNewGame(MakeContext(), kIsleName, &info, error);
    EXPECT_TRUE(game) << error;
    return game;
  }
  std::unique_ptr<TTRVGame> Load(const std::filesystem::path& file, std::string& error) {
    progress = {};
    return LoadSavedGame(MakeContext(), file, error);
  }
  std::filesystem::path SaveFile(const std::string& name) const { return folder.Path() / "save" / (name + ".TRV"); }

  static std::vector<TTRVEntity*> Units(const TTRVWorld& w, int side) {
    std::vector<TTRVEntity*> out;
    const TGLBaseSceneObject* cube = w.sideRoot->Children(side);
    for (int k = 0; k < cube->Count(); ++k) out.push_back(dynamic_cast<TTRVEntity*>(cube->Children(k)));
    return out;
  }

  ProgramFolder folder;
  TGLScene scene;
  TGLDummyCube cameraTarget;
  Progress progress;
};

}  // namespace savetest

// Units on a small flat island for the unit tests: the unit themes written by the world
// fixture, a camera target at the origin and one cube per side under the world's sideRoot.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "tests/world/world_fixture.h"
#include "units/entity.h"

namespace unittest {

using worldtest::ProgramFolder;

// Objects per unit theme: the fixture writes five, more than any rig uses.
inline void WriteUnitThemes(const ProgramFolder& folder, std::initializer_list<const char*> names) {
  for (const char* name : names) worldtest::WriteTheme(folder.Path(), name, {0});
}

// A flat island at height 2 (50 / 25) with the unit themes loaded and a camera target at the
// origin (none without a player); units are placed under side 0's cube. The cockpit stands
// for the engine's side of the player's unit (none by default); `adjust` may change the
// rest of the context (settings, camera) before the world is made.
class UnitWorld {
 public:
  explicit UnitWorld(int difficulty = 100, int sides = 2, bool themes = true, bool player = true,
                     const TTRVCockpit& cockpit = {}, const std::function<void(TTRVWorldContext&)>& adjust = {}) {
    if (themes) WriteUnitThemes(folder_, {"Heli", "Tank", "Boat", "Turret"});
    TTRVWorldContext context = worldtest::Context(folder_, nullptr);
    context.settings.Difficulty = difficulty;
    context.settings.LODdist = 20;
    context.settings.Derive();
    context.cameraTarget = player ? &cameraTarget : nullptr;
    context.cockpit = cockpit;
    if (adjust) adjust(context);
    world = std::make_unique<TTRVWorld>(context);
    if (themes) {
      for (const char* name : {"Heli", "Tank", "Boat", "Turret"}) EXPECT_NE(world->AddTheme(name), nullptr) << name;
    }
    world->heightDivisor = 25;
    world->heightGrid = TTRVGrid<std::uint8_t>(64, 64, 50);
    world->sides.resize(static_cast<std::size_t>(sides));
    for (int i = 0; i < sides; ++i) sideCubes_.push_back(world->sideRoot->AddNewChild<TGLDummyCube>());
  }

  TTRVEntity& Add(int type, TAffineVector at = {10, 7, 10}, bool player = false, int side = 0) {
    TTRVUnitState source;
    source.unitType = static_cast<std::uint8_t>(type);
    source.side = static_cast<std::uint8_t>(side);
    source.isPlayer = player ? 1 : 0;
    auto* unit = sideCubes_[static_cast<std::size_t>(side)]->AddNewChild<TTRVEntity>();
    unit->Setup(*world, at, true, source, {0, 0, 1});
    return *unit;
  }

  TGLDummyCube cameraTarget;
  std::unique_ptr<TTRVWorld> world;

 private:
  ProgramFolder folder_;
  std::vector<TGLDummyCube*> sideCubes_;
};

}  // namespace unittest

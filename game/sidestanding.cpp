// Side standings from the units under each side's cube.
#include "game/sidestanding.h"

#include <algorithm>

#include "units/entity.h"
#include "world/world.h"

namespace {

template <class Visit>
void ForEachUnitOfSide(const TTRVWorld& world, std::size_t side, Visit&& visit) {
  if (!world.sideRoot || side >= static_cast<std::size_t>(world.sideRoot->Count())) return;
  const TGLBaseSceneObject* cube = world.sideRoot->Children(static_cast<int>(side));
  for (int k = 0; k < cube->Count(); ++k)
    if (const auto* unit = dynamic_cast<const TTRVEntity*>(cube->Children(k))) visit(*unit);
}

int Vehicles(const std::array<std::int16_t, 4>& counts) { return counts[utHeli] + counts[utTank] + counts[utBoat]; }

}  // namespace

void CountAliveUnits(TTRVWorld& world) {
  for (std::size_t s = 0; s < world.sides.size(); ++s) {
    std::array<std::int16_t, 4>& alive = world.sides[s].aliveCounts;
    alive.fill(0);
    ForEachUnitOfSide(world, s, [&](const TTRVEntity& unit) {
      if (!unit.Wrecked() && unit.state.unitType < kUnitTypes) ++alive[unit.state.unitType];
    });
  }
}

void UpdateSideStandings(TTRVWorld& world) {
  const std::size_t sides = world.sides.size();
  for (std::size_t s = 0; s < sides; ++s) {
    TTRVWorldFractionInfo& side = world.sides[s];
    if (s < world.sideStrength.size()) {
      float strength = 0;
      ForEachUnitOfSide(world, s, [&](const TTRVEntity& unit) {
        if (unit.isFar == 0 && !unit.Wrecked() && unit.state.unitType < utTurret)
          strength += static_cast<float>(unit.state.unitType + 1) * 0.06f;
      });
      world.sideStrength[s] = std::min(strength, 1.0f);
    }

    // A side whose enemies have no unit left still has their bases to take: the first other
    // side stands in, never the side itself.
    int most = -1;
    std::size_t enemy = s;
    for (std::size_t o = 0; o < sides; ++o) {
      if (o == s) continue;
      const auto& c = world.sides[o].aliveCounts;
      const int total = c[0] + c[1] + c[2] + c[3];
      if (total > most) {
        most = total;
        enemy = o;
      }
    }
    side.mainEnemy = static_cast<std::uint8_t>(enemy);

    if (world.stancesPreset == 0 && s != world.playerSide) {
      const int start = Vehicles(side.unitCounts);
      side.defending = start <= 0 || Vehicles(side.aliveCounts) * 4 < start ? 1 : 0;
    }
  }
}

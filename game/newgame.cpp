// New-game set-up. Every search here is bounded: a world whose grids hold no room for a side
// is reported, never waited on.
#include "game/newgame.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ai/worldbeacon.h"
#include "platform/log.h"
#include "platform/random.h"
#include "scene/proxy.h"
#include "units/entity.h"
#include "world/queries.h"

namespace {

// Height of the pier deck, on the cells it covers.
constexpr float kPierDeckHeight = 1.65f;
// Unit searches widen their radius up to this before a last single try.
constexpr int kSpreadLimit = 1001;
// Scattered groups draw new centres for at most this many tries before the unit falls back
// to its rally cell's ring.
constexpr int kScatterTries = 1000;

const char* const kTypeNames[3] = {"helicopters", "tanks", "boats"};

struct StartRecord {
  TTRVCell cell = kNoCell;  // a naval side's turret: x holds the pier slot
  std::uint8_t unitType = 0;
  std::uint8_t side = 0;
  std::uint8_t isPlayer = 0;
};

// Carries over from unit to unit, type to type and side to side.
struct ScatterGroup {
  TTRVCell centre{0, 0};
  int count = 0;
  float radius = 0;
};

bool InnerCell(const TTRVWorld& world, TTRVCell c) {
  return c.x > 0 && c.z > 0 && c.x < world.CellsX() - 1 && c.z < world.CellsZ() - 1;
}

int Percent(int base, int index, int sideCount) {
  // One side still reports; the share is of the sides after the first.
  const int span = std::max(sideCount - 1, 1);
  return base + static_cast<int>(std::floor(static_cast<double>(index) / span * 10));
}

// The free inner cell of the grid nearest the centre (Chebyshev rings), or kNoCell. The
// random search's last resort, so that a grid with a single free cell is still found.
TTRVCell NearestFreeCell(const TTRVWorld& world, const TTRVPathFinder& finder, TTRVCell centre) {
  TTRVCell best = kNoCell;
  long long bestDistance = 0;
  for (int x = 1; x < world.CellsX() - 1; ++x)
    for (int z = 1; z < world.CellsZ() - 1; ++z) {
      if (!finder.Passable(x, z)) continue;
      const long long dx = x - centre.x, dz = z - centre.z;
      const long long d = dx * dx + dz * dz;
      if (best == kNoCell || d < bestDistance) {
        best = {x, z};
        bestDistance = d;
      }
    }
  return best;
}

// Widening random searches around the centre, then a sweep of the whole grid.
TTRVCell FindRallyCell(const TTRVWorld& world, TTRVCell centre, int unitType) {
  const int widest = std::max(world.CellsX(), world.CellsZ());
  for (int n = 1; n <= widest; ++n) {
    const TTRVCell c = FindSpawnCell(world, centre, unitType, static_cast<float>(n));
    if (c != kNoCell) return c;
  }
  return NearestFreeCell(world, SpawnGrid(world, unitType), centre);
}

// The base a side gathers around: its naval base when it has one of the eight, else its land
// base; a side with neither (a world with fewer bases than sides) gathers at the map's centre.
TTRVCell BaseCell(const TTRVWorld& world, const TTRVWorldFractionInfo& side, std::size_t i, bool& naval) {
  naval = UsesNavalBase(world, i);
  if (naval) return {world.navalBases[i].x, world.navalBases[i].z};
  if (side.navalBase) platform::LogWarning("game", "side " + std::to_string(i) + " has no naval base; it uses land");
  if (i < world.landBases.size()) return {world.landBases[i].cell.x, world.landBases[i].cell.z};
  platform::LogWarning("game", "side " + std::to_string(i) + " has no base in this world; it gathers at the centre");
  return {world.CellsX() / 2, world.CellsZ() / 2};
}

std::shared_ptr<TTRVAIWorldBeacon> MakeBeacon(const TTRVWorld& world, const TTRVPathFinder& finder, TTRVCell goal) {
  auto beacon = std::make_shared<TTRVAIWorldBeacon>(finder, GroundOf(world));
  beacon->Compute(goal);
  return beacon;
}
bool SetUpSide(TTRVWorld& world, std::size_t i, std::string& error) {
  TTRVWorldFractionInfo& side = world.sides[i];
  world.ReportProgress(TextId::LoadStartingNewGame, Percent(80, static_cast<int>(i), static_cast<int>(world.sides.size())));
  side.sideIndex = static_cast<std::uint8_t>(i);
  side.aliveCounts = {};
  bool naval = false;
  const TTRVCell base = BaseCell(world, side, i, naval);
  side.basePosition = {static_cast<float>(base.x), 0, static_cast<float>(base.z)};
  if (naval) BuildPier(world, side.basePosition);
  const TTRVCell centre{static_cast<std::int32_t>(std::floor(side.basePosition.x)),
                        static_cast<std::int32_t>(std::floor(side.basePosition.z))};
  for (int t = 0; t < 3; ++t) {
    const TTRVCell c = FindRallyCell(world, centre, t);
    if (c == kNoCell) {
      error = "Side \"" + side.name + "\": the island has no free cell for its " + kTypeNames[t];
      return false;
    }
    side.rallyCell[static_cast<std::size_t>(t)] = c;
  }
  CreateSideBeacons(world, side);
  return true;
}

TTRVCell ScatteredCell(const TTRVWorld& world, int t, ScatterGroup& group) {
  platform::RandomGenerator& random = platform::Random();
  for (int k = 0; k < kScatterTries; ++k) {
    if (group.radius < 5 || group.count < 0) {
      group.count = 3 + random.Int(3);
      group.radius = static_cast<float>(20 + random.Real() * 20);
      group.centre.z = random.Int(world.CellsZ());
      group.centre.x = random.Int(world.CellsX());
    }
    const TTRVCell c = FindSpawnCell(world, group.centre, t, group.radius);
    group.radius -= 2;
    if (c != kNoCell) return c;
  }
  return kNoCell;
}

// The unit's ring around its rally cell; each failed try widens it by a step, so the search
// ends at the spread limit with one last try.
TTRVCell RingCell(const TTRVWorld& world, TTRVCell rally, int t, int& radius, int step) {
  for (;;) {
    const TTRVCell c = FindSpawnCell(world, rally, t, static_cast<float>(radius));
    if (c != kNoCell || radius >= kSpreadLimit) return c;
    radius += step;
  }
}

std::vector<StartRecord> SideRecords(const TTRVWorld& world, std::size_t d, bool naval, ScatterGroup& group) {
  const TTRVWorldFractionInfo& side = world.sides[d];
  std::vector<StartRecord> records;
  const auto sideByte = static_cast<std::uint8_t>(d);

  int turrets = std::max<int>(side.unitCounts[utTurret], 0);
  if (turrets > kMaxSideTurrets) {
    platform::LogWarning("game", "side \"" + side.name + "\" asks for more turrets than a base holds");
    turrets = kMaxSideTurrets;
  }
  for (int k = 0; k < turrets; ++k) {
    StartRecord r{{k, 0}, utTurret, sideByte, 0};
    if (!naval) {
      const TTRVCell16 c = d < world.landBases.size() ? world.landBases[d].turretCells[static_cast<std::size_t>(k)]
                                                      : TTRVCell16{-1, -1};
      r.cell = {c.x, c.z};
      // The generator may leave a turret point it could not place off the map.
      if (!InnerCell(world, r.cell)) r.cell = side.rallyCell[utTank];
    }
    records.push_back(r);
  }

  const int sectors = world.sectorCountX * world.sectorCountZ;
  for (int t = 0; t < 3; ++t) {
    const int count = std::max<int>(side.unitCounts[static_cast<std::size_t>(t)], 0);
    if (count == 0) continue;
    const int step = sectors / count + 1;
    const TTRVCell rally = side.rallyCell[static_cast<std::size_t>(t)];
    int radius = 0;
    for (int u = 0; u < count; ++u) {
      radius += step;
      TTRVCell c = kNoCell;
      if (side.scatterSpawn) {
        c = ScatteredCell(world, t, group);
        if (c != kNoCell) --group.count;
      }
      if (c == kNoCell) c = RingCell(world, rally, t, radius, step);
      // A unit with nowhere to stand waits on its rally cell rather than off the map.
      if (c == kNoCell) c = rally;
      records.push_back({c, static_cast<std::uint8_t>(t), sideByte, 0});
    }
  }
  return records;
}

void CreateUnits(TTRVWorld& world, std::size_t d, bool naval, const std::vector<StartRecord>& records) {
  const TTRVWorldFractionInfo& side = world.sides[d];
  auto* cube = world.sideRoot->AddNewChild<TGLDummyCube>();
  const TTRVGroundView ground = GroundOf(world);
  for (const StartRecord& r : records) {
    TAffineVector at;
    if (naval && r.unitType == utTurret) {
      const TAffineVector& o = kNavalTurretOffsets[static_cast<std::size_t>(r.cell.x)];
      at = {side.basePosition.x + o.x, side.basePosition.y + o.y, side.basePosition.z + o.z};
    } else {
      at = {static_cast<float>(r.cell.x), ground.Sample(r.cell.x, r.cell.z), static_cast<float>(r.cell.z)};
    }
    TTRVUnitState source;
    source.unitType = r.unitType;
    source.side = r.side;
    source.isPlayer = r.isPlayer;
    auto* unit = cube->AddNewChild<TTRVEntity>();
    unit->Setup(world, at, true, source, {1, 0, 0});
    if (r.isPlayer) world.FocusOn(at);
    unit->SetTurnAngle(static_cast<float>(platform::Random().Int(360)));
  }
}

}  // namespace

bool UsesNavalBase(const TTRVWorld& world, std::size_t i) {
  return world.sides[i].navalBase != 0 && i < world.navalBases.size();
}

void BuildPier(TTRVWorld& world, const TAffineVector& position) {
  const TTRVCell base{static_cast<std::int32_t>(std::floor(position.x)),
                      static_cast<std::int32_t>(std::floor(position.z))};
  if (const TTRVTheme* military = world.FindTheme("Military"); military && military->objectRoot.Count() > 2) {
    auto* pier = world.staticRoot->AddNewChild<TGLProxyObject>();
    pier->MasterObject = military->objectRoot.Children(2);
    pier->Position.SetPoint(position);
  } else {
    platform::LogWarning("game", "the Military theme has no pier; naval bases stand without one");
  }
  for (int x = base.x - 7; x <= base.x + 7; ++x)
    for (int z = base.z - 2; z <= base.z + 2; ++z) world.objectHeightGrid.Set(x, z, kPierDeckHeight);
  for (TTRVPathFinder* finder : {&world.airPathFinder, &world.groundPathFinder, &world.waterPathFinder})
    for (int x = base.x - 8; x <= base.x + 8; ++x)
      for (int z = base.z - 3; z <= base.z + 3; ++z) finder->SetPassable(x, z, false);
}

void CreateSideBeacons(const TTRVWorld& world, TTRVWorldFractionInfo& side) {
  side.airBeacon = MakeBeacon(world, world.airPathFinder, side.rallyCell[0]);
  side.groundBeacon = MakeBeacon(world, world.groundPathFinder, side.rallyCell[1]);
  side.waterBeacon = MakeBeacon(world, world.waterPathFinder, side.rallyCell[2]);
}

const TTRVPathFinder& SpawnGrid(const TTRVWorld& world, int unitType) {
  switch (unitType) {
    case utHeli:
      if (world.playerUnitType == utTank) return world.groundPathFinder;
      if (world.playerUnitType == utBoat) return world.waterPathFinder;
      return world.airPathFinder;
    case utTank: return world.groundPathFinder;
    default: return world.waterPathFinder;
  }
}

TTRVCell FindSpawnCell(const TTRVWorld& world, TTRVCell centre, int unitType, float radius) {
  const TTRVPathFinder& finder = SpawnGrid(world, unitType);
  const int r = static_cast<int>(std::floor(std::max(radius, 0.0f)));
  platform::RandomGenerator& random = platform::Random();
  for (int k = 0; k < 101; ++k) {
    const int z = centre.z + random.Int(2 * r) - r;
    const int x = centre.x + random.Int(2 * r) - r;
    if (InnerCell(world, {x, z}) && finder.Passable(x, z)) return {x, z};
  }
  return kNoCell;
}

bool SetUpNewGame(TTRVWorld& world, std::string& error) {
  if (world.sides.empty()) return true;
  const int sideCount = static_cast<int>(world.sides.size());
  // Three rally cells: a player in a turret is not a set-up any dialog makes.
  if (world.playerUnitType > utBoat) world.playerUnitType = utHeli;

  for (std::size_t i = 0; i < world.sides.size(); ++i)
    if (!SetUpSide(world, i, error)) {
      platform::LogError("game", error);
      return false;
    }

  if (world.playerSide >= world.sides.size()) world.playerSide = 0;
  TTRVWorldFractionInfo& player = world.sides[world.playerSide];
  if (player.unitCounts[world.playerUnitType] <= 0) player.unitCounts[world.playerUnitType] = 1;

  ScatterGroup group;
  std::vector<std::vector<StartRecord>> records(world.sides.size());
  std::vector<bool> naval(world.sides.size());
  for (std::size_t d = 0; d < world.sides.size(); ++d) {
    world.ReportProgress(TextId::LoadAddingUnits, Percent(90, static_cast<int>(d), sideCount), world.sides[d].name);
    naval[d] = UsesNavalBase(world, d);
    records[d] = SideRecords(world, d, naval[d], group);
  }

  for (StartRecord& r : records[world.playerSide])
    if (r.unitType == world.playerUnitType) {
      r.isPlayer = 1;
      r.cell = player.rallyCell[world.playerUnitType];
      break;
    }

  for (std::size_t d = 0; d < world.sides.size(); ++d) CreateUnits(world, d, naval[d], records[d]);

  world.stancesPreset = player.defending || player.attacking || player.roaming ? 1 : 0;
  if (!world.stancesPreset)
    for (TTRVWorldFractionInfo& side : world.sides) side.roaming = 1;
  return true;
}

// The far step of the moving types.
#include "units/farstep.h"

#include <cmath>
#include <vector>

#include "ai/worldbeacon.h"
#include "units/entity.h"
#include "units/targets.h"
#include "world/world.h"

namespace {

const TTRVAIWorldBeacon* SideBeacon(const TTRVWorldFractionInfo& side, TTRVPathClass paths) {
  switch (paths) {
    case TTRVPathClass::Air: return side.airBeacon.get();
    case TTRVPathClass::Ground: return side.groundBeacon.get();
    case TTRVPathClass::Water: return side.waterBeacon.get();
  }
  return nullptr;
}

TTRVAIWorldBeaconFloating* Region(const TTRVWorld& world, TTRVPathClass paths) {
  switch (paths) {
    case TTRVPathClass::Air: return world.airRegion.get();
    case TTRVPathClass::Ground: return world.groundRegion.get();
    case TTRVPathClass::Water: return world.waterRegion.get();
  }
  return nullptr;
}

// A walk down a field has put the unit on the ground; a cell step has only moved it across.
enum class Moved { DownField, ToCell };

void SettleHeight(TTRVEntity& unit, Moved how) {
  const TTRVGroundView ground = GroundOf(*unit.world);
  TAffineVector p = unit.AbsoluteAffinePosition();
  switch (unit.TypeInfo().farHeight) {
    case TTRVFarHeight::Altitude: p.y = GroundHeight(ground, p) + unit.state.Altitude(); break;
    case TTRVFarHeight::Ground: p.y = GroundHeight(ground, p); break;
    case TTRVFarHeight::Afloat:
      if (how == Moved::DownField) p.y = GroundHeight(ground, p);
      break;
  }
  unit.SetAbsolutePosition(p);
}

void MoveToCell(TTRVEntity& unit, TTRVCell cell) {
  TAffineVector p = unit.AbsoluteAffinePosition();
  const TAffineVector corner = CellPosition(cell);
  p.x = corner.x;
  p.z = corner.z;
  unit.SetAbsolutePosition(p);
  SettleHeight(unit, Moved::ToCell);
}

// Where the cell steps start from: the middle of the cell the unit is rounded to, as the
// walks down a field do, so a unit just short of a cell boundary steps from the cell it
// stands in and not from the one behind it.
TAffineVector StepOrigin(const TTRVEntity& unit) { return unit.AbsoluteAffinePosition() + TAffineVector(0.5f, 0, 0.5f); }

// One step down a side's field while the unit is still at least `threshold` steps from its
// goal and no unit of its type ahead of it is close: the column keeps its order.
void AdvanceOn(TTRVEntity& unit, const TTRVAIWorldBeacon& beacon, float threshold, const std::vector<TTRVUnitRef>& units) {
  // The threshold is a step count: a fractional one (a scaled engage range) rounds up.
  const int minLevel = static_cast<int>(std::ceil(threshold));
  if (!FirstInLine(units, unit.Ref(), beacon.Distance(), minLevel, unit.TypeInfo().leaderRadius)) return;
  if (beacon.MoveToward(unit)) {
    SettleHeight(unit, Moved::DownField);
  } else {
    MoveToCell(unit, beacon.Step(StepOrigin(unit), 1));
  }
}

}  // namespace

void FarStep(TTRVEntity& unit, float dt) {
  if (!unit.world || unit.state.unitType > utBoat) return;
  // The AI picks up at once when the unit comes near again.
  unit.aiTimer = 0;
  unit.farTimer += dt;
  if (!(unit.farTimer > kFarStepInterval)) return;
  unit.farTimer = 0;

  if (unit.Wrecked()) {
    TAffineVector p = unit.AbsoluteAffinePosition();
    p.y = kFarWreckHeight;
    unit.SetAbsolutePosition(p);
    return;
  }

  TTRVWorld& world = *unit.world;
  const TTRVUnitTypeInfo& info = unit.TypeInfo();
  // One list for every far step of the thread: a step runs for a few units of every frame.
  thread_local std::vector<TTRVUnitRef> units;
  CollectUnitRefs(world, units);
  if (EnemyWithin(units, unit.Ref(), info.farDamage, kFarCombatRadius, world.stancesPreset != 0)) return;

  if (unit.state.side >= world.sides.size()) return;
  const TTRVWorldFractionInfo& side = world.sides[unit.state.side];
  // A side may attack, defend and roam at once: each is a move of its own.
  if (side.attacking && side.mainEnemy < world.sides.size()) {
    unit.state.targetSide = side.mainEnemy;
    if (const TTRVAIWorldBeacon* beacon = SideBeacon(world.sides[side.mainEnemy], info.farPaths))
      AdvanceOn(unit, *beacon, unit.engageRange, units);
  }
  if (side.defending) {
    unit.state.targetSide = unit.state.side;
    if (const TTRVAIWorldBeacon* beacon = SideBeacon(side, info.farPaths))
      AdvanceOn(unit, *beacon, static_cast<float>(unit.engageRange) * info.guardFactor, units);
  }
  const TGLBaseSceneObject* player = world.Context().cameraTarget;
  TTRVAIWorldBeaconFloating* region = Region(world, info.farPaths);
  if (side.roaming && player && region) {
    const TAffineVector goal = player->AbsoluteAffinePosition();
    if (MoveToward(*region, unit, goal, GroundOf(world))) {
      SettleHeight(unit, Moved::DownField);
    } else {
      MoveToCell(unit, NextStep(*region, StepOrigin(unit), goal));
    }
  }
}

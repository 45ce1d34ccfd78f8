// Target choice over the live sides.
#include "units/targets.h"

#include "platform/random.h"
#include "units/entity.h"
#include "world/world.h"

void ForEachUnit(const TTRVWorld& world, const std::function<void(TTRVEntity&)>& visit) {
  if (!world.sideRoot) return;
  for (int s = 0; s < world.sideRoot->Count(); ++s) {
    TGLBaseSceneObject* side = world.sideRoot->Children(s);
    for (int u = 0; u < side->Count(); ++u)
      if (auto* unit = dynamic_cast<TTRVEntity*>(side->Children(u))) visit(*unit);
  }
}

void CollectUnitRefs(const TTRVWorld& world, std::vector<TTRVUnitRef>& out) {
  out.clear();
  ForEachUnit(world, [&](TTRVEntity& unit) { out.push_back(unit.Ref()); });
}

bool FindNearestEnemy(TTRVEntity& unit) {
  unit.target = nullptr;
  if (unit.Wrecked() || !unit.world) return false;
  const TAffineVector at = unit.AbsoluteAffinePosition();
  TTRVEntity* nearest = nullptr;
  float best = 0;
  ForEachUnit(*unit.world, [&](TTRVEntity& other) {
    if (&other == &unit || other.state.side == unit.state.side || other.isFar != 0 || other.Wrecked()) return;
    const float d = VectorLength(other.AbsoluteAffinePosition() - at);
    if (!nearest || d < best) {
      nearest = &other;
      best = d;
    }
  });
  if (!nearest) return false;
  unit.target = nearest;
  unit.holdFire = false;
  unit.goalCell = {0, 0};
  return true;
}

bool FindPlayerToFollow(TTRVEntity& unit) {
  unit.target = nullptr;
  if (unit.Wrecked() || !unit.world) return false;
  TTRVEntity* player = nullptr;
  ForEachUnit(*unit.world, [&](TTRVEntity& other) {
    if (!player && other.state.isPlayer && &other != &unit) player = &other;
  });
  if (!player || player->Wrecked() || player->state.side != unit.state.side) return false;
  unit.target = player;
  unit.holdFire = true;
  unit.goalCell = {0, 0};
  return true;
}

bool StepAIChoice(TTRVEntity& unit, float dt) {
  unit.aiTimer -= dt;
  if (unit.aiTimer >= 0) return false;
  const bool heli = unit.state.unitType == utHeli;
  const auto draw = static_cast<float>(platform::Random().Real());
  unit.aiTimer = heli ? 3 + draw : 3 + 3 * draw;
  const bool follows = unit.state.unitType != utTurret;
  if (FindNearestEnemy(unit)) {
    unit.aiState = TTRVAIState::Engage;
  } else if (follows && FindPlayerToFollow(unit)) {
    const std::size_t side = unit.state.side;
    const bool attacking = unit.world && side < unit.world->sides.size() && unit.world->sides[side].attacking;
    unit.aiState = attacking ? TTRVAIState::Advance : TTRVAIState::Engage;
  } else {
    unit.aiState = TTRVAIState::Idle;
  }
  return true;
}

float EngageDistance(const TTRVEntity& unit) {
  const float range = unit.engageRange;
  if (!unit.world || unit.world->playerSide >= unit.world->sideStrength.size()) return range;
  return range * unit.world->sideStrength[unit.world->playerSide];
}

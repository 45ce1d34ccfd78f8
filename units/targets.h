// Whom a computer unit engages or follows. The searches walk the live sides and their units
// in side order, then unit order, every time they are asked, so a unit freed since the last
// search is never reached through a list kept from before.
#pragma once

#include <functional>
#include <vector>

#include "world/queries.h"

class TTRVEntity;
class TTRVWorld;

// Calls `visit` for every unit of the world: side 0's units first, each side's in the order
// they were placed.
void ForEachUnit(const TTRVWorld& world, const std::function<void(TTRVEntity&)>& visit);

// What the world's box and segment searches see of every unit, in the order ForEachUnit
// visits them; `out` is cleared first (callers keep one to reuse its storage).
void CollectUnitRefs(const TTRVWorld& world, std::vector<TTRVUnitRef>& out);

// The nearest live, near unit of any other side becomes the unit's target (the first found
// wins a tie); the unit may fire again and heads for a new goal. False, with no target,
// when there is none or the unit itself is a wreck.
bool FindNearestEnemy(TTRVEntity& unit);
// The player's unit becomes the target when it is alive and of the unit's own side; the
// unit then holds its fire while it follows. False, with no target, otherwise.
bool FindPlayerToFollow(TTRVEntity& unit);

// A computer unit's choice, every near frame: its timer runs down and, once below zero, is
// re-armed (3 to 4 s for a helicopter, 3 to 6 s for the others) and the target chosen anew:
// the nearest enemy, else (not for turrets) the player to follow. The state becomes engage
// (1) with a target, idle (2) with none, and advance (3) while following the player of an
// attacking side. True when the unit chose this frame.
bool StepAIChoice(TTRVEntity& unit, float dt);
// How near a unit closes on its target before it engages: its engage range scaled by the
// strength of the player's side; the bare range when the world has no such side.
float EngageDistance(const TTRVEntity& unit);

// The mission rules: a game ends in victory once every side with a victory condition has lost
// the units it must lose, and in defeat once the first side (the player's in every set-up)
// keeps fewer than its minimum of some type. Tested at the end of every step.
#pragma once

#include <vector>

#include "world/status.h"
#include "world/world.h"

struct TTRVMissionOutcome {
  TTRVStatus status = TTRVStatus::None;  // None: the mission goes on
  TTRVReason reason = TTRVReason::None;  // None with Accomplished: there were no conditions
};

// What the sides' counts say. Victory is judged first, so a frame in which both hold is won;
// the reason is that of the last condition met (the last side, its lowest type), "base" for
// turrets. Defeat looks at the first side only, turrets first.
TTRVMissionOutcome JudgeMission(const std::vector<TTRVWorldFractionInfo>& sides);

// Judges the world's sides and, when the mission is over, says so through the cockpit. True
// when it wrote a status; it writes again every frame the outcome holds.
bool CheckMission(TTRVWorld& world);

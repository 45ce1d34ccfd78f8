// The mission rules over the counts the step keeps.
#include "game/mission.h"

namespace {

TTRVReason Victory(int type) {
  return type == utTurret ? TTRVReason::EnemyBaseCaptured : TTRVReason::EnemyUnitsDestroyed;
}
TTRVReason Defeat(int type) { return type == utTurret ? TTRVReason::BaseCaptured : TTRVReason::UnitsLost; }

}  // namespace

TTRVMissionOutcome JudgeMission(const std::vector<TTRVWorldFractionInfo>& sides) {
  bool met = true;
  TTRVReason reason = TTRVReason::None;
  for (const TTRVWorldFractionInfo& side : sides) {
    for (int t = utTurret; t >= 0; --t) {
      const auto i = static_cast<std::size_t>(t);
      if (side.victoryLosses[i] < 0) continue;
      if (side.unitCounts[i] - side.aliveCounts[i] < side.victoryLosses[i]) {
        // One unmet condition is enough for this side; its other types need no look.
        met = false;
        break;
      }
      reason = Victory(t);
    }
  }
  if (met) return {TTRVStatus::Accomplished, reason};

  if (!sides.empty()) {
    const TTRVWorldFractionInfo& first = sides.front();
    for (int t = utTurret; t >= 0; --t) {
      const auto i = static_cast<std::size_t>(t);
      if (first.survivalMinimum[i] >= 0 && first.aliveCounts[i] < first.survivalMinimum[i])
        return {TTRVStatus::Failed, Defeat(t)};
    }
  }
  return {};
}

bool CheckMission(TTRVWorld& world) {
  const TTRVMissionOutcome outcome = JudgeMission(world.sides);
  if (outcome.status == TTRVStatus::None) return false;
  world.Context().cockpit.Report(outcome.status, outcome.reason);
  return true;
}

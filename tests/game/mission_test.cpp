// The mission rules: victory before defeat, every enemy side's conditions, the reason of the
// last condition met, turrets before other types, and the first side's minimums only.
#include "game/mission.h"

#include <gtest/gtest.h>

#include "tests/units/unit_fixture.h"

namespace {

using Counts = std::array<std::int16_t, 4>;
using Limits = std::array<std::int32_t, 4>;
constexpr Limits kNone{-1, -1, -1, -1};

TTRVWorldFractionInfo Side(Counts start, Counts alive, Limits victory = kNone, Limits survival = kNone) {
  TTRVWorldFractionInfo s;
  s.unitCounts = start;
  s.aliveCounts = alive;
  s.victoryLosses = victory;
  s.survivalMinimum = survival;
  return s;
}

TEST(Mission, JudgesVictoryThenDefeat) {
  const struct {
    const char* name;
    std::vector<TTRVWorldFractionInfo> sides;
    TTRVStatus status;
    TTRVReason reason;
  } cases[] = {
      {"no conditions at all: accomplished at once, no reason",
       {Side({1, 0, 0, 0}, {1, 0, 0, 0}), Side({0, 0, 0, 1}, {0, 0, 0, 1})}, TTRVStatus::Accomplished,
       TTRVReason::None},
      {"the tutorial's turret destroyed",
       {Side({1, 0, 0, 0}, {1, 0, 0, 0}), Side({0, 0, 0, 1}, {0, 0, 0, 0}, {-1, -1, -1, 1})},
       TTRVStatus::Accomplished, TTRVReason::EnemyBaseCaptured},
      {"the tutorial's turret still standing",
       {Side({1, 0, 0, 0}, {1, 0, 0, 0}), Side({0, 0, 0, 1}, {0, 0, 0, 1}, {-1, -1, -1, 1})}, TTRVStatus::None,
       TTRVReason::None},
      {"two enemy sides: one beaten is not enough",
       {Side({1, 0, 0, 0}, {1, 0, 0, 0}), Side({4, 0, 0, 0}, {0, 0, 0, 0}, {4, -1, -1, -1}),
        Side({0, 5, 0, 0}, {0, 1, 0, 0}, {-1, 5, -1, -1})},
       TTRVStatus::None, TTRVReason::None},
      {"two enemy sides both beaten: the last condition met gives the reason",
       {Side({1, 0, 0, 0}, {1, 0, 0, 0}), Side({0, 0, 0, 2}, {0, 0, 0, 0}, {-1, -1, -1, 2}),
        Side({3, 0, 0, 0}, {0, 0, 0, 0}, {3, -1, -1, -1})},
       TTRVStatus::Accomplished, TTRVReason::EnemyUnitsDestroyed},
      {"victory beats defeat in the same frame",
       {Side({1, 0, 0, 4}, {0, 0, 0, 0}, kNone, {1, -1, -1, 1}), Side({2, 0, 0, 0}, {0, 0, 0, 0}, {2, -1, -1, -1})},
       TTRVStatus::Accomplished, TTRVReason::EnemyUnitsDestroyed},
      {"the base lost beats units lost",
       {Side({3, 0, 0, 4}, {0, 0, 0, 1}, kNone, {2, -1, -1, 2}), Side({2, 0, 0, 0}, {2, 0, 0, 0}, {2, -1, -1, -1})},
       TTRVStatus::Failed, TTRVReason::BaseCaptured},
      {"too few friendly helicopters",
       {Side({3, 0, 0, 0}, {1, 0, 0, 0}, kNone, {2, -1, -1, -1}), Side({2, 0, 0, 0}, {2, 0, 0, 0}, {2, -1, -1, -1})},
       TTRVStatus::Failed, TTRVReason::UnitsLost},
      {"minimums of other sides are not read",
       {Side({3, 0, 0, 0}, {3, 0, 0, 0}), Side({2, 0, 0, 0}, {0, 0, 0, 0}, kNone, {2, -1, -1, -1}),
        Side({2, 0, 0, 0}, {2, 0, 0, 0}, {2, -1, -1, -1})},
       TTRVStatus::None, TTRVReason::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TTRVMissionOutcome outcome = JudgeMission(c.sides);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.reason, c.reason);
  }
}

TEST(Mission, TheOutcomeReachesTheEngineEveryFrameItHolds) {
  TTRVStatus status = TTRVStatus::None;
  TTRVReason reason = TTRVReason::None;
  TTRVCockpit cockpit;
  cockpit.status = &status;
  cockpit.reason = &reason;
  unittest::UnitWorld w(100, 2, true, true, cockpit);
  w.world->sides[0] = Side({1, 0, 0, 0}, {1, 0, 0, 0});
  w.world->sides[1] = Side({0, 0, 0, 1}, {0, 0, 0, 1}, {-1, -1, -1, 1});
  EXPECT_FALSE(CheckMission(*w.world));
  EXPECT_EQ(status, TTRVStatus::None);
  // The player's helicopter was lost this frame; the enemy turret falls in the same one.
  status = TTRVStatus::Failed;
  reason = TTRVReason::HeliDestroyed;
  w.world->sides[1].aliveCounts[3] = 0;
  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_TRUE(CheckMission(*w.world));
    EXPECT_EQ(status, TTRVStatus::Accomplished);
    EXPECT_EQ(reason, TTRVReason::EnemyBaseCaptured);
    status = TTRVStatus::None;  // the shell reads and clears it every tick
  }
}

}  // namespace

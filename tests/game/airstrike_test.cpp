// The air strike's wait: sixty seconds of frames, with or without time acceleration, one
// announcement, then rest until the next strike; and where a strike called now would land.
#include "game/airstrike.h"

#include <gtest/gtest.h>

#include "tests/units/recording_battlefield.h"
#include "tests/units/unit_fixture.h"
#include "units/entity.h"

namespace {

TEST(AirStrikeTimer, ReadyAfterSixtySecondsOfFramesAnnouncedOnce) {
  for (const bool accelerated : {false, true}) {
    SCOPED_TRACE(accelerated ? "time accelerated" : "normal time");
    bool timeAccel = accelerated;
    TTRVCockpit cockpit;
    cockpit.timeAccel = &timeAccel;
    unittest::UnitWorld w(100, 2, true, true, cockpit);
    unittest::RecordingBattlefield field;
    w.world->airStrikeTimer = 60;
    // The engine hands the world three times the frame time while time is accelerated.
    const float frame = 1.0f / 30, dt = accelerated ? 3 * frame : frame;
    int frames = 0;
    while (field.Count("AirStrikeReady") == 0 && frames < 10000) {
      StepAirStrikeTimer(*w.world, dt, field);
      ++frames;
    }
    EXPECT_NEAR(frames * frame, 60.0f, 0.1f) << "sixty seconds of frames either way";
    EXPECT_EQ(w.world->airStrikeTimer, kAirStrikeResting);
    for (int i = 0; i < 100; ++i) StepAirStrikeTimer(*w.world, dt, field);
    EXPECT_EQ(field.Count("AirStrikeReady"), 1);
  }
}

TEST(AirStrikePoint, OnTheEnemyUnderTheCrossHairElseUnderTheCursor) {
  unittest::UnitWorld w;
  TTRVEntity& player = w.Add(utTank, {10, 2, 10}, true, 0);
  TTRVEntity& friendly = w.Add(utTank, {20, 2, 20}, false, 0);
  TTRVEntity& enemy = w.Add(utTank, {30, 2, 30}, false, 1);
  const TAffineVector cursor(40, 2, 12);
  player.controls.aimPoint = TVector(14, 2, 10, 1);  // the unit's own aim, cut short: never the strike's
  struct Case {
    const char* name;
    TTRVEntity* target;
    TAffineVector expected;
  };
  for (const Case& c : {Case{"nothing under the cross-hair", nullptr, cursor},
                        Case{"a friend under it", &friendly, cursor},
                        Case{"an enemy under it", &enemy, enemy.AbsoluteAffinePosition()}}) {
    SCOPED_TRACE(c.name);
    player.target = c.target;
    EXPECT_EQ(AirStrikePoint(player, cursor), c.expected);
  }
}

}  // namespace

// The air strike's wait: sixty seconds of frames, with or without time acceleration, one
// announcement, then rest until the next strike.
#include "game/airstrike.h"

#include <gtest/gtest.h>

#include "tests/units/recording_battlefield.h"
#include "tests/units/unit_fixture.h"

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

}  // namespace

// The wall clock: monotonic, in seconds, and sleeping really waits.
#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, SecondsAdvanceMonotonicallyAndSleepWaitsAtLeastItsTime) {
  const double before = platform::NowSeconds();
  platform::Stopwatch watch;
  platform::SleepMs(20);
  const double elapsed = watch.ElapsedSeconds();
  EXPECT_GE(elapsed, 0.018) << "milliseconds, not seconds or ticks";
  EXPECT_LT(elapsed, 20.0);
  EXPECT_GE(platform::NowSeconds() - before, elapsed);
  watch.Restart();
  EXPECT_LT(watch.ElapsedSeconds(), elapsed);
  platform::SleepMs(0);
  platform::SleepMs(-5);  // returns at once rather than sleeping for ever
}

}  // namespace

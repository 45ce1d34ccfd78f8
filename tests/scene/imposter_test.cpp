// Which picture an imposter shows for a given viewing direction.
#include <gtest/gtest.h>

#include "scene/imposter.h"

TEST(ImposterBuilder, ChoosesTheNearestCoronaAndAzimuthSample) {
  TGLStaticImposterBuilder builder;  // default corona: 16 samples at the horizon
  builder.Coronas.push_back({16, 15});
  builder.Coronas.push_back({8, 30});
  struct Case {
    TAffineVector toViewer;
    int corona, sample;
  } cases[] = {
      {{0, 0, 1}, 0, 0},          // from the front
      {{1, 0, 0}, 0, 4},          // a quarter round: 90 degrees of 16 samples
      {{0, 0, -1}, 0, 8},         // from behind
      {{-1, 0, 0}, 0, 12},
      {{0.2f, 0, 1}, 0, 1},       // 11.3 degrees rounds to the nearest sample
      {{0, 0.25f, 1}, 1, 0},      // 14 degrees up
      {{0, 1, 1}, 2, 0},          // 45 degrees up: the highest corona
      {{1, 1, 0}, 2, 2},          // its 8 samples: 90 degrees is the third
      {{0, -1, 1}, 0, 0},         // from below: the lowest corona
  };
  for (const auto& c : cases) {
    int corona = -1, sample = -1;
    builder.ChooseSample(c.toViewer, corona, sample);
    EXPECT_EQ(corona, c.corona) << c.toViewer.x << " " << c.toViewer.y << " " << c.toViewer.z;
    EXPECT_EQ(sample, c.sample) << c.toViewer.x << " " << c.toViewer.y << " " << c.toViewer.z;
  }
}

// The creation dialog's view of the generator: texts in both languages, the bars, the
// campaign's time estimate, and the repaint throttle under a test clock.
#include <gtest/gtest.h>

#include "generator/progress.h"

namespace {

struct Clock {
  double days = 45000;
  void Advance(double seconds) { days += seconds / 86400.0; }
};

TTRVGenProgress WithClock(Clock& clock, int* repaints = nullptr) {
  TTRVGenProgress p;
  p.clock = [&clock] { return clock.days; };
  p.repaint = [repaints](const TTRVProgressView&) {
    if (repaints) ++*repaints;
  };
  return p;
}

TEST(GenProgress, SingleWorldShowsTheTaskInTheChosenLanguage) {
  Clock clock;
  for (const auto& [language, title, caption, task] :
       {std::tuple{TTRVLanguage::English, "Create new world", "World name:", "Calculating rivers 40%"},
        {TTRVLanguage::Czech, "Vytvoř nový ostrov", "Název ostrova:", "Vytvářím řeky 40%"}}) {
    TTRVGenProgress p = WithClock(clock);
    p.language = language;
    p.Report(TextId::GenRivers, 500, "40%");
    EXPECT_FALSE(p.View().campaign);
    EXPECT_EQ(p.View().title, title);
    EXPECT_EQ(p.View().nameCaption, caption);
    EXPECT_EQ(p.View().task, task);
    EXPECT_EQ(p.View().taskBarWidth, 344);
    EXPECT_EQ(p.View().campaignBarWidth, 0);
  }
}

TEST(GenProgress, CampaignEstimatesTheTimeLeftFromItsBar) {
  EXPECT_EQ(CampaignMinutesLeft(0.01, 344), 14);
  EXPECT_EQ(CampaignMinutesLeft(0.01, 688), 0);

  Clock clock;
  TTRVGenProgress p = WithClock(clock);
  p.campaignName = "Archipelago";
  p.worldLabel = "World 2 of 2";
  p.worldCount = 2;
  p.progressBase = 500;
  p.startTime = clock.days;
  // Too early for an estimate.
  p.Report(TextId::GenRoads, 0);
  EXPECT_TRUE(p.View().campaign);
  EXPECT_EQ(p.View().worldInfo, "World 2 of 2  (estimating time remaining...)");
  EXPECT_EQ(p.View().campaignBarWidth, 344);  // half the campaign done
  EXPECT_EQ(p.View().title, "Create new campaign");
  EXPECT_EQ(p.View().nameLabel, "Archipelago");
  // 0.01 days in with the bar at 344 pixels: 14 minutes to go.
  clock.days = p.startTime + 0.01;
  p.Report(TextId::GenRoads, 1000);
  EXPECT_EQ(p.View().worldInfo, "World 2 of 2  (estimated time remaining: 14 min.)");
  EXPECT_EQ(p.View().campaignBarWidth, 688);

  p.language = TTRVLanguage::Czech;
  p.Report(TextId::GenRoads, 1000);
  EXPECT_EQ(p.View().worldInfo, "World 2 of 2  (odhadovaný čas dokončení: 0 min.)");
  EXPECT_EQ(p.View().nameCaption, "Kampaň:");
}

TEST(GenProgress, RepaintsAtMostOncePer50Milliseconds) {
  const struct {
    double secondsApart;
    int calls, repaints;
  } cases[] = {
      {0.001, 1000, 20},  // a second of calls: the first, then one per 50 ms
      {0.06, 10, 10},     // slower than the throttle: every call repaints
      {0.0, 500, 1},      // all at once: only the first
  };
  for (const auto& c : cases) {
    Clock clock;
    int repaints = 0;
    TTRVGenProgress p = WithClock(clock, &repaints);
    for (int i = 0; i < c.calls; ++i) {
      p.Report(TextId::GenGrass, i % 1000);
      clock.Advance(c.secondsApart);
    }
    EXPECT_NEAR(repaints, c.repaints, 1) << c.secondsApart;
    EXPECT_EQ(p.Calls(), c.calls);
    // The view is current even when the repaint was skipped.
    EXPECT_EQ(p.View().progress, (c.calls - 1) % 1000);
  }
}

}  // namespace

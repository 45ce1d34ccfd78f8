// The creation dialog's view of the generator's progress, and its repaint throttle.
#include "generator/progress.h"

#include <chrono>
#include <cmath>

double NowAsDays() {
  // The Unix epoch is day 25569 of the game's calendar.
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return 25569.0 + std::chrono::duration<double>(since).count() / 86400.0;
}

int CampaignMinutesLeft(double elapsedDays, int barWidth) {
  if (barWidth <= 0) return 0;
  return static_cast<int>(std::trunc((elapsedDays / barWidth * kProgressBarWidth - elapsedDays) * 1440.0));
}

void TTRVGenProgress::Report(TextId task, int progress, const std::string& suffix) {
  const double now = Now();
  ++calls_;
  view_.campaign = !worldLabel.empty();
  if (view_.campaign) {
    const double elapsed = now - startTime;
    if (elapsed < kEstimateAfterDays || view_.campaignBarWidth == 0)
      view_.worldInfo = worldLabel + TextString(TextId::GenEstimating, language);
    else
      view_.worldInfo = worldLabel + TextString(TextId::GenEstimatedTime, language) +
                        std::to_string(CampaignMinutesLeft(elapsed, view_.campaignBarWidth)) + " min.)";
    const int worlds = worldCount > 0 ? worldCount : 1;
    view_.campaignBarWidth = static_cast<int>(std::trunc(progressBase / 1000.0 * kProgressBarWidth +
                                                         progress / 1000.0 * kProgressBarWidth / worlds));
    view_.title = TextString(TextId::GenCreateCampaignTitle, language);
    view_.nameCaption = TextString(TextId::GenCampaignCaption, language);
    view_.nameLabel = campaignName;
  } else {
    view_.worldInfo.clear();
    view_.campaignBarWidth = 0;
    view_.title = TextString(TextId::GenCreateWorldTitle, language);
    view_.nameCaption = TextString(TextId::GenWorldNameCaption, language);
    view_.nameLabel.clear();
  }
  view_.task = TextString(task, language) + suffix;
  view_.progress = progress;
  view_.taskBarWidth = static_cast<int>(std::trunc(progress / 1000.0 * kProgressBarWidth));

  if (calls_ > 1 && now - lastRepaint_ < kRepaintIntervalDays) return;
  lastRepaint_ = now;
  ++repaints_;
  if (repaint) repaint(view_);
}

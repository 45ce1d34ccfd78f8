// The creation dialog's view of the generator's progress, and its repaint throttle.
#include "generator/progress.h"

#include <chrono>
#include <cmath>
#include <ctime>

double NowAsDays() {
  // The player's own clock, as the lists show it: the Unix epoch is day 25569 of the game's
  // calendar, and the local offset from UTC is added.
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  const long offset = localtime_r(&t, &local) ? local.tm_gmtoff : 0;
  const double seconds = std::chrono::duration<double>(now.time_since_epoch()).count() + static_cast<double>(offset);
  return 25569.0 + seconds / 86400.0;
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

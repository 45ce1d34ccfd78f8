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

void TTRVGenProgress::Report(std::string_view english, std::string_view czechText, int progress) {
  const double now = Now();
  ++calls_;
  view_.campaign = !worldLabel.empty();
  if (view_.campaign) {
    const double elapsed = now - startTime;
    if (elapsed < kEstimateAfterDays || view_.campaignBarWidth == 0)
      view_.worldInfo = worldLabel + (czech ? "  (odhaduji zbývající čas...)" : "  (estimating time remaining...)");
    else
      view_.worldInfo = worldLabel + (czech ? "  (odhadovaný čas dokončení: " : "  (estimated time remaining: ") +
                        std::to_string(CampaignMinutesLeft(elapsed, view_.campaignBarWidth)) + " min.)";
    const int worlds = worldCount > 0 ? worldCount : 1;
    view_.campaignBarWidth = static_cast<int>(std::trunc(progressBase / 1000.0 * kProgressBarWidth +
                                                         progress / 1000.0 * kProgressBarWidth / worlds));
    view_.title = czech ? "Vytvoř novou kampaň" : "Create new campaign";
    view_.nameCaption = czech ? "Kampaň:" : "Campaign:";
    view_.nameLabel = campaignName;
  } else {
    view_.worldInfo.clear();
    view_.campaignBarWidth = 0;
    view_.title = czech ? "Vytvoř nový ostrov" : "Create new world";
    view_.nameCaption = czech ? "Název ostrova:" : "World name:";
    view_.nameLabel.clear();
  }
  view_.task = czech ? czechText : english;
  view_.progress = progress;
  view_.taskBarWidth = static_cast<int>(std::trunc(progress / 1000.0 * kProgressBarWidth));

  if (calls_ > 1 && now - lastRepaint_ < kRepaintIntervalDays) return;
  lastRepaint_ = now;
  ++repaints_;
  if (repaint) repaint(view_);
}

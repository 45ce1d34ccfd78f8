// What the creation dialog shows while an island is generated: the task text in the chosen
// language, the task bar, and during a campaign the campaign bar with an estimate of the time
// left. A world makes thousands of progress calls, so the repaint callback is called at most
// once per 50 ms; the view itself is kept current on every call. Draws nothing itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/textids.h"

// Days since 1899-12-30 in local time, the game's date-time, from the system clock.
double NowAsDays();

struct TTRVProgressView {
  bool campaign = false;
  std::string title;            // "Create new world" / "Create new campaign"
  std::string nameCaption;      // "World name:" / "Campaign:"
  std::string nameLabel;        // the campaign's name; the dialog keeps the world's own
  std::string worldInfo;        // campaign only: the world's label and the time estimate
  int campaignBarWidth = 0;     // pixels of kProgressBarWidth
  std::string task;
  int taskBarWidth = 0;         // pixels of kProgressBarWidth
  int progress = 0;             // 0..1000 within this world
};

inline constexpr int kProgressBarWidth = 688;
inline constexpr double kRepaintIntervalDays = 0.05 / 86400.0;
// Below this much elapsed time (about 17 s) a campaign shows no estimate yet.
inline constexpr double kEstimateAfterDays = 0.0002;

class TTRVGenProgress {
 public:
  TTRVLanguage language = TTRVLanguage::English;
  // Repaints the dialog with the view; may be empty (tests, benchmarks).
  std::function<void(const TTRVProgressView&)> repaint;
  // Days since 1899-12-30; empty means the system clock. Tests give a clock of their own.
  std::function<double()> clock;

  // Set by a campaign before each of its worlds; worldLabel empty means a single world.
  std::string campaignName;
  std::string worldLabel;
  int progressBase = 0;  // per mille of the campaign done before this world
  int worldCount = 1;
  double startTime = 0;  // days, when the campaign generation began

  // One progress step: the task's text in the language, then `suffix` (a count or a
  // percentage); progress is 0..1000 within this world.
  void Report(TextId task, int progress, const std::string& suffix = {});

  double Now() const { return clock ? clock() : NowAsDays(); }
  const TTRVProgressView& View() const { return view_; }
  int Calls() const { return calls_; }
  int Repaints() const { return repaints_; }

 private:
  TTRVProgressView view_;
  int calls_ = 0;
  int repaints_ = 0;
  double lastRepaint_ = 0;
};

// The campaign's estimate in whole minutes from the elapsed days and the campaign bar's
// current width: the bar's share of kProgressBarWidth extrapolated to the full width.
int CampaignMinutesLeft(double elapsedDays, int barWidth);

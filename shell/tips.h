// The loading tips: one per line in data/Tips<language>.txt (Windows-1250), rotating every
// 12.96 seconds of wall time when asked for.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TTRVTips {
 public:
  static constexpr double kTipSeconds = 0.00015 * 86400;  // 0.00015 day

  // `clock` answers seconds; `randomIndex(n)` a uniform index below n.
  TTRVTips(std::function<double()> clock, std::function<int(int)> randomIndex)
      : clock_(std::move(clock)), random_(std::move(randomIndex)) {}

  // Reads data/Tips<language>.txt under the folder; a missing file leaves one line saying so.
  void LoadTips(const std::filesystem::path& programFolder, const std::string& language);
  // LoadTips on the file's lines already read (UTF-8): blank lines are skipped, a line longer
  // than 4096 bytes is cut at a character boundary.
  void UseTipLines(std::vector<std::string> lines, const std::string& language);
  // "" without tips; otherwise the current tip, moving on once its time is up.
  std::string CurrentTip();
  // The tips dialog's "Next": the next call moves on at once.
  void ForceNext() { tipTime_ = -1e18; }
  const std::vector<std::string>& Tips() const { return tips_; }

 private:
  std::function<double()> clock_;
  std::function<int(int)> random_;
  std::vector<std::string> tips_;
  std::size_t tipIndex_ = 0;
  double tipTime_ = 0;
};

// Tip list loading and rotation.
#include "shell/tips.h"

#include <fstream>
#include <sstream>

#include "platform/cp1250.h"

void TTRVTips::LoadTips(const std::filesystem::path& programFolder, const std::string& language) {
  tips_.clear();
  std::ifstream in(programFolder / "data" / ("Tips" + language + ".txt"), std::ios::binary);
  std::string line;
  while (in && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 4096) line.resize(4096);  // a tip is one short line
    if (!line.empty()) tips_.push_back(platform::Cp1250ToUtf8(line));
  }
  if (tips_.empty())
    tips_.push_back(language == "CZE" ? "Žádné tipy nejsou k dispozici." : "No tips available.");
  tipTime_ = clock_();
  tipIndex_ = static_cast<std::size_t>(random_(static_cast<int>(tips_.size())));
  if (tipIndex_ >= tips_.size()) tipIndex_ = 0;
}

std::string TTRVTips::CurrentTip() {
  if (tips_.empty()) return "";
  double now = clock_();
  if (now > tipTime_ + kTipSeconds) {
    tipTime_ = now;
    tipIndex_ = (tipIndex_ + 1) % tips_.size();
  }
  return tips_[tipIndex_];
}

// Tip list loading and rotation.
#include "shell/tips.h"

#include <utility>

#include "config/textids.h"
#include "platform/programfiles.h"
#include "shell/texts.h"

void TTRVTips::LoadTips(const std::filesystem::path& programFolder, const std::string& language) {
  UseTipLines(ReadTextLines(platform::ProgramFiles(programFolder).DataFile("Tips" + language + ".txt")), language);
}

void TTRVTips::UseTipLines(std::vector<std::string> lines, const std::string& language) {
  tips_.clear();
  for (std::string& line : lines) {
    if (line.empty()) continue;
    // A tip is one short line; cut a runaway one at a character boundary.
    if (line.size() > 4096) {
      std::size_t cut = 4096;
      while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
      line.resize(cut);
    }
    tips_.push_back(std::move(line));
  }
  if (tips_.empty()) tips_.push_back(TextString(TextId::NoTips, LanguageOf(language)));
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

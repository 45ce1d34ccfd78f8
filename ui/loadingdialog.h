// The loading dialog: what is being done, a progress bar and a tip, repainted by the world
// loader and the generators after every step while the main thread is busy.
#pragma once

#include <string>

#include "ui/dialog.h"

namespace ui {

class TFormLoading : public TDialogForm {
 public:
  // The bar's width at 100 percent.
  static constexpr int kBarWidth = 664;

  explicit TFormLoading(platform::FontCache& fonts);

  // Percent outside 0..100 (or not a number) is held to the nearest end, so the bar never
  // leaves its track.
  void SetProgress(const std::string& info, double percent, const std::string& tip);
  static int BarWidthFor(double percent);

  platform::widgets::TLabel& LabelInfo() { return *labelInfo_; }
  platform::widgets::TPanel& PanelBar() { return *panelBar_; }
  platform::widgets::TPanel& PanelProgress() { return *panelProgress_; }
  platform::widgets::TLabel& LabelTip() { return *labelTip_; }

 private:
  platform::widgets::TLabel* labelInfo_;
  platform::widgets::TPanel* panelBar_;
  platform::widgets::TPanel* panelProgress_;
  platform::widgets::TLabel* labelTip_;
};

}  // namespace ui

// The credits dialog: who made the game, and OK back to the main menu.
#pragma once

#include "ui/textpageform.h"

namespace ui {

class TFormCredits : public TTextPageForm {
 public:
  static constexpr int kLines = 7;
  explicit TFormCredits(platform::FontCache& fonts);
  platform::widgets::TPanel& PanelOK() { return *ok_; }

 private:
  platform::widgets::TPanel* ok_;
};

}  // namespace ui

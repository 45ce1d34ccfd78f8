// The tips dialog: one loading tip at a time, Next for another one, and Cancel back to the
// main menu. The screen-symbol help button waits for its dialog.
#pragma once

#include <string>

#include "ui/textpageform.h"

namespace ui {

class TFormTips : public TTextPageForm {
 public:
  explicit TFormTips(platform::FontCache& fonts);

  void SetTip(const std::string& tip);
  void OfferHelp(bool offered) { SetShown(*help_, offered); }

  platform::widgets::TLabel& LabelTip() { return *tip_; }
  platform::widgets::TPanel& PanelNext() { return *next_; }
  platform::widgets::TPanel& PanelHUDhelp() { return *help_; }
  platform::widgets::TPanel& PanelCancel() { return *cancel_; }

 private:
  platform::widgets::TLabel* tip_;
  platform::widgets::TPanel *next_, *help_, *cancel_;
};

}  // namespace ui

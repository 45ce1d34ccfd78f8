// The two questions asked before a skirmish and before a campaign: which world or campaign
// to play, from those there are or a new one. Each button is shown only when there is
// something behind it (a world or campaign file to choose, an automatic save to continue,
// and the dialog it leads to in this build); Cancel always returns to the main menu.
#pragma once

#include "ui/questionform.h"

namespace ui {

class TFormSkirmishDecide : public TQuestionForm {
 public:
  explicit TFormSkirmishDecide(platform::FontCache& fonts);
  // `loadWorld`: a world the list would show exists (map images alone are no world).
  void Arrange(bool loadWorld, bool createWorld);

  platform::widgets::TPanel& PanelLoadWorld() { return *load_; }
  platform::widgets::TPanel& PanelCreateWorld() { return *create_; }
  platform::widgets::TPanel& PanelCancel() { return *cancel_; }

 private:
  platform::widgets::TPanel *load_, *create_, *cancel_;
};

class TFormCampDecide : public TQuestionForm {
 public:
  explicit TFormCampDecide(platform::FontCache& fonts);
  void Arrange(bool continueCampaign, bool startCampaign, bool createCampaign);

  platform::widgets::TPanel& PanelContinue() { return *continue_; }
  platform::widgets::TPanel& PanelStart() { return *start_; }
  platform::widgets::TPanel& PanelCreate() { return *create_; }
  platform::widgets::TPanel& PanelCancel() { return *cancel_; }

 private:
  platform::widgets::TPanel *continue_, *start_, *create_, *cancel_;
};

}  // namespace ui

// The main menu: the game's title over a column of buttons. On the very first run it offers
// only the choice of language; afterwards the tutorial, tips, credits and exit, with the
// campaign and skirmish once the tutorial has come far enough. Buttons whose dialogs the
// game does not have stay hidden.
#pragma once

#include <vector>

#include "ui/menuform.h"

namespace ui {

struct TMainMenuState {
  bool languageChosen = false;
  int tutorialProgress = 0;
  // Whether the dialogs behind these buttons exist in this build.
  bool campaignOffered = true;
  bool skirmishOffered = true;
  bool loadGameOffered = false;
  bool optionsOffered = false;
};

// Campaign and skirmish open at this tutorial progress (after lesson 8 was played).
inline constexpr int kProgressOpeningGames = 9;

class TFormMainMenu : public TMenuForm {
 public:
  explicit TFormMainMenu(platform::FontCache& fonts);

  // Chooses the visible buttons and stacks them, the title above them, in the middle of the
  // dialog.
  void Arrange(const TMainMenuState& state);

  platform::widgets::TPanel& PanelCampaign() { return *campaign_; }
  platform::widgets::TPanel& PanelSkirmish() { return *skirmish_; }
  platform::widgets::TPanel& PanelTutorial() { return *tutorial_; }
  platform::widgets::TPanel& PanelLoadGame() { return *loadGame_; }
  platform::widgets::TPanel& PanelOptions() { return *options_; }
  platform::widgets::TPanel& PanelTips() { return *tips_; }
  platform::widgets::TPanel& PanelCredits() { return *credits_; }
  platform::widgets::TPanel& PanelCzech() { return *czech_; }
  platform::widgets::TPanel& PanelEnglish() { return *english_; }
  platform::widgets::TPanel& PanelExit() { return *exit_; }

 private:
  platform::widgets::TPanel *campaign_, *skirmish_, *tutorial_, *loadGame_, *options_, *tips_, *credits_;
  platform::widgets::TPanel *czech_, *english_, *exit_;
};

}  // namespace ui

// The in-game menu shown while a game is paused: back to the game, out to the main menu,
// and the save, load, options, statistics and help buttons once their dialogs exist.
// Escape is the same as Continue.
#pragma once

#include "ui/menuform.h"

namespace ui {

// Which of the later dialogs this build has.
struct TGameMenuOffers {
  bool save = false;
  bool load = false;
  bool options = false;
  bool objectives = false;
  bool help = false;
};

class TFormGameMenu : public TMenuForm {
 public:
  explicit TFormGameMenu(platform::FontCache& fonts);

  TGameMenuOffers Offers;
  // Saving is refused while a mission's end is being shown; the tick says which.
  void SetSaveAllowed(bool allowed);
  // Shows the buttons that are offered and stacks them.
  void Arrange();

  platform::widgets::TPanel& PanelContinue() { return *continue_; }
  platform::widgets::TPanel& PanelExit() { return *exit_; }
  platform::widgets::TPanel& PanelSave() { return *save_; }
  platform::widgets::TPanel& PanelLoad() { return *load_; }
  platform::widgets::TPanel& PanelOptions() { return *options_; }
  platform::widgets::TPanel& PanelObjectives() { return *objectives_; }
  platform::widgets::TPanel& PanelHelp() { return *help_; }

 private:
  platform::widgets::TPanel *continue_, *objectives_, *save_, *load_, *options_, *help_, *exit_;
  bool saveAllowed_ = true;
};

}  // namespace ui

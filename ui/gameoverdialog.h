// The game-over dialog: the mission's result, its reason, and the buttons the main
// window's game-over step chooses among (main menu, load game, continue).
#pragma once

#include <string>

#include "ui/dialog.h"

namespace ui {

class TFormGameOver : public TDialogForm {
 public:
  explicit TFormGameOver(platform::FontCache& fonts);

  void SetTitle(const std::string& title);
  void SetReason(const std::string& reason);
  // Shows the chosen buttons side by side, centred, with their rounded rims.
  void ShowButtons(bool mainMenu, bool loadGame, bool continueGame);
  void SetContinueCaption(const std::string& caption);

  platform::widgets::TPanel& PanelTitle() { return *panelTitle_; }
  platform::widgets::TLabel& LabelReason() { return *labelReason_; }
  platform::widgets::TPanel& PanelMainMenu() { return *panelMainMenu_; }
  platform::widgets::TPanel& PanelLoad() { return *panelLoad_; }
  platform::widgets::TPanel& PanelContinue() { return *panelContinue_; }

 private:
  platform::widgets::TPanel* panelTitle_;
  platform::widgets::TLabel* labelReason_;
  platform::widgets::TPanel* panelMainMenu_;
  platform::widgets::TPanel* panelLoad_;
  platform::widgets::TPanel* panelContinue_;
};

}  // namespace ui

// Game menu layout.
#include "ui/gamemenu.h"

namespace ui {

namespace {
constexpr TMenuLayout kLayout{.formWidth = 300, .buttonWidth = 240, .buttonHeight = 32, .buttonGap = 14,
                              .topMargin = 14, .titleSize = 20, .titleGap = 18, .bottomMargin = 22};
}  // namespace

TFormGameMenu::TFormGameMenu(platform::FontCache& fonts)
    : TMenuForm("FormGameMenu", fonts, 0.75, 0.5, kLayout, "Game paused") {
  continue_ = AddMenuButton("PanelContinue", "Continue");
  objectives_ = AddMenuButton("PanelObjectives", "Statistics / Objectives");
  save_ = AddMenuButton("PanelSave", "Save");
  load_ = AddMenuButton("PanelLoad", "Load");
  options_ = AddMenuButton("PanelOptions", "Options");
  help_ = AddMenuButton("PanelHelp", "?");
  exit_ = AddMenuButton("PanelExit", "Exit to main menu");
  PressOnEscape(*continue_);
  Arrange();
}

void TFormGameMenu::SetSaveAllowed(bool allowed) {
  if (allowed == saveAllowed_) return;
  saveAllowed_ = allowed;
  Arrange();
}

void TFormGameMenu::Arrange() {
  const TButtonChoice column[] = {
      {continue_, true},         {objectives_, Offers.objectives}, {save_, Offers.save && saveAllowed_},
      {load_, Offers.load},      {options_, Offers.options},       {help_, Offers.help},
      {exit_, true},
  };
  Stack(column);
}

}  // namespace ui

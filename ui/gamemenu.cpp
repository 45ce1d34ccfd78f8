// Game menu layout.
#include "ui/gamemenu.h"

namespace ui {

using platform::widgets::TPanel;

namespace {
constexpr int kFormWidth = 300;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kBottomMargin = 22;
constexpr int kButtonWidth = 240;
constexpr int kButtonHeight = 32;
constexpr int kButtonPitch = kButtonHeight + 14;
constexpr int kTitleTop = 14;
constexpr int kTitleSize = 20;
constexpr int kFirstButton = 64;
}  // namespace

TFormGameMenu::TFormGameMenu(platform::FontCache& fonts) : TDialogForm("FormGameMenu", fonts, 0.75, 0.5) {
  SetBounds(0, 0, kFormWidth, 200);
  body_ = AddBody();
  AddTitle(*body_, "Game paused", kTitleTop, kTitleSize);
  const int left = (kBodyWidth - kButtonWidth) / 2;
  const auto button = [&](const char* name, const char* caption) {
    return AddButton(*body_, name, caption, left, 0, kButtonWidth, kButtonHeight);
  };
  continue_ = button("PanelContinue", "Continue");
  objectives_ = button("PanelObjectives", "Statistics / Objectives");
  save_ = button("PanelSave", "Save");
  load_ = button("PanelLoad", "Load");
  options_ = button("PanelOptions", "Options");
  help_ = button("PanelHelp", "?");
  exit_ = button("PanelExit", "Exit to main menu");
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
  // The dialog is as tall as its buttons need.
  const int bottom = StackButtons(column, kFirstButton, kButtonPitch);
  ResizeForm(*body_, bottom + kBottomMargin + 2 * kRimSize);
}

}  // namespace ui

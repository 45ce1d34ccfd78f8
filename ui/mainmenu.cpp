// Main menu layout and the choice of its buttons.
#include "ui/mainmenu.h"

namespace ui {

using platform::widgets::TPanel;

namespace {
constexpr TMenuLayout kLayout{.formWidth = 400, .buttonWidth = 300, .buttonHeight = 34, .buttonGap = 14,
                              .topMargin = 24, .titleSize = 24, .titleGap = 26, .bottomMargin = 24};
}  // namespace

TFormMainMenu::TFormMainMenu(platform::FontCache& fonts)
    : TMenuForm("FormMainMenu", fonts, 0.5, 0.5, kLayout, "Morvane Field Command") {
  const auto button = [&](const char* name, const char* caption) {
    TPanel* p = AddMenuButton(name, caption);
    p->ShowHint = true;
    return p;
  };
  campaign_ = button("PanelCampaign", "Campaign");
  skirmish_ = button("PanelSkirmish", "Skirmish");
  tutorial_ = button("PanelTutorial", "Tutorial");
  loadGame_ = button("PanelLoadGame", "Load Game");
  options_ = button("PanelOptions", "Options");
  tips_ = button("PanelTips", "Tips");
  credits_ = button("PanelCredits", "Credits");
  czech_ = button("PanelCzech", "Česky");
  english_ = button("PanelEnglish", "English");
  exit_ = button("PanelExit", "Exit");
  czech_->ShowHint = false;
  english_->ShowHint = false;
  Arrange(TMainMenuState{});
}

void TFormMainMenu::Arrange(const TMainMenuState& state) {
  const bool chosen = state.languageChosen;
  const bool games = chosen && state.tutorialProgress >= kProgressOpeningGames;
  const TButtonChoice column[] = {
      {czech_, !chosen},
      {english_, !chosen},
      {campaign_, games && state.campaignOffered},
      {skirmish_, games && state.skirmishOffered},
      {tutorial_, chosen},
      {loadGame_, chosen && state.loadGameOffered},
      {options_, chosen && state.optionsOffered},
      {tips_, chosen},
      {credits_, chosen},
      {exit_, chosen},
  };
  // The dialog is as tall as what it shows, so the first-run choice is a small box.
  Stack(column, chosen);
}

}  // namespace ui

// Main menu layout and the choice of its buttons.
#include "ui/mainmenu.h"

namespace ui {

using platform::widgets::TLabel;
using platform::widgets::TPanel;

namespace {
constexpr int kFormWidth = 400;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kMargin = 24;
constexpr int kButtonWidth = 300;
constexpr int kButtonHeight = 34;
constexpr int kButtonPitch = kButtonHeight + 14;  // 4 pixels between the rims
constexpr int kTitleSize = 24;
constexpr int kTitleHeight = kTitleSize + 12;
constexpr int kTitleGap = 26;
}  // namespace

TFormMainMenu::TFormMainMenu(platform::FontCache& fonts) : TDialogForm("FormMainMenu", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kFormWidth, 200);
  body_ = AddBody();
  AddTitle(*body_, "Morvane Field Command", 16, kTitleSize);
  shadow_ = static_cast<TLabel*>(body_->FindChild("Label1"));
  title_ = static_cast<TLabel*>(body_->FindChild("Label2"));
  const int left = (kBodyWidth - kButtonWidth) / 2;
  const auto button = [&](const char* name, const char* caption) {
    TPanel* p = AddButton(*body_, name, caption, left, 0, kButtonWidth, kButtonHeight);
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
  const int titleHeight = chosen ? kTitleHeight + kTitleGap : 0;
  int top = kMargin;
  shadow_->SetVisible(chosen);
  title_->SetVisible(chosen);
  if (chosen) {
    title_->SetTop(top);
    shadow_->SetTop(top + 2);
    top += titleHeight;
  }
  const int bottom = StackButtons(column, top, kButtonPitch);
  ResizeForm(*body_, bottom + kMargin + 2 * kRimSize);
}

}  // namespace ui

// Game-over dialog layout and the setters of the game-over step.
#include "ui/gameoverdialog.h"

#include "ui/decoration.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TBevel;
using platform::widgets::TFont;
using platform::widgets::TPanel;

namespace {
constexpr int kFormWidth = 560;
constexpr int kFormHeight = 160;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kButtonWidth = 160;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 24;  // between panels, so 14 pixels between the rims
constexpr int kButtonTop = 104;
}  // namespace

TFormGameOver::TFormGameOver(platform::FontCache& fonts) : TDialogForm("FormGameOver", fonts, 0.5, 0.85) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  auto* body = AddBody();
  panelTitle_ = body->Add<TPanel>("PanelTitle");
  panelTitle_->SetBounds(20, 14, kBodyWidth - 40, 30);
  panelTitle_->SetColor(look::kInset);
  panelTitle_->SetBevel(TBevel::None);
  panelTitle_->SetFont(TFont{look::kTitleText, 16, true});
  panelTitle_->SetCaption("Mission failed !");
  MarkRounded(panelTitle_);
  labelReason_ = AddText(*body, "LabelReason", "", 20, 60, kBodyWidth - 40, 20,
                         TFont{look::kText, look::kTextSize + 1, false}, TAlignment::Center);
  panelMainMenu_ = AddButton(*body, "PanelMainMenu", "Go to Main Menu", 0, kButtonTop, kButtonWidth, kButtonHeight);
  panelLoad_ = AddButton(*body, "PanelLoad", "Load game", 0, kButtonTop, kButtonWidth, kButtonHeight);
  panelContinue_ = AddButton(*body, "PanelContinue", "Continue campaign", 0, kButtonTop, kButtonWidth, kButtonHeight);
  ShowButtons(true, true, false);
}

void TFormGameOver::SetTitle(const std::string& title) { panelTitle_->SetCaption(title); }

void TFormGameOver::SetReason(const std::string& reason) { labelReason_->SetCaption(reason); }

void TFormGameOver::SetContinueCaption(const std::string& caption) { panelContinue_->SetCaption(caption); }

void TFormGameOver::ShowButtons(bool mainMenu, bool loadGame, bool continueGame) {
  const TButtonChoice buttons[] = {{panelMainMenu_, mainMenu}, {panelLoad_, loadGame}, {panelContinue_, continueGame}};
  LineUpButtons(buttons, kBodyWidth, kButtonGap);
}

}  // namespace ui

// Skirmish and campaign choice layouts: a question over a row of buttons, centred.
#include "ui/decidedialogs.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;
using platform::widgets::TPanel;

namespace {
constexpr int kFormWidth = 640;
constexpr int kFormHeight = 150;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 16;
constexpr int kButtonTop = 84;

void AddQuestion(TPanel& body, const char* name, const char* text) {
  auto* label = body.Add<platform::widgets::TLabel>(name);
  label->SetAutoSize(false);
  label->SetWordWrap(true);
  label->SetBounds(20, 18, kBodyWidth - 40, 50);
  label->SetFont(TFont{look::kText, 15, true});
  label->SetAlignment(TAlignment::Center);
  label->SetCaption(text);
}

}  // namespace

TFormSkirmishDecide::TFormSkirmishDecide(platform::FontCache& fonts)
    : TDialogForm("FormSkirmishDecide", fonts, 0.5, 0.75) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  auto* body = AddBody();
  AddQuestion(*body, "Label1", "Do you want to play skirmish in existing world or create new one ?");
  load_ = AddButton(*body, "PanelLoadWorld", "Load world", 0, kButtonTop, kButtonWidth, kButtonHeight);
  create_ = AddButton(*body, "PanelCreateWorld", "Create world", 0, kButtonTop, kButtonWidth, kButtonHeight);
  cancel_ = AddButton(*body, "PanelCancel", "Cancel", 0, kButtonTop, kButtonWidth, kButtonHeight);
  PressOnEscape(*cancel_);
  Arrange(false, false);
}

void TFormSkirmishDecide::Arrange(bool loadWorld, bool createWorld) {
  const TButtonChoice row[] = {{load_, loadWorld}, {create_, createWorld}, {cancel_, true}};
  LineUpButtons(row, kBodyWidth, kButtonGap);
}

TFormCampDecide::TFormCampDecide(platform::FontCache& fonts) : TDialogForm("FormCampDecide", fonts, 0.5, 0.75) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  auto* body = AddBody();
  AddQuestion(*body, "Label1", "You can create, continue or start campaign.");
  continue_ = AddButton(*body, "PanelContinue", "Continue campaign", 0, kButtonTop, kButtonWidth, kButtonHeight);
  start_ = AddButton(*body, "PanelStart", "Start campaign", 0, kButtonTop, kButtonWidth, kButtonHeight);
  create_ = AddButton(*body, "PanelCreate", "Create campaign", 0, kButtonTop, kButtonWidth, kButtonHeight);
  cancel_ = AddButton(*body, "PanelCancel", "Cancel", 0, kButtonTop, kButtonWidth, kButtonHeight);
  PressOnEscape(*cancel_);
  Arrange(false, false, false);
}

void TFormCampDecide::Arrange(bool continueCampaign, bool startCampaign, bool createCampaign) {
  const TButtonChoice row[] = {
      {continue_, continueCampaign}, {start_, startCampaign}, {create_, createCampaign}, {cancel_, true}};
  LineUpButtons(row, kBodyWidth, kButtonGap);
}

}  // namespace ui

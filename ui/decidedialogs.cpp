// Skirmish and campaign choice layouts: a question over a row of buttons, centred.
#include "ui/decidedialogs.h"

namespace ui {

TFormSkirmishDecide::TFormSkirmishDecide(platform::FontCache& fonts)
    : TQuestionForm("FormSkirmishDecide", fonts, 0.5, 0.75,
                    "Do you want to play skirmish in existing world or create new one ?", 715, 256) {
  load_ = AddAnswer("PanelLoadWorld", "Load world");
  load_->ShowHint = true;
  load_->Hint = "Play a game in a world created before.";
  create_ = AddAnswer("PanelCreateWorld", "Create world");
  create_->ShowHint = true;
  create_->Hint = "Create a completely new world.";
  cancel_ = AddCancel("PanelCancel", "Cancel");
  Arrange(false, false);
}

void TFormSkirmishDecide::Arrange(bool loadWorld, bool createWorld) {
  const TButtonChoice row[] = {{load_, loadWorld}, {create_, createWorld}, {cancel_, true}};
  ShowAnswers(row);
}

TFormCampDecide::TFormCampDecide(platform::FontCache& fonts)
    : TQuestionForm("FormCampDecide", fonts, 0.5, 0.75, "You can create, continue or start campaign.") {
  continue_ = AddAnswer("PanelContinue", "Continue campaign");
  start_ = AddAnswer("PanelStart", "Start campaign");
  create_ = AddAnswer("PanelCreate", "Create campaign");
  cancel_ = AddCancel("PanelCancel", "Cancel");
  Arrange(false, false, false);
}

void TFormCampDecide::Arrange(bool continueCampaign, bool startCampaign, bool createCampaign) {
  const TButtonChoice row[] = {
      {continue_, continueCampaign}, {start_, startCampaign}, {create_, createCampaign}, {cancel_, true}};
  ShowAnswers(row);
}

}  // namespace ui

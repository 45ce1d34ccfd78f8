// The save details' rows and what each shows for a save summary.
#include "ui/loadgamedata.h"

#include <iterator>

#include "ui/datetext.h"
#include "world/filenames.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;
using platform::widgets::TLabel;

namespace {
constexpr int kFormWidth = 401;
constexpr int kFormHeight = 300;
constexpr int kRowsTop = 50;
constexpr int kRowPitch = 28;
constexpr int kCaptionWidth = 170;

std::string OrNone(const std::string& value, TTRVLanguage language) {
  return value.empty() ? TextString(TextId::NoValue, language) : value;
}
}  // namespace

TFormLoadGameData::TFormLoadGameData(platform::FontCache& fonts)
    : TDialogForm("FormLoadGameData", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  body_ = AddBody();
  AddTitle(*body_, "Game information", 10, look::kTitleSize);
  world_ = AddRow("Label3", "World:", "LabelWorld", 0);
  campaign_ = AddRow("Label4", "Campaign:", "LabelCampaign", 1);
  unitType_ = AddRow("Label5", "Player unit type:", "LabelUnitType", 2);
  gameType_ = AddRow("Label6", "Game type:", "LabelGameType", 3);
  sides_ = AddRow("Label7", "Number of fractions:", "LabelSides", 4);
  allies_ = AddRow("Label8", "Number of allies:", "LabelAllies", 5);
  enemies_ = AddRow("Label9", "Number of enemies:", "LabelEnemies", 6);
  saved_ = AddRow("Label10", "Game saved:", "LabelSaved", 7);
}

TLabel* TFormLoadGameData::AddRow(const char* captionName, const char* caption, const char* valueName, int row) {
  const int top = kRowsTop + row * kRowPitch;
  AddText(*body_, captionName, caption, 14, top, kCaptionWidth, 20, TFont{look::kDimText, look::kTextSize, true},
          TAlignment::Left);
  return AddText(*body_, valueName, "", 14 + kCaptionWidth, top, body_->Width() - kCaptionWidth - 24, 20,
                 TFont{look::kText, look::kTextSize, true}, TAlignment::Left);
}

void TFormLoadGameData::ShowSave(const TTRVExtractLoadGameData* save, const std::string& gameType,
                                 TTRVLanguage language) {
  const std::string none = TextString(TextId::NoValue, language);
  for (TLabel* label : {world_, campaign_, unitType_, gameType_, sides_, allies_, enemies_, saved_})
    label->SetCaption(none);
  if (save == nullptr || !save->valid) return;
  saved_->SetCaption(OrNone(DateTimeText(save->savedAt), language));
  if (save->campaignSave) {
    // Between a campaign's games there is no world yet: only whose campaign and when.
    campaign_->SetCaption(OrNone(save->campaignName, language));
    return;
  }
  world_->SetCaption(OrNone(save->worldName, language));
  if (NamesCampaign(save->campaignName)) campaign_->SetCaption(save->campaignName);
  constexpr TextId kUnitNames[] = {TextId::UnitHelicopter, TextId::UnitTank, TextId::UnitBoat};
  if (save->playerUnitType < std::size(kUnitNames)) unitType_->SetCaption(TextString(kUnitNames[save->playerUnitType], language));
  gameType_->SetCaption(OrNone(gameType, language));
  sides_->SetCaption(std::to_string(save->sideCount));
  allies_->SetCaption(std::to_string(save->allies));
  enemies_->SetCaption(std::to_string(save->enemies));
}

}  // namespace ui

// The details beside the list of saves: the highlighted save's world, campaign, unit type,
// game type, sides, allies, enemies and when it was saved; "- - -" for whatever is not
// known (nothing highlighted, "Create new", an unreadable file, a campaign between games).
#pragma once

#include <string>

#include "config/textids.h"
#include "game/savegame.h"
#include "ui/dialog.h"

namespace ui {

class TFormLoadGameData : public TDialogForm {
 public:
  explicit TFormLoadGameData(platform::FontCache& fonts);

  // `save` null: nothing highlighted. `gameType` is the game type's name in the player's
  // language ("" when the save names none).
  void ShowSave(const TTRVExtractLoadGameData* save, const std::string& gameType, TTRVLanguage language);

  platform::widgets::TLabel& LabelWorld() { return *world_; }
  platform::widgets::TLabel& LabelCampaign() { return *campaign_; }
  platform::widgets::TLabel& LabelUnitType() { return *unitType_; }
  platform::widgets::TLabel& LabelGameType() { return *gameType_; }
  platform::widgets::TLabel& LabelSides() { return *sides_; }
  platform::widgets::TLabel& LabelAllies() { return *allies_; }
  platform::widgets::TLabel& LabelEnemies() { return *enemies_; }
  platform::widgets::TLabel& LabelSaved() { return *saved_; }

 private:
  platform::widgets::TLabel* AddRow(const char* captionName, const char* caption, const char* valueName, int row);

  platform::widgets::TPanel* body_;
  platform::widgets::TLabel *world_, *campaign_, *unitType_, *gameType_, *sides_, *allies_, *enemies_, *saved_;
};

}  // namespace ui

// The details beside the list of worlds: the highlighted world's name, size in sectors,
// bases, when it was made and its thumbnail; and the switch that lets the campaigns' worlds
// into that list (off at first; the list is rebuilt when it flips).
#pragma once

#include <filesystem>
#include <functional>

#include "config/textids.h"
#include "ui/dialog.h"
#include "world/worldfile.h"

namespace ui {

class TFormWorldData : public TDialogForm {
 public:
  explicit TFormWorldData(platform::FontCache& fonts);

  // The tick the switch shows when on (data/tick.bmp); without it the switch still works.
  void LoadTick(const std::filesystem::path& file);

  // Shows a world's summary and its thumbnail from `thumbFile` (hidden when that is missing
  // or unreadable); answers the number of bases, or -1 for no world: an invalid summary, or
  // one with no sectors, shows "- - -" everywhere.
  int ShowWorld(const TTRVExtractWorldData& world, const std::filesystem::path& thumbFile, TTRVLanguage language);

  bool IncludeCampaignWorlds() const { return includeCampaignWorlds_; }
  // Flips the switch, as a click on it does.
  void ToggleIncludeCampaignWorlds();
  // After the switch flipped: the list is read again.
  std::function<void()> OnIncludeChanged;

  // The longer side of a thumbnail.
  static constexpr int kThumbSize = 273;

  platform::widgets::TLabel& LabelName() { return *name_; }
  platform::widgets::TLabel& LabelSize() { return *size_; }
  platform::widgets::TLabel& LabelCreated() { return *created_; }
  platform::widgets::TLabel& LabelNOfBases() { return *bases_; }
  platform::widgets::TImage& ImageThumb() { return *thumb_; }
  platform::widgets::TImage& ImageInclCamp() { return *tick_; }
  platform::widgets::TPanel& PanelInclCamp() { return *inclCamp_; }

 private:
  platform::widgets::TPanel* body_;
  platform::widgets::TLabel *name_, *size_, *created_, *bases_;
  platform::widgets::TPanel *panelThumb_, *panelFrame_, *inclCamp_;
  platform::widgets::TImage *thumb_, *tick_;
  bool includeCampaignWorlds_ = false;
};

}  // namespace ui

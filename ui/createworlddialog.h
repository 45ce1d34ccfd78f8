// The world generator dialog. So far it serves as the progress display of a generation
// (the tutorial's island): the title, the name of the world, the current task with its bar,
// the campaign's bar and estimate when a campaign is made, and a tip. Its map, theme and
// design pages and its Last, Next and Cancel buttons are not shown in this mode.
#pragma once

#include <functional>
#include <string>

#include "generator/progress.h"
#include "ui/dialog.h"

namespace ui {

class TFormCreateWorld : public TDialogForm {
 public:
  explicit TFormCreateWorld(platform::FontCache& fonts);

  // Progress mode for a world of this name: only the progress group, no buttons.
  void StartProgress(const std::string& worldName);
  void ShowProgress(const TTRVProgressView& view, const std::string& tip);
  // Called after every progress shown, once the dialog's picture is up to date.
  std::function<void(const TTRVProgressView&)> OnProgress;

  platform::widgets::TLabel& LabelWorldName() { return *worldName_; }
  platform::widgets::TLabel& LabelInfo() { return *info_; }
  platform::widgets::TLabel& LabelWorldInfo() { return *worldInfo_; }
  platform::widgets::TPanel& PanelBar() { return *bar_; }
  platform::widgets::TPanel& PanelCampProgress() { return *campBar_; }
  platform::widgets::TGroupBox& GroupBoxProgress() { return *progress_; }

 private:
  platform::widgets::TLabel *title_, *shadow_, *nameCaption_, *worldName_;
  platform::widgets::TGroupBox* progress_;
  platform::widgets::TLabel *info_, *worldCaption_, *worldInfo_, *tip_;
  platform::widgets::TPanel *campTrack_, *campBar_, *track_, *bar_;
  platform::widgets::TPanel *cancel_, *last_, *next_;
};

}  // namespace ui

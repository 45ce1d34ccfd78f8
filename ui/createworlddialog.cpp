// World generator dialog: the progress page.
#include "ui/createworlddialog.h"

#include <algorithm>

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TBevel;
using platform::widgets::TFont;
using platform::widgets::TGroupBox;
using platform::widgets::TLabel;
using platform::widgets::TPanel;

namespace {
constexpr int kFormWidth = 792;
constexpr int kFormHeight = 573;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kGroupLeft = 24;
constexpr int kGroupWidth = kBodyWidth - 2 * kGroupLeft;
constexpr int kBarLeft = (kGroupWidth - kProgressBarWidth) / 2;
constexpr int kBarHeight = 20;

TPanel* AddTrack(TGroupBox& group, const char* trackName, const char* barName, int top, TPanel** bar) {
  auto* track = group.Add<TPanel>(trackName);
  track->SetBounds(kBarLeft, top, kProgressBarWidth, kBarHeight);
  track->SetColor(look::kInset);
  track->SetBevel(TBevel::Frame);
  track->SetBorderColor(look::kInsetFrame);
  *bar = track->Add<TPanel>(barName);
  (*bar)->SetBounds(0, 0, 0, kBarHeight);
  (*bar)->SetColor(look::kProgress);
  (*bar)->SetBevel(TBevel::None);
  return track;
}

}  // namespace

TFormCreateWorld::TFormCreateWorld(platform::FontCache& fonts) : TDialogForm("FormCreateWorld", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  auto* body = AddBody();
  AddTitle(*body, "Create new world", 14, 24);
  shadow_ = static_cast<TLabel*>(body->FindChild("Label1"));
  title_ = static_cast<TLabel*>(body->FindChild("Label2"));

  auto* main = body->Add<TPanel>("Panel1");
  main->SetBounds(0, 64, kBodyWidth, kFormHeight - 2 * kRimSize - 64 - 60);
  main->SetColor(look::kBody);
  main->SetBevel(TBevel::None);
  nameCaption_ = AddText(*main, "Label3", "World name:", kGroupLeft, 4, 160, 24, TFont{look::kDimText, 15, false},
                         TAlignment::Left);
  worldName_ = AddText(*main, "LabelWorldName", "", kGroupLeft + 170, 4, kGroupWidth - 170, 24,
                       TFont{look::kText, 15, true}, TAlignment::Left);

  progress_ = main->Add<TGroupBox>("GroupBoxProgress");
  progress_->SetBounds(kGroupLeft, 44, kGroupWidth, main->Height() - 54);
  progress_->SetColor(look::kBody);
  progress_->SetFrameColor(look::kInsetFrame);
  progress_->SetFont(TFont{look::kTitleText, 13, true});
  progress_->SetCaption("Progress");
  AddText(*progress_, "Label4", "Current task:", kBarLeft, 30, 300, 20, TFont{look::kDimText, 13, false},
          TAlignment::Left);
  info_ = AddText(*progress_, "LabelInfo", "", kBarLeft, 54, kProgressBarWidth, 22, TFont{look::kText, 15, true},
                  TAlignment::Left);
  track_ = AddTrack(*progress_, "Panel2", "PanelBar", 84, &bar_);
  worldCaption_ = AddText(*progress_, "Label7", "World:", kBarLeft, 130, 80, 20, TFont{look::kDimText, 13, false},
                          TAlignment::Left);
  worldInfo_ = AddText(*progress_, "LabelWorldInfo", "", kBarLeft + 84, 130, kProgressBarWidth - 84, 20,
                       TFont{look::kText, 13, false}, TAlignment::Left);
  campTrack_ = AddTrack(*progress_, "Panel3", "PanelCampProgress", 156, &campBar_);
  tip_ = AddText(*progress_, "LabelTip", "", kBarLeft, 200, kProgressBarWidth, progress_->Height() - 210,
                 TFont{look::kDimText, 13, false}, TAlignment::Left);
  tip_->SetWordWrap(true);

  const int buttonTop = kFormHeight - 2 * kRimSize - 46;
  cancel_ = AddButton(*body, "PanelCancel", "Cancel", kGroupLeft, buttonTop, 140, 30);
  last_ = AddButton(*body, "PanelLast", "<<< Last", kBodyWidth - kGroupLeft - 2 * 160 - 20, buttonTop, 160, 30);
  next_ = AddButton(*body, "PanelNext", "Next >>>", kBodyWidth - kGroupLeft - 160, buttonTop, 160, 30);
}

void TFormCreateWorld::StartProgress(const std::string& worldName) {
  for (TPanel* button : {cancel_, last_, next_}) SetShown(*button, false);
  progress_->SetVisible(true);
  worldName_->SetCaption(worldName);
  info_->SetCaption("");
  bar_->SetWidth(0);
  for (TLabel* label : {worldCaption_, worldInfo_}) label->SetVisible(false);
  campTrack_->SetVisible(false);
}

void TFormCreateWorld::ShowProgress(const TTRVProgressView& view, const std::string& tip) {
  title_->SetCaption(view.title);
  shadow_->SetCaption(view.title);
  nameCaption_->SetCaption(view.nameCaption);
  // A campaign names itself here; a single world keeps the name it was started with.
  if (view.campaign) worldName_->SetCaption(view.nameLabel);
  info_->SetCaption(view.task);
  bar_->SetWidth(std::clamp(view.taskBarWidth, 0, kProgressBarWidth));
  for (TLabel* label : {worldCaption_, worldInfo_}) label->SetVisible(view.campaign);
  campTrack_->SetVisible(view.campaign);
  worldInfo_->SetCaption(view.worldInfo);
  campBar_->SetWidth(std::clamp(view.campaignBarWidth, 0, kProgressBarWidth));
  tip_->SetCaption(tip);
  if (OnProgress) OnProgress(view);
}

}  // namespace ui

// Loading dialog layout and progress.
#include "ui/loadingdialog.h"

#include <cmath>

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TBevel;
using platform::widgets::TFont;

namespace {
constexpr int kFormWidth = TFormLoading::kBarWidth + 40;
constexpr int kFormHeight = 132;
constexpr int kInnerLeft = (kFormWidth - 2 * kRimSize - TFormLoading::kBarWidth) / 2;
}  // namespace

TFormLoading::TFormLoading(platform::FontCache& fonts) : TDialogForm("FormLoading", fonts, 0.5, 0.85) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  auto* body = AddBody();
  labelInfo_ = AddText(*body, "LabelInfo", "Loading...", kInnerLeft, 10, kBarWidth, 20,
                       TFont{look::kTitleText, look::kTitleSize, true}, TAlignment::Left);
  panelBar_ = body->Add<platform::widgets::TPanel>("PanelBar");
  panelBar_->SetBounds(kInnerLeft, 36, kBarWidth, 18);
  panelBar_->SetColor(look::kInset);
  panelBar_->SetBevel(TBevel::Frame);
  panelBar_->SetBorderColor(look::kInsetFrame);
  panelProgress_ = panelBar_->Add<platform::widgets::TPanel>("PanelProgress");
  panelProgress_->SetBounds(0, 0, 0, 18);
  panelProgress_->SetColor(look::kProgress);
  panelProgress_->SetBevel(TBevel::None);
  labelTip_ = AddText(*body, "LabelTip", "", kInnerLeft, 64, kBarWidth, kFormHeight - 2 * kRimSize - 64 - 8,
                      TFont{look::kDimText, look::kTextSize, false}, TAlignment::Left);
  labelTip_->SetWordWrap(true);
}

int TFormLoading::BarWidthFor(double percent) {
  if (!(percent > 0)) return 0;
  if (percent >= 100) return kBarWidth;
  return static_cast<int>(percent / 100 * kBarWidth);
}

void TFormLoading::SetProgress(const std::string& info, double percent, const std::string& tip) {
  labelInfo_->SetCaption(info);
  panelProgress_->SetWidth(BarWidthFor(percent));
  labelTip_->SetCaption(tip);
}

}  // namespace ui

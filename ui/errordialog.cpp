// Error dialog layout and keys.
#include "ui/errordialog.h"

#include "platform/input.h"
#include "ui/decoration.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;

namespace {
constexpr int kFormWidth = 400;
constexpr int kFormHeight = 130;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kButtonWidth = 90;
constexpr int kButtonTop = 76;
constexpr int kDetailTop = 64;
constexpr int kDetailGap = 10;
}  // namespace

TFormError::TFormError(platform::FontCache& fonts) : TDialogForm("FormError", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  body_ = AddBody();
  auto* body = body_;
  labelCaption_ = AddText(*body, "LabelCaption", "Warning !", 0, 12, kBodyWidth, 20,
                          TFont{look::kWarningText, look::kTitleSize, true}, TAlignment::Center);
  labelText_ = AddText(*body, "LabelText", "File not found !", 10, 40, kBodyWidth - 20, 20,
                       TFont{look::kText, look::kTextSize, false}, TAlignment::Center);
  labelDetail_ = AddText(*body, "LabelDetail", "", 10, kDetailTop, kBodyWidth - 20, 0,
                         TFont{look::kDimText, look::kTextSize, false}, TAlignment::Center);
  labelDetail_->SetWordWrap(true);
  labelDetail_->SetAutoSize(true);
  labelDetail_->SetVisible(false);
  panelOK_ = AddButton(*body, "PanelOK", "OK", (kBodyWidth - kButtonWidth) / 2, kButtonTop, kButtonWidth, 26);
  OnKeyDown = [this](platform::widgets::TWidget&, int vk) {
    if (vk == platform::vk::Return || vk == platform::vk::Escape) Press(*panelOK_);
  };
}

void TFormError::SetText(const std::string& text) { labelText_->SetCaption(text); }

void TFormError::SetDetail(const std::string& detail) {
  labelDetail_->SetCaption(detail);
  labelDetail_->SetVisible(!detail.empty());
  const int extra = detail.empty() ? 0 : labelDetail_->Height() + kDetailGap;
  SetBounds(Left(), Top(), kFormWidth, kFormHeight + extra);
  body_->SetBounds(kRimSize, kRimSize, kBodyWidth, kFormHeight + extra - 2 * kRimSize);
  panelOK_->SetBounds(panelOK_->Left(), kButtonTop + extra, panelOK_->Width(), panelOK_->Height());
  // The rounded rims are pieces beside the panels: they move with them.
  SyncDecoration(*body_);
  SyncDecoration(*panelOK_);
}

}  // namespace ui

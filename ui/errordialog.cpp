// Error dialog layout and keys.
#include "ui/errordialog.h"

#include "platform/input.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;

namespace {
constexpr int kFormWidth = 330;
constexpr int kFormHeight = 130;
constexpr int kBodyWidth = kFormWidth - 2 * kRimSize;
constexpr int kButtonWidth = 90;
}  // namespace

TFormError::TFormError(platform::FontCache& fonts) : TDialogForm("FormError", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  auto* body = AddBody();
  labelCaption_ = AddText(*body, "LabelCaption", "Warning !", 0, 12, kBodyWidth, 20,
                          TFont{look::kWarningText, look::kTitleSize, true}, TAlignment::Center);
  labelText_ = AddText(*body, "LabelText", "File not found !", 10, 40, kBodyWidth - 20, 20,
                       TFont{look::kText, look::kTextSize, false}, TAlignment::Center);
  panelOK_ = AddButton(*body, "PanelOK", "OK", (kBodyWidth - kButtonWidth) / 2, 76, kButtonWidth, 26);
  OnKeyDown = [this](platform::widgets::TWidget&, int vk) {
    if (vk == platform::vk::Return || vk == platform::vk::Escape) Press(*panelOK_);
  };
}

void TFormError::SetText(const std::string& text) { labelText_->SetCaption(text); }

}  // namespace ui

// Tips dialog layout and keys.
#include "ui/tipsdialog.h"

#include <string>

#include "platform/input.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;

namespace {
constexpr int kTipsWidth = 560;
constexpr int kTipsHeight = 250;
constexpr int kTipsBody = kTipsWidth - 2 * kRimSize;
constexpr int kButtonHeight = 30;
}  // namespace

TFormTips::TFormTips(platform::FontCache& fonts) : TDialogForm("FormTips", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kTipsWidth, kTipsHeight);
  auto* body = AddBody();
  AddTitle(*body, "Tips", 12, 20);
  tip_ = AddText(*body, "LabelTip", "", 24, 58, kTipsBody - 48, 110, TFont{look::kText, 14, false}, TAlignment::Left);
  tip_->SetWordWrap(true);
  const int top = kTipsHeight - 2 * kRimSize - kButtonHeight - 18;
  next_ = AddButton(*body, "PanelNext", "Next tip", 20, top, 130, kButtonHeight);
  help_ = AddButton(*body, "PanelHUDhelp", "Understanding screen symbols", 162, top, 260, kButtonHeight);
  cancel_ = AddButton(*body, "PanelCancel", "Cancel", kTipsBody - 20 - 100, top, 100, kButtonHeight);
  help_->SetVisible(false);
  OnKeyDown = [this](platform::widgets::TWidget&, int vk) {
    if (vk == platform::vk::Escape) Press(*cancel_);
    if (vk == platform::vk::Return || vk == platform::vk::Space) Press(*next_);
  };
}

void TFormTips::SetTip(const std::string& tip) { tip_->SetCaption(tip); }

}  // namespace ui

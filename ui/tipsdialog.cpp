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
}  // namespace

TFormTips::TFormTips(platform::FontCache& fonts)
    : TTextPageForm("FormTips", fonts, 0.5, 0.5, kTipsWidth, kTipsHeight, "Tips", 20) {
  tip_ = AddText(Body(), "LabelTip", "", 24, 58, BodyWidth() - 48, 110, TFont{look::kText, 14, false},
                 TAlignment::Left);
  tip_->SetWordWrap(true);
  next_ = AddRowButton("PanelNext", "Next tip", 20, 130);
  help_ = AddRowButton("PanelHUDhelp", "Understanding screen symbols", 162, 260);
  cancel_ = AddRowButton("PanelCancel", "Cancel", BodyWidth() - 20 - 100, 100);
  help_->SetVisible(false);
  PressOnKeys({platform::vk::Escape}, *cancel_);
  PressOnKeys({platform::vk::Return, platform::vk::Space}, *next_);
}

void TFormTips::SetTip(const std::string& tip) { tip_->SetCaption(tip); }

}  // namespace ui

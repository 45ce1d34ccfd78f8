// The menus' column of buttons and the height that follows it.
#include "ui/menuform.h"

namespace ui {

using platform::widgets::TPanel;

TMenuForm::TMenuForm(std::string name, platform::FontCache& fonts, double centreX, double centreY,
                     const TMenuLayout& layout, std::string title)
    : TDialogForm(std::move(name), fonts, centreX, centreY), layout_(layout) {
  SetBounds(0, 0, layout_.formWidth, 200);
  body_ = AddBody();
  title_ = AddTitle(*body_, std::move(title), layout_.topMargin, layout_.titleSize);
}

TPanel* TMenuForm::AddMenuButton(std::string name, std::string caption) {
  const int left = (body_->Width() - layout_.buttonWidth) / 2;
  return AddButton(*body_, std::move(name), std::move(caption), left, 0, layout_.buttonWidth, layout_.buttonHeight);
}

void TMenuForm::Stack(std::span<const TButtonChoice> column, bool titleShown) {
  int top = layout_.topMargin;
  title_.SetVisible(titleShown);
  if (titleShown) {
    title_.SetTop(top);
    top += layout_.titleSize + 12 + layout_.titleGap;
  }
  const int bottom = StackButtons(column, top, layout_.buttonHeight + layout_.buttonGap);
  ResizeForm(*body_, bottom + layout_.bottomMargin + 2 * kRimSize);
}

}  // namespace ui

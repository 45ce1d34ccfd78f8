// The page's body, title, bottom row and its keys.
#include "ui/textpageform.h"

namespace ui {

using platform::widgets::TPanel;

TTextPageForm::TTextPageForm(std::string name, platform::FontCache& fonts, double centreX, double centreY, int width,
                             int height, std::string title, int titleSize)
    : TDialogForm(std::move(name), fonts, centreX, centreY) {
  SetBounds(0, 0, width, height);
  body_ = AddBody();
  AddTitle(*body_, std::move(title), kTitleTop, titleSize);
  OnKeyDown = [this](platform::widgets::TWidget&, int vk) {
    for (const auto& [key, button] : keys_)
      if (key == vk) return Press(*button);
  };
}

TPanel* TTextPageForm::AddRowButton(std::string name, std::string caption, int left, int width) {
  return AddButton(*body_, std::move(name), std::move(caption), left, ButtonTop(), width, kButtonHeight);
}

void TTextPageForm::PressOnKeys(std::initializer_list<int> keys, TPanel& button) {
  for (int key : keys) keys_.emplace_back(key, &button);
}

}  // namespace ui

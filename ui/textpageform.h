// A page of text: a dialog of fixed size with a title at its top, text under it and a row of
// buttons along its bottom, some of them pressed by keys. The credits, tips and tutorial are
// pages; so is any dialog that shows a text and a few answers to it.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialog.h"

namespace ui {

class TTextPageForm : public TDialogForm {
 public:
  static constexpr int kTitleTop = 12;
  static constexpr int kButtonHeight = 30;
  static constexpr int kBottomMargin = 18;  // under the row of buttons

 protected:
  TTextPageForm(std::string name, platform::FontCache& fonts, double centreX, double centreY, int width, int height,
                std::string title, int titleSize);

  platform::widgets::TPanel& Body() { return *body_; }
  int BodyWidth() const { return body_->Width(); }
  // The top of the row of buttons, inside the body.
  int ButtonTop() const { return body_->Height() - kButtonHeight - kBottomMargin; }
  // A button on the bottom row.
  platform::widgets::TPanel* AddRowButton(std::string name, std::string caption, int left, int width);
  // Each of the keys presses the button while the page is on top; a key named twice keeps
  // its first button.
  void PressOnKeys(std::initializer_list<int> keys, platform::widgets::TPanel& button);

 private:
  platform::widgets::TPanel* body_;
  std::vector<std::pair<int, platform::widgets::TPanel*>> keys_;
};

}  // namespace ui

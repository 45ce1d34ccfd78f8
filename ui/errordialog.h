// The error dialog: "Warning !" and what went wrong, with an OK button (Enter and Escape
// press it too).
#pragma once

#include <string>

#include "ui/dialog.h"

namespace ui {

class TFormError : public TDialogForm {
 public:
  explicit TFormError(platform::FontCache& fonts);

  void SetText(const std::string& text);

  platform::widgets::TLabel& LabelCaption() { return *labelCaption_; }
  platform::widgets::TLabel& LabelText() { return *labelText_; }
  platform::widgets::TPanel& PanelOK() { return *panelOK_; }

 private:
  platform::widgets::TLabel* labelCaption_;
  platform::widgets::TLabel* labelText_;
  platform::widgets::TPanel* panelOK_;
};

}  // namespace ui

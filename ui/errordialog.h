// The error dialog: "Warning !", what went wrong and, below it, the details in the words of
// whatever refused (a loader's own message), with an OK button (Enter and Escape press it
// too). The dialog grows to fit the details; place it again after setting them.
#pragma once

#include <string>

#include "ui/dialog.h"

namespace ui {

class TFormError : public TDialogForm {
 public:
  explicit TFormError(platform::FontCache& fonts);

  void SetText(const std::string& text);
  // Word-wrapped under the text; "" hides it and gives the dialog its plain size back.
  void SetDetail(const std::string& detail);

  platform::widgets::TLabel& LabelCaption() { return *labelCaption_; }
  platform::widgets::TLabel& LabelText() { return *labelText_; }
  platform::widgets::TLabel& LabelDetail() { return *labelDetail_; }
  platform::widgets::TPanel& PanelOK() { return *panelOK_; }

 private:
  platform::widgets::TLabel* labelCaption_;
  platform::widgets::TLabel* labelText_;
  platform::widgets::TLabel* labelDetail_;
  platform::widgets::TPanel* body_;
  platform::widgets::TPanel* panelOK_;
};

}  // namespace ui

// The name entry: a new save's, world's or campaign's name, checked as a name alone (no file
// is made to find out), then, when a file of that name exists, the question whether to
// overwrite it. No goes back to the name as typed; what an accepted name leads to, and
// Cancel, are the main window's.
#pragma once

#include <functional>
#include <string>

#include "config/textids.h"
#include "platform/widgets/edit.h"
#include "ui/dialog.h"

namespace ui {

enum class TInputMode { SaveGame, SaveCamp, NewSkirmishWorld, NewCamp };

class TFormInput : public TDialogForm {
 public:
  explicit TFormInput(platform::FontCache& fonts);

  // Editing in `mode`, the field holding `name` ("" for a new one).
  void Open(TInputMode mode, const std::string& name, TTRVLanguage language);
  TInputMode Mode() const { return mode_; }
  // The overwrite question is on screen (instead of the field and OK).
  bool Asking() const { return asking_; }
  std::string Name() const { return edit_->Text(); }

  // Whether the file a name would be written to exists already.
  std::function<bool(const std::string& name)> Exists;
  // A name that may be written: new, or the player said Yes to overwriting it.
  std::function<void(const std::string& name)> OnAccept;

  // OK: nothing while the field is empty; a name that may not be given shows the mode's
  // "invalid" message and keeps the dialog; an existing one asks; any other is accepted.
  void SubmitName();

  platform::widgets::TLabel& LabelPrompt() { return *prompt_; }
  platform::widgets::TLabel& LabelMessage() { return *message_; }
  platform::widgets::TLabel& LabelQuestion() { return *question_; }
  platform::widgets::TEdit& EditName() { return *edit_; }
  platform::widgets::TPanel& PanelOK() { return *ok_; }
  platform::widgets::TPanel& PanelCancel() { return *cancel_; }
  platform::widgets::TPanel& PanelYes() { return *yes_; }
  platform::widgets::TPanel& PanelNo() { return *no_; }

 private:
  void ShowEditing();
  void ShowQuestion(const std::string& name);

  TInputMode mode_ = TInputMode::SaveGame;
  TTRVLanguage language_ = TTRVLanguage::English;
  bool asking_ = false;
  platform::widgets::TPanel* body_;
  platform::widgets::TLabel *prompt_, *message_, *question_;
  platform::widgets::TEdit* edit_;
  platform::widgets::TPanel *ok_, *cancel_, *yes_, *no_;
};

}  // namespace ui

// A question: a dialog of one wrapped question over a row of answer buttons, centred, of
// which only those there is something behind are shown. Escape presses the answer named the
// cancel. The skirmish and campaign choices are questions; so is any dialog that asks before
// it acts.
#pragma once

#include <span>
#include <string>

#include "ui/dialog.h"

namespace ui {

class TQuestionForm : public TDialogForm {
 protected:
  // The dialog's size, the answers' row kept 66 pixels above its bottom edge.
  TQuestionForm(std::string name, platform::FontCache& fonts, double centreX, double centreY, std::string question,
                int width = 640, int height = 150);

  // An answer on the row, placed by ShowAnswers.
  platform::widgets::TPanel* AddAnswer(std::string name, std::string caption);
  // The answer Escape presses; it is an answer like the others.
  platform::widgets::TPanel* AddCancel(std::string name, std::string caption);
  // Shows the chosen answers side by side in the middle of the row and hides the others.
  void ShowAnswers(std::span<const TButtonChoice> row);

 private:
  platform::widgets::TPanel* body_;
  int buttonTop_;
};

}  // namespace ui

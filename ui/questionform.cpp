// The question's text, its row of answers and the Escape key.
#include "ui/questionform.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;
using platform::widgets::TPanel;

namespace {
constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 16;
constexpr int kButtonsAboveBottom = 66;
}  // namespace

TQuestionForm::TQuestionForm(std::string name, platform::FontCache& fonts, double centreX, double centreY,
                             std::string question, int width, int height)
    : TDialogForm(std::move(name), fonts, centreX, centreY), buttonTop_(height - kButtonsAboveBottom) {
  SetBounds(0, 0, width, height);
  body_ = AddBody();
  auto* label = AddText(*body_, "Label1", std::move(question), 20, 18, body_->Width() - 40, 50,
                        TFont{look::kText, 15, true}, TAlignment::Center);
  label->SetWordWrap(true);
}

TPanel* TQuestionForm::AddAnswer(std::string name, std::string caption) {
  return AddButton(*body_, std::move(name), std::move(caption), 0, buttonTop_, kButtonWidth, kButtonHeight);
}

TPanel* TQuestionForm::AddCancel(std::string name, std::string caption) {
  TPanel* cancel = AddAnswer(std::move(name), std::move(caption));
  PressOnEscape(*cancel);
  return cancel;
}

void TQuestionForm::ShowAnswers(std::span<const TButtonChoice> row) { LineUpButtons(row, body_->Width(), kButtonGap); }

}  // namespace ui

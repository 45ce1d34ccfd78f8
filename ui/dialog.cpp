// Building blocks of the dialogs: body, buttons, texts.
#include "ui/dialog.h"

#include "ui/decoration.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TBevel;
using platform::widgets::TFont;
using platform::widgets::TLabel;
using platform::widgets::TPanel;
using platform::widgets::TWidget;

TDialogForm::TDialogForm(std::string name, platform::FontCache& fonts, double centreX, double centreY)
    : TForm(std::move(name), fonts), centreX_(centreX), centreY_(centreY) {
  SetColor(platform::widgets::kTransparentKey);
  SetTransparentKey(true);
  SetStayOnTop(true);
}

TPanel* TDialogForm::AddBody() {
  auto* body = Add<TPanel>("PanelBack");
  body->SetBounds(kRimSize, kRimSize, Width() - 2 * kRimSize, Height() - 2 * kRimSize);
  body->SetColor(look::kBody);
  body->SetBevel(TBevel::None);
  MarkRounded(body);
  return body;
}

TPanel* TDialogForm::AddButton(TWidget& parent, std::string name, std::string caption, int left, int top, int width,
                               int height) {
  auto* button = parent.Add<TPanel>(std::move(name));
  button->SetBounds(left, top, width, height);
  button->SetColor(look::kButton);
  button->SetCaption(std::move(caption));
  button->SetFont(look::kButtonFont);
  button->Cursor = platform::CursorKind::Hand;
  MarkRounded(button);
  return button;
}

TLabel* TDialogForm::AddText(TWidget& parent, std::string name, std::string caption, int left, int top, int width,
                             int height, const TFont& font, TAlignment alignment) {
  auto* label = parent.Add<TLabel>(std::move(name));
  label->SetAutoSize(false);
  label->SetBounds(left, top, width, height);
  label->SetFont(font);
  label->SetAlignment(alignment);
  label->SetCaption(std::move(caption));
  return label;
}

void TDialogForm::Press(TPanel& panel) {
  if (panel.OnClick && panel.Showing() && panel.EffectivelyEnabled()) {
    auto handler = panel.OnClick;
    handler(panel);
  }
}

}  // namespace ui

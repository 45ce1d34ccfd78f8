// Building blocks of the dialogs: body, buttons, texts.
#include "ui/dialog.h"

#include "platform/input.h"
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

TDialogTitle TDialogForm::AddTitle(TWidget& parent, std::string caption, int top, int size) {
  const int width = parent.Width();
  TDialogTitle title;
  title.shadow = AddText(parent, "Label1", caption, 2, top + 2, width, size + 12,
                         TFont{platform::MakeColor(0, 0, 0), size, true}, TAlignment::Center);
  title.front = AddText(parent, "Label2", std::move(caption), 0, top, width, size + 12,
                        TFont{look::kTitleText, size, true}, TAlignment::Center);
  return title;
}

void TDialogForm::PressOnEscape(TPanel& button) {
  OnKeyDown = [&button](TWidget&, int vk) {
    if (vk == platform::vk::Escape) Press(button);
  };
}

void TDialogForm::SetShown(TPanel& panel, bool shown) {
  panel.SetVisible(shown);
  SyncDecoration(panel);
}

void TDialogForm::ResizeForm(TPanel& body, int height) {
  SetBounds(Left(), Top(), Width(), height);
  body.SetBounds(kRimSize, kRimSize, Width() - 2 * kRimSize, height - 2 * kRimSize);
  SyncDecoration(body);
}

void TDialogForm::MoveButton(TPanel& panel, int left, int top) {
  panel.SetBounds(left, top, panel.Width(), panel.Height());
  SyncDecoration(panel);
}

int TDialogForm::StackButtons(std::span<const TButtonChoice> column, int top, int pitch) {
  int bottom = top;
  for (const auto& [panel, show] : column) {
    if (show) {
      MoveButton(*panel, panel->Left(), top);
      bottom = top + panel->Height();
      top += pitch;
    }
    SetShown(*panel, show);
  }
  return bottom;
}

void TDialogForm::LineUpButtons(std::span<const TButtonChoice> row, int width, int gap) {
  int total = 0, shown = 0;
  for (const auto& [panel, show] : row)
    if (show) {
      total += panel->Width();
      ++shown;
    }
  int left = (width - total - (shown - 1) * gap) / 2;
  for (const auto& [panel, show] : row) {
    if (show) {
      MoveButton(*panel, left, panel->Top());
      left += panel->Width() + gap;
    }
    SetShown(*panel, show);
  }
}

void TDialogForm::Press(TPanel& panel) {
  if (panel.OnClick && panel.Showing() && panel.EffectivelyEnabled()) {
    auto handler = panel.OnClick;
    handler(panel);
  }
}

}  // namespace ui

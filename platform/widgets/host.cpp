// Routing the player's input to the dialogs, the z-order, the cursor and the hint.
#include "platform/widgets/host.h"

#include <SDL.h>

#include <algorithm>

#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/widgets/canvas.h"
#include "platform/widgets/controls.h"

namespace platform::widgets {
namespace {

constexpr int kHintPadding = 3;
constexpr int kHintBelowMouse = 20;  // below the pointer's picture
constexpr double kClockSlack = 1e-9;

int ButtonIndex(TMouseButton b) { return static_cast<int>(b); }

}  // namespace

TWidgetHost::TWidgetHost(platform::FontCache& fonts, platform::CursorSet* cursors)
    : fonts_(&fonts), cursors_(cursors), hintForm_("Hint", fonts) {
  hintForm_.SetColor(platform::MakeColor(255, 255, 255));
  hintForm_.SetTransparentKey(false);
  hintForm_.SetStayOnTop(true);
  auto* frame = hintForm_.Add<TPanel>("HintFrame");
  frame->SetBevel(TBevel::Frame);
  frame->SetColor(platform::MakeColor(255, 255, 255));
  frame->SetBorderColor(platform::MakeColor(0, 0, 0));
  hintLabel_ = frame->Add<TLabel>("HintLabel");
  hintLabel_->SetAutoSize(false);
  hintLabel_->SetWordWrap(true);
}

TWidgetHost::~TWidgetHost() {
  for (Entry& e : forms_) e.form->host_ = nullptr;
}

void TWidgetHost::AddForm(TForm& form) {
  if (form.host_ == this) return;
  if (form.host_ != nullptr) form.host_->RemoveForm(form);
  form.host_ = this;
  form.registration_ = ++serial_;
  forms_.push_back({&form, form.registration_});
}

void TWidgetHost::RemoveForm(TForm& form) {
  const auto it = std::find_if(forms_.begin(), forms_.end(), [&](const Entry& e) { return e.form == &form; });
  if (it == forms_.end()) return;
  forms_.erase(it);
  form.host_ = nullptr;
  const auto inForm = [&form](TWidget* w) { return w != nullptr && w->Form() == &form; };
  if (inForm(hovered_)) SetHovered(nullptr);
  if (inForm(captured_)) captured_ = nullptr;
  if (inForm(lastClick_)) lastClick_ = nullptr;
  if (inForm(delivering_)) delivering_ = nullptr;
}

std::vector<TForm*> TWidgetHost::ZOrder() const {
  std::vector<Entry> sorted = forms_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
    if (a.form->StayOnTop() != b.form->StayOnTop()) return !a.form->StayOnTop();
    return a.serial < b.serial;
  });
  std::vector<TForm*> out;
  out.reserve(sorted.size());
  for (const Entry& e : sorted) out.push_back(e.form);
  return out;
}

TForm* TWidgetHost::TopVisibleForm() const {
  const std::vector<TForm*> order = ZOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if ((*it)->Visible()) return *it;
  return nullptr;
}

TForm* TWidgetHost::FormAt(int x, int y) const {
  const std::vector<TForm*> order = ZOrder();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    TForm* f = *it;
    if (f->Visible() && f->Contains(x - f->Left(), y - f->Top())) return f;
  }
  return nullptr;
}

void TWidgetHost::BringToFront(TForm& form) {
  for (Entry& e : forms_)
    if (e.form == &form) e.serial = ++serial_;
}

void TWidgetHost::SetScreenSize(int width, int height) {
  screenWidth_ = std::max(0, width);
  screenHeight_ = std::max(0, height);
}

void TWidgetHost::FormVisibilityChanged(TForm& form) {
  if (form.Visible()) {
    BringToFront(form);
    return;
  }
  const auto inForm = [&form](TWidget* w) { return w != nullptr && w->Form() == &form; };
  if (inForm(captured_)) captured_ = nullptr;
  if (inForm(hovered_)) SetHovered(nullptr);
}

void TWidgetHost::Forget(TWidget& widget) {
  if (hovered_ == &widget) SetHovered(nullptr);
  if (captured_ == &widget) captured_ = nullptr;
  if (lastClick_ == &widget) lastClick_ = nullptr;
  if (delivering_ == &widget) delivering_ = nullptr;
}

template <class Call>
bool TWidgetHost::Deliver(TWidget& widget, Call&& call) {
  TWidget* const previous = delivering_;
  delivering_ = &widget;
  call();
  const bool alive = delivering_ == &widget;
  delivering_ = previous;
  return alive;
}

TWidget* TWidgetHost::WidgetUnder(int x, int y) const {
  TForm* form = FormAt(x, y);
  return form != nullptr ? form->WidgetAt(x - form->Left(), y - form->Top()) : nullptr;
}

bool TWidgetHost::HandleEvent(const SDL_Event& event) {
  const auto button = [](Uint8 b) -> std::optional<TMouseButton> {
    switch (b) {
      case SDL_BUTTON_LEFT: return TMouseButton::Left;
      case SDL_BUTTON_RIGHT: return TMouseButton::Right;
      case SDL_BUTTON_MIDDLE: return TMouseButton::Middle;
      default: return std::nullopt;
    }
  };
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (const auto b = button(event.button.button))
        return MouseDown(event.button.x, event.button.y, *b, event.button.clicks, event.button.timestamp);
      return FormAt(event.button.x, event.button.y) != nullptr;
    case SDL_MOUSEBUTTONUP:
      if (const auto b = button(event.button.button)) return MouseUp(event.button.x, event.button.y, *b);
      return FormAt(event.button.x, event.button.y) != nullptr;
    case SDL_MOUSEMOTION:
      return MouseMove(event.motion.x, event.motion.y);
    case SDL_MOUSEWHEEL: {
      int notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      return MouseWheel(notches * platform::kWheelDelta);
    }
    case SDL_KEYDOWN: {
      const int vk = platform::VirtualKeyFromScancode(event.key.keysym.scancode);
      return vk != 0 && KeyDown(vk, event.key.repeat != 0);
    }
    case SDL_TEXTINPUT:
      return TextInput(event.text.text);
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_LEAVE) MouseLeft();
      return false;
    default:
      return false;
  }
}

bool TWidgetHost::MouseDown(int x, int y, TMouseButton button, int clicks, std::uint32_t timeMs) {
  mouseX_ = x;
  mouseY_ = y;
  // A press puts the hint away until the mouse moves on to another widget.
  HideHint();
  hintDone_ = true;
  TForm* form = FormAt(x, y);
  pressOnDialog_[static_cast<std::size_t>(ButtonIndex(button))] = form != nullptr || captured_ != nullptr;
  TWidget* w = captured_;
  if (w == nullptr) {
    if (form == nullptr) return false;
    BringToFront(*form);
    w = form->WidgetAt(x - form->Left(), y - form->Top());
    SetHovered(w);
    if (w == nullptr || !w->EffectivelyEnabled()) return true;
    if (w->CanFocus()) form->SetActiveControl(w);
    captured_ = w;
    captureButton_ = button;
  }
  bool doubleClick = false;
  if (button == TMouseButton::Left) {
    // Without a double-click handler a quick second press is simply another click.
    doubleClick = w == lastClick_ && static_cast<bool>(w->OnDblClick) &&
                  (clicks >= 2 || timeMs - lastClickMs_ <= kDoubleClickMs);
    lastClick_ = doubleClick ? nullptr : w;
    lastClickMs_ = timeMs;
    if (w == captured_ && button == captureButton_) clickPending_ = !doubleClick;
  }
  bool alive = true;
  if (w->OnMouseDown) {
    auto handler = w->OnMouseDown;
    alive = Deliver(*w, [&] { handler(*w, button, x - w->ScreenLeft(), y - w->ScreenTop()); });
  }
  if (alive && doubleClick) {
    auto handler = w->OnDblClick;
    Deliver(*w, [&] { handler(*w); });
  }
  UpdateCursor();
  return true;
}

bool TWidgetHost::MouseUp(int x, int y, TMouseButton button) {
  mouseX_ = x;
  mouseY_ = y;
  bool& pressed = pressOnDialog_[static_cast<std::size_t>(ButtonIndex(button))];
  const bool pressWasOnDialog = pressed;
  pressed = false;
  if (captured_ == nullptr || button != captureButton_) return pressWasOnDialog || FormAt(x, y) != nullptr;
  TWidget* w = captured_;
  captured_ = nullptr;
  const bool click = clickPending_;
  clickPending_ = false;
  const int lx = x - w->ScreenLeft(), ly = y - w->ScreenTop();
  bool alive = true;
  if (w->OnMouseUp) {
    auto handler = w->OnMouseUp;
    alive = Deliver(*w, [&] { handler(*w, button, lx, ly); });
  }
  // A click is a press and a release on the same widget; releasing elsewhere cancels it.
  if (alive && click && w->Contains(lx, ly) && w->Showing() && w->EffectivelyEnabled() && w->OnClick) {
    auto handler = w->OnClick;
    Deliver(*w, [&] { handler(*w); });
  }
  SetHovered(WidgetUnder(x, y));
  UpdateCursor();
  return true;
}

bool TWidgetHost::MouseMove(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  if (captured_ != nullptr) {
    TWidget* w = captured_;
    if (w->OnMouseMove) {
      auto handler = w->OnMouseMove;
      Deliver(*w, [&] { handler(*w, x - w->ScreenLeft(), y - w->ScreenTop()); });
    }
    return true;
  }
  TWidget* w = WidgetUnder(x, y);
  SetHovered(w);
  if (w != nullptr && w->EffectivelyEnabled() && w->OnMouseMove) {
    auto handler = w->OnMouseMove;
    Deliver(*w, [&] { handler(*w, x - w->ScreenLeft(), y - w->ScreenTop()); });
  }
  return w != nullptr;
}

bool TWidgetHost::MouseWheel(int delta) {
  TWidget* w = captured_ != nullptr ? captured_ : WidgetUnder(mouseX_, mouseY_);
  if (w == nullptr) return false;
  // The wheel goes to the nearest widget that listens, from the one under the mouse up.
  for (TWidget* target = w; target != nullptr; target = target->Parent()) {
    if (!target->OnMouseWheel) continue;
    if (target->EffectivelyEnabled()) {
      auto handler = target->OnMouseWheel;
      Deliver(*target, [&] { handler(*target, delta); });
    }
    break;
  }
  return true;
}

TWidget* TWidgetHost::FocusedControl() const {
  TForm* form = TopVisibleForm();
  if (form == nullptr) return nullptr;
  TWidget* a = form->ActiveControl();
  return a != nullptr && a->Showing() && a->EffectivelyEnabled() ? a : nullptr;
}

bool TWidgetHost::KeyDown(int vk, bool repeat) {
  TForm* form = TopVisibleForm();
  if (form == nullptr || !form->Enabled()) return false;
  if (TWidget* a = FocusedControl()) {
    if (a->HandleEditKey(vk)) return true;
    if (a->OnKeyDown) {
      auto handler = a->OnKeyDown;
      if (!repeat) Deliver(*a, [&] { handler(*a, vk); });
      return true;
    }
  }
  if (!form->OnKeyDown) return false;
  auto handler = form->OnKeyDown;
  if (!repeat) Deliver(*form, [&] { handler(*form, vk); });
  return true;
}

bool TWidgetHost::TextInput(std::string_view utf8) {
  TWidget* a = FocusedControl();
  return a != nullptr && a->HandleText(utf8);
}

void TWidgetHost::MouseLeft() {
  if (captured_ == nullptr) SetHovered(nullptr);
}

void TWidgetHost::SetHovered(TWidget* widget) {
  if (widget == hovered_) return;
  hovered_ = widget;
  HideHint();
  hintDone_ = false;
  hintSince_.reset();
  UpdateCursor();
}

void TWidgetHost::UpdateCursor() {
  const TWidget* w = captured_ != nullptr ? captured_ : hovered_;
  const platform::CursorKind kind =
      w != nullptr && w->EffectivelyEnabled() ? w->Cursor : platform::CursorKind::Arrow;
  if (kind == cursorShown_) return;
  cursorShown_ = kind;
  if (cursors_ != nullptr) cursors_->SetCursor(kind);
}

void TWidgetHost::Update(double nowSeconds) {
  const TWidget* w = hovered_;
  const bool wanted = w != nullptr && captured_ == nullptr && w->ShowHint && !w->Hint.empty() && w->Showing();
  if (!wanted) {
    HideHint();
    hintSince_.reset();
    return;
  }
  if (hintDone_) return;
  // The rest starts at the first frame after the mouse came over the widget.
  if (!hintSince_) hintSince_ = nowSeconds;
  if (!HintShowing()) {
    if (nowSeconds - *hintSince_ + kClockSlack >= kHintPauseSeconds) ShowHintFor(*w, nowSeconds);
  } else if (nowSeconds - hintShownAt_ + kClockSlack >= kHintHidePauseSeconds) {
    HideHint();
    hintDone_ = true;
  }
}

void TWidgetHost::ShowHintFor(const TWidget& widget, double now) {
  TFont font = hintLabel_->Font();
  const std::vector<std::string> lines = WrapText(*fonts_, widget.Hint, font, kHintMaxWidth);
  int textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, fonts_->TextWidth(line, font.size, font.bold));
  const int textHeight = fonts_->TextHeight("", font.size, font.bold) * static_cast<int>(lines.size());
  const int w = textWidth + 2 * kHintPadding + 2, h = textHeight + 2 * kHintPadding;
  int left = mouseX_, top = mouseY_ + kHintBelowMouse;
  if (screenWidth_ > 0 && left + w > screenWidth_) left = std::max(0, screenWidth_ - w);
  if (screenHeight_ > 0 && top + h > screenHeight_) top = std::max(0, mouseY_ - h - 2);
  hintForm_.SetBounds(left, top, w, h);
  TWidget* frame = hintForm_.Child(0);
  frame->SetBounds(0, 0, w, h);
  hintLabel_->SetBounds(kHintPadding + 1, kHintPadding, textWidth + 1, textHeight);
  hintLabel_->SetCaption(widget.Hint);
  hintForm_.Show();
  hintShownAt_ = now;
}

void TWidgetHost::HideHint() { hintForm_.Hide(); }

}  // namespace platform::widgets

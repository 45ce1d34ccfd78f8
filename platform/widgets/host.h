// The dialog forms on screen and what the player does to them: the z-order (stay-on-top
// forms above the rest, the last shown or clicked on top of its band), mouse clicks, double
// clicks, drags with mouse capture, the wheel, keyboard focus, keys and typed text, the
// mouse cursor over each widget, and the hint. Each input answers whether it was meant for
// a dialog, so the game does not also act on it. Time comes only from Update's argument.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cursor.h"
#include "platform/widgets/form.h"
#include "platform/widgets/widget.h"

union SDL_Event;

namespace platform {
class FontCache;
}

namespace platform::widgets {

class TLabel;

// The mouse rests this long over a widget before its hint shows, and the hint stays this long.
inline constexpr double kHintPauseSeconds = 0.1;
inline constexpr double kHintHidePauseSeconds = 20.0;
// A second press on the same widget within this time is a double click.
inline constexpr std::uint32_t kDoubleClickMs = 400;
// Widest hint before its text wraps.
inline constexpr int kHintMaxWidth = 320;

class TWidgetHost {
 public:
  // Without a cursor set the host only remembers which cursor it wants (CursorShown).
  explicit TWidgetHost(platform::FontCache& fonts, platform::CursorSet* cursors = nullptr);
  ~TWidgetHost();
  TWidgetHost(const TWidgetHost&) = delete;
  TWidgetHost& operator=(const TWidgetHost&) = delete;

  // Forms are not owned; a form leaves its host when it is destroyed.
  void AddForm(TForm& form);
  void RemoveForm(TForm& form);
  // Every form, bottom to top, hidden ones included.
  std::vector<TForm*> ZOrder() const;
  TForm* TopVisibleForm() const;
  // The topmost showing form under a screen point, or null.
  TForm* FormAt(int x, int y) const;
  void BringToFront(TForm& form);

  // Hints are kept inside the screen; 0 leaves them unclamped.
  void SetScreenSize(int width, int height);

  // True when the event was meant for a dialog.
  bool HandleEvent(const SDL_Event& event);
  // The same input in the host's own terms, for input made by the program.
  bool MouseDown(int x, int y, TMouseButton button, int clicks, std::uint32_t timeMs);
  bool MouseUp(int x, int y, TMouseButton button);
  bool MouseMove(int x, int y);
  bool MouseWheel(int delta);
  // A repeat (the key held down) still types into an edit box, but a dialog's key handler
  // takes only the first press: holding Escape must not open and close a menu.
  bool KeyDown(int vk, bool repeat = false);
  bool TextInput(std::string_view utf8);
  // The mouse left the window.
  void MouseLeft();

  // Runs the hint timing; call once a frame with a steady clock in seconds.
  void Update(double nowSeconds);

  // A white box with black text near the mouse, shown while a hint is up. It is in no
  // z-order: whoever draws the forms draws it last.
  TForm& HintForm() { return hintForm_; }
  bool HintShowing() const { return hintForm_.Visible(); }

  TWidget* Hovered() const { return hovered_; }
  TWidget* Captured() const { return captured_; }
  // The top visible form's focused component, when it can take keys.
  TWidget* FocusedControl() const;
  platform::CursorKind CursorShown() const { return cursorShown_; }

 private:
  friend class TForm;
  struct Entry {
    TForm* form;
    std::uint64_t serial;
  };
  void FormVisibilityChanged(TForm& form);
  void Forget(TWidget& widget);
  void SetHovered(TWidget* widget);
  TWidget* WidgetUnder(int x, int y) const;
  void UpdateCursor();
  void ShowHintFor(const TWidget& widget, double now);
  void HideHint();
  // Calls a handler; false when the handler freed the widget.
  template <class Call>
  bool Deliver(TWidget& widget, Call&& call);

  platform::FontCache* fonts_;
  platform::CursorSet* cursors_;
  std::vector<Entry> forms_;
  std::uint64_t serial_ = 0;
  int screenWidth_ = 0, screenHeight_ = 0;

  int mouseX_ = 0, mouseY_ = 0;
  TWidget* hovered_ = nullptr;
  TWidget* captured_ = nullptr;
  TMouseButton captureButton_ = TMouseButton::Left;
  bool clickPending_ = false;
  std::array<bool, 3> pressOnDialog_{};
  TWidget* lastClick_ = nullptr;
  std::uint32_t lastClickMs_ = 0;
  TWidget* delivering_ = nullptr;
  platform::CursorKind cursorShown_ = platform::CursorKind::Arrow;

  std::optional<double> hintSince_;
  double hintShownAt_ = 0;
  bool hintDone_ = false;
  TForm hintForm_;
  TLabel* hintLabel_ = nullptr;
};

}  // namespace platform::widgets

// A top-level dialog window: borderless, placed in screen pixels, painted in software onto
// its own 32-bit bitmap only when something changed. Pixels painted in the key colour
// (maroon) become fully transparent, which is how rounded corners are cut. A form is made
// once and then only shown and hidden; it keeps the list of its components by name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"
#include "platform/widgets/widget.h"

namespace platform {
class FontCache;
}

namespace platform::widgets {

class TWidgetHost;

// The dialogs' transparent key colour.
inline constexpr platform::Color kTransparentKey = platform::MakeColor(128, 0, 0);

class TForm : public TWidget {
 public:
  // Hidden until shown. The font cache must outlive the form.
  TForm(std::string name, platform::FontCache& fonts);
  ~TForm() override;

  platform::Color Color() const { return color_; }
  void SetColor(platform::Color color);
  // Stay-on-top forms lie above all others; within each band the last shown is on top.
  bool StayOnTop() const { return stayOnTop_; }
  void SetStayOnTop(bool stayOnTop) { stayOnTop_ = stayOnTop; }
  bool TransparentKey() const { return transparentKey_; }
  platform::Color KeyColor() const { return keyColor_; }
  void SetTransparentKey(bool enabled, platform::Color key = kTransparentKey);

  std::function<void(TForm&)> OnShow;
  std::function<void(TForm&)> OnHide;

  // The component with keyboard focus, or null. Only a focusable component of this form
  // can take it; anything else is refused (false).
  TWidget* ActiveControl() const { return activeControl_; }
  bool SetActiveControl(TWidget* control);

  // The form's picture, repainted first when something changed since the last one.
  bool NeedsRepaint() const { return dirty_; }
  const platform::Bitmap& Picture();
  // Counts repaints, so a consumer can tell whether the picture is new to it.
  std::uint64_t PaintCount() const { return paintCount_; }

  // Every widget of the form in creation order, at any depth (the form itself not included).
  const std::vector<TWidget*>& Components() const { return components_; }
  TWidget* FindComponent(std::string_view name) const;

  platform::FontCache& Fonts() const { return *fonts_; }
  TWidgetHost* Host() const { return host_; }
  // A new number each time the form joins a host, so whoever keeps per-form state can
  // tell a new form from a freed one that had the same address.
  std::uint64_t Registration() const { return registration_; }

  void Paint(TCanvas& canvas) override;

 protected:
  void VisibleChanged() override;

 private:
  friend class TWidget;
  friend class TWidgetHost;
  void MarkDirty() { dirty_ = true; }
  void Register(TWidget& widget);
  void Unregister(TWidget& widget);

  platform::FontCache* fonts_;
  TWidgetHost* host_ = nullptr;
  std::uint64_t registration_ = 0;
  platform::Color color_ = platform::MakeColor(192, 192, 192);
  bool stayOnTop_ = false;
  bool transparentKey_ = true;
  platform::Color keyColor_ = kTransparentKey;
  TWidget* activeControl_ = nullptr;
  std::vector<TWidget*> components_;
  platform::Bitmap picture_;
  bool dirty_ = true;
  std::uint64_t paintCount_ = 0;
};

}  // namespace platform::widgets

// One node of the dialogs' retained widget tree: its name, place inside its parent,
// visibility, hint, cursor, input handlers and owned children. Widgets paint themselves in
// software onto their form's bitmap; nothing here knows about SDL or OpenGL.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/bitmap.h"
#include "platform/cursor.h"

namespace platform::widgets {

class TCanvas;
class TForm;

enum class TMouseButton { Left, Right, Middle };
enum class TAlignment { Left, Center, Right };

// Text look. Sizes are in pixels (the em height).
struct TFont {
  platform::Color color = platform::MakeColor(0, 0, 0);
  int size = 11;
  bool bold = false;
  bool operator==(const TFont&) const = default;
};

class TWidget;
using TNotifyEvent = std::function<void(TWidget& sender)>;
// Mouse positions are relative to the widget's own top-left corner.
using TMouseEvent = std::function<void(TWidget& sender, TMouseButton button, int x, int y)>;
using TMouseMoveEvent = std::function<void(TWidget& sender, int x, int y)>;
// Windows virtual-key codes (platform/input.h), the codes the game stores everywhere.
using TKeyEvent = std::function<void(TWidget& sender, int vk)>;
// Wheel movement in 1/120 notches, positive turned away from the user.
using TWheelEvent = std::function<void(TWidget& sender, int delta)>;

class TWidget {
 public:
  explicit TWidget(std::string name);
  virtual ~TWidget();
  TWidget(const TWidget&) = delete;
  TWidget& operator=(const TWidget&) = delete;

  // Creates a child of type T, last in paint and component order, owned by this widget.
  template <class T, class... Args>
  T* Add(std::string name, Args&&... args) {
    auto child = std::make_unique<T>(std::move(name), std::forward<Args>(args)...);
    T* raw = child.get();
    Adopt(std::move(child));
    return raw;
  }
  // Frees a direct child and its subtree; other pointers are ignored.
  void Delete(TWidget* child);

  // The component name the text resources look captions up by.
  const std::string& Name() const { return name_; }

  // Fields that never change the picture.
  int Tag = 0;
  std::string Hint;
  bool ShowHint = false;
  platform::CursorKind Cursor = platform::CursorKind::Arrow;

  // Handlers; the host copies one before calling it, so a handler may free its own widget.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TKeyEvent OnKeyDown;
  TWheelEvent OnMouseWheel;

  // Place relative to the parent (a form's is in screen pixels). Negative sizes become 0.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Visible itself and every widget above it, the form included.
  bool Showing() const;
  // Enabled itself and every widget above it.
  bool EffectivelyEnabled() const;

  TWidget* Parent() const { return parent_; }
  int ChildCount() const { return static_cast<int>(children_.size()); }
  TWidget* Child(int index) const;
  // A direct child by name, or null.
  TWidget* FindChild(std::string_view name) const;
  // The form at the root of the tree, or null for a tree without one.
  TForm* Form() const;

  // Position of the top-left corner in the form's pixels and on the screen.
  int FormLeft() const;
  int FormTop() const;
  int ScreenLeft() const;
  int ScreenTop() const;
  bool Contains(int localX, int localY) const {
    return localX >= 0 && localY >= 0 && localX < width_ && localY < height_;
  }
  // The deepest visible widget at a point given in this widget's coordinates (this one when
  // no child is there); null when the point is outside. Later children lie on top.
  TWidget* WidgetAt(int localX, int localY);

  // Asks the form for a repaint.
  void Invalidate();

  // Keyboard focus and the keys and text an edit box takes for itself.
  virtual bool CanFocus() const { return false; }
  virtual bool HandleEditKey(int /*vk*/) { return false; }
  virtual bool HandleText(std::string_view /*utf8*/) { return false; }

  // Draws this widget (not its children) onto a canvas whose origin is its top-left corner.
  virtual void Paint(TCanvas& /*canvas*/) {}

 protected:
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}

 private:
  void Adopt(std::unique_ptr<TWidget> child);
  void DeleteChildren();
  void ForEachInSubtree(const std::function<void(TWidget&)>& visit);

  std::string name_;
  TWidget* parent_ = nullptr;
  std::vector<std::unique_ptr<TWidget>> children_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;

  friend class TForm;
};

}  // namespace platform::widgets

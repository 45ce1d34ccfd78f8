// The widget tree: ownership, places, visibility, and telling the form what changed.
#include "platform/widgets/widget.h"

#include <algorithm>

#include "platform/widgets/form.h"

namespace platform::widgets {

TWidget::TWidget(std::string name) : name_(std::move(name)) {}

TWidget::~TWidget() {
  // Children go first, while the way up to the form is still whole.
  DeleteChildren();
  if (parent_ != nullptr)
    if (TForm* form = Form()) form->Unregister(*this);
}

void TWidget::Adopt(std::unique_ptr<TWidget> child) {
  child->parent_ = this;
  TWidget& raw = *child;
  children_.push_back(std::move(child));
  if (TForm* form = Form()) raw.ForEachInSubtree([form](TWidget& w) { form->Register(w); });
  Invalidate();
}

void TWidget::ForEachInSubtree(const std::function<void(TWidget&)>& visit) {
  visit(*this);
  for (auto& c : children_) c->ForEachInSubtree(visit);
}

void TWidget::Delete(TWidget* child) {
  const auto it = std::find_if(children_.begin(), children_.end(), [child](const auto& c) { return c.get() == child; });
  if (it == children_.end()) return;
  // Out of the list before it dies, so nothing walks into a half-destroyed widget.
  std::unique_ptr<TWidget> doomed = std::move(*it);
  children_.erase(it);
  doomed.reset();
  Invalidate();
}

void TWidget::DeleteChildren() {
  while (!children_.empty()) Delete(children_.back().get());
}

void TWidget::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  // Moving a form changes where its picture goes, not the picture.
  if (parent_ != nullptr || resized) Invalidate();
  BoundsChanged();
}

void TWidget::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (parent_ != nullptr) Invalidate();
  VisibleChanged();
}

void TWidget::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
}

bool TWidget::Showing() const {
  for (const TWidget* w = this; w != nullptr; w = w->parent_)
    if (!w->visible_) return false;
  return true;
}

bool TWidget::EffectivelyEnabled() const {
  for (const TWidget* w = this; w != nullptr; w = w->parent_)
    if (!w->enabled_) return false;
  return true;
}

TWidget* TWidget::Child(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[static_cast<std::size_t>(index)].get();
}

TWidget* TWidget::FindChild(std::string_view name) const {
  for (const auto& c : children_)
    if (c->name_ == name) return c.get();
  return nullptr;
}

TForm* TWidget::Form() const {
  const TWidget* root = this;
  while (root->parent_ != nullptr) root = root->parent_;
  return dynamic_cast<TForm*>(const_cast<TWidget*>(root));
}

int TWidget::FormLeft() const {
  int x = 0;
  for (const TWidget* w = this; w->parent_ != nullptr; w = w->parent_) x += w->left_;
  return x;
}

int TWidget::FormTop() const {
  int y = 0;
  for (const TWidget* w = this; w->parent_ != nullptr; w = w->parent_) y += w->top_;
  return y;
}

int TWidget::ScreenLeft() const {
  int x = 0;
  for (const TWidget* w = this; w != nullptr; w = w->parent_) x += w->left_;
  return x;
}

int TWidget::ScreenTop() const {
  int y = 0;
  for (const TWidget* w = this; w != nullptr; w = w->parent_) y += w->top_;
  return y;
}

TWidget* TWidget::WidgetAt(int localX, int localY) {
  if (!Contains(localX, localY)) return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    TWidget& c = **it;
    if (!c.visible_) continue;
    if (TWidget* hit = c.WidgetAt(localX - c.left_, localY - c.top_)) return hit;
  }
  return this;
}

void TWidget::Invalidate() {
  if (TForm* form = Form()) form->MarkDirty();
}

}  // namespace platform::widgets

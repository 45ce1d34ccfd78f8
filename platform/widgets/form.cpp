// Forms: painting the tree onto the form's bitmap, the transparent key, components.
#include "platform/widgets/form.h"

#include <algorithm>

#include "platform/widgets/canvas.h"
#include "platform/widgets/host.h"

namespace platform::widgets {
namespace {

void PaintTree(TWidget& widget, TCanvas& canvas) {
  widget.Paint(canvas);
  for (int i = 0; i < widget.ChildCount(); ++i) {
    TWidget& child = *widget.Child(i);
    if (!child.Visible()) continue;
    TCanvas sub = canvas.Sub(child.Left(), child.Top(), child.Width(), child.Height());
    if (!sub.ClipEmpty()) PaintTree(child, sub);
  }
}

}  // namespace

TForm::TForm(std::string name, platform::FontCache& fonts) : TWidget(std::move(name)), fonts_(&fonts) {
  // Dialogs are made at start and shown later.
  SetVisible(false);
}

TForm::~TForm() {
  DeleteChildren();
  if (host_ != nullptr) host_->RemoveForm(*this);
}

void TForm::SetColor(platform::Color color) {
  if (color == color_) return;
  color_ = color;
  MarkDirty();
}

void TForm::SetTransparentKey(bool enabled, platform::Color key) {
  if (enabled == transparentKey_ && key == keyColor_) return;
  transparentKey_ = enabled;
  keyColor_ = key;
  MarkDirty();
}

bool TForm::SetActiveControl(TWidget* control) {
  if (control != nullptr && (!control->CanFocus() || control->Form() != this || control == this)) return false;
  if (control == activeControl_) return true;
  activeControl_ = control;
  MarkDirty();  // the caret moves
  return true;
}

const platform::Bitmap& TForm::Picture() {
  if (!dirty_) return picture_;
  if (picture_.Width() != Width() || picture_.Height() != Height() || picture_.Bits() != 32) {
    if (Width() > 0 && Height() > 0) picture_.Create(Width(), Height(), 32);
    else picture_.Clear();
  }
  if (!picture_.Empty()) {
    TCanvas canvas(picture_, *fonts_);
    PaintTree(*this, canvas);
    for (int y = 0; y < picture_.Height(); ++y) {
      std::uint8_t* p = picture_.Scanline(y);
      for (int x = 0; x < picture_.Width(); ++x, p += 4) {
        const bool key = transparentKey_ && platform::MakeColor(p[2], p[1], p[0]) == keyColor_;
        p[3] = key ? 0 : 255;
      }
    }
  }
  dirty_ = false;
  ++paintCount_;
  return picture_;
}

TWidget* TForm::FindComponent(std::string_view name) const {
  for (TWidget* w : components_)
    if (w->Name() == name) return w;
  return nullptr;
}

void TForm::Paint(TCanvas& canvas) { canvas.FillRect(0, 0, Width(), Height(), color_); }

void TForm::VisibleChanged() {
  if (host_ != nullptr) host_->FormVisibilityChanged(*this);
  if (Visible()) {
    if (OnShow) {
      auto handler = OnShow;
      handler(*this);
    }
  } else if (OnHide) {
    auto handler = OnHide;
    handler(*this);
  }
}

void TForm::Register(TWidget& widget) { components_.push_back(&widget); }

void TForm::Unregister(TWidget& widget) {
  components_.erase(std::remove(components_.begin(), components_.end(), &widget), components_.end());
  if (activeControl_ == &widget) activeControl_ = nullptr;
  if (host_ != nullptr) host_->Forget(widget);
}

}  // namespace platform::widgets

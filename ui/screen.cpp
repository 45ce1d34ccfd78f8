// The still image and the dialog forms as HUD sprites of a scene of their own.
#include "ui/screen.h"

#include <algorithm>

#include "platform/widgets/form.h"
#include "platform/widgets/host.h"
#include "platform/window.h"

namespace ui {
namespace {

using platform::widgets::TForm;

// Forms are drawn pixel for pixel; their cut corners are alpha 0.
void SetUpFormMaterial(TGLMaterial& m) {
  m.MaterialOptions = moNoLighting | moIgnoreFog;
  m.FrontProperties.Diffuse.SetColor(1, 1, 1, 1);
  m.BlendingMode = bmAlphaTest50;
  m.Texture.TextureMode = tmReplace;
  m.Texture.MinFilter = miNearest;
  m.Texture.MagFilter = maNearest;
  m.Texture.TextureWrap = twNone;
}

}  // namespace

TScreenCompositor::TScreenCompositor(platform::Window& window, platform::widgets::TWidgetHost& host)
    : window_(window), host_(host) {
  camera_ = scene_.Objects().AddNewChild<TGLCamera>();
  buffer_.Camera = camera_;
  buffer_.BackgroundColor = 0;  // black where there is no still image
  still_ = scene_.Objects().AddNewChild<TGLHUDSprite>();
  still_->Visible = false;
  TGLMaterial& m = still_->Material;
  m.MaterialOptions = moNoLighting | moIgnoreFog;
  m.FrontProperties.Diffuse.SetColor(1, 1, 1, 1);
  m.Texture.TextureMode = tmReplace;
  m.Texture.SetImageAlpha(tiaOpaque);
  m.Texture.MinFilter = miLinear;  // stretched to the window, never shrunk far
  m.Texture.MagFilter = maLinear;
  m.Texture.TextureWrap = twNone;
}

void TScreenCompositor::SetStillImage(const platform::Bitmap& image) {
  if (image.Empty()) {
    ClearStillImage();
    return;
  }
  still_->Material.Texture.AssignBitmap(image);
  hasStill_ = still_->Material.Texture.HasImage();
  ++stillRevision_;
  ++uploads_;
}

void TScreenCompositor::ClearStillImage() {
  still_->Material.Texture.SetImage(0, 0, nullptr);
  hasStill_ = false;
  ++stillRevision_;
}

std::vector<TForm*> TScreenCompositor::DrawOrder() const {
  std::vector<TForm*> order;
  for (TForm* f : host_.ZOrder())
    if (f->Visible() && f->Width() > 0 && f->Height() > 0) order.push_back(f);
  if (host_.HintShowing()) order.push_back(&host_.HintForm());
  return order;
}

TScreenCompositor::Layer& TScreenCompositor::LayerFor(TForm& form) {
  for (Layer& l : layers_)
    if (l.form == &form) return l;
  auto* sprite = scene_.Objects().AddNewChild<TGLHUDSprite>();
  SetUpFormMaterial(sprite->Material);
  layers_.push_back({&form, form.Registration(), sprite, 0});
  return layers_.back();
}

void TScreenCompositor::Place(Layer& layer, TForm& form) {
  const platform::Bitmap& picture = form.Picture();
  if (layer.paintCount != form.PaintCount()) {
    layer.sprite->Material.Texture.AssignBitmap(picture);
    layer.paintCount = form.PaintCount();
    ++uploads_;
  }
  const float w = static_cast<float>(form.Width()), h = static_cast<float>(form.Height());
  layer.sprite->Position.SetPoint(static_cast<float>(form.Left()) + w / 2, static_cast<float>(form.Top()) + h / 2, 0);
  layer.sprite->SetSize(w, h);
  layer.sprite->Visible = true;
}

void TScreenCompositor::Sync() {
  // Forget forms that left the host, and freed ones whose address a new form took.
  std::vector<TForm*> known = host_.ZOrder();
  known.push_back(&host_.HintForm());
  for (auto it = layers_.begin(); it != layers_.end();) {
    const auto found = std::find(known.begin(), known.end(), it->form);
    if (found == known.end() || (*found)->Registration() != it->registration) {
      it->sprite->Free();
      it = layers_.erase(it);
    } else {
      ++it;
    }
  }

  const std::vector<TForm*> order = DrawOrder();
  for (Layer& l : layers_) l.sprite->Visible = false;
  std::vector<TGLBaseSceneObject*> wanted;
  for (TForm* f : order) {
    Layer& l = LayerFor(*f);
    Place(l, *f);
    wanted.push_back(l.sprite);
  }

  // The scene draws HUD sprites in tree order: put the shown ones in z-order.
  std::vector<TGLBaseSceneObject*> current;
  TGLBaseSceneObject& root = scene_.Objects();
  for (int i = 0; i < root.Count(); ++i)
    if (root.Children(i)->Visible && root.Children(i) != still_ && root.Children(i) != camera_)
      current.push_back(root.Children(i));
  if (current != wanted)
    for (TGLBaseSceneObject* s : wanted) root.AdoptChild(root.ExtractChild(s));
}

std::vector<TScreenCompositor::Shown> TScreenCompositor::CurrentShown() const {
  std::vector<Shown> shown;
  for (TForm* f : DrawOrder()) shown.push_back({f, f->Left(), f->Top(), f->PaintCount()});
  return shown;
}

bool TScreenCompositor::NeedsPresent() const {
  for (TForm* f : DrawOrder())
    if (f->NeedsRepaint()) return true;
  const bool still = stillShown_ && hasStill_;
  if (window_.Width() != lastWidth_ || window_.Height() != lastHeight_) return true;
  return CurrentShown() != lastShown_ || still != lastStill_ || (still && stillRevision_ != lastStillRevision_);
}

void TScreenCompositor::Draw(bool clear, bool still) {
  if (!window_.IsOpen()) return;
  window_.MakeCurrent();
  const int w = std::max(1, window_.Width()), h = std::max(1, window_.Height());
  buffer_.SetSize(w, h);
  buffer_.ClearBeforeRender = clear;
  still_->Visible = still && stillShown_ && hasStill_;
  still_->Position.SetPoint(static_cast<float>(w) / 2, static_cast<float>(h) / 2, 0);
  still_->SetSize(static_cast<float>(w), static_cast<float>(h));
  Sync();
  buffer_.Render();
  lastShown_ = CurrentShown();
  lastWidth_ = w;
  lastHeight_ = h;
  lastStill_ = still && stillShown_ && hasStill_;
  lastStillRevision_ = stillRevision_;
}

void TScreenCompositor::PresentOverView() { Draw(false, false); }

void TScreenCompositor::Compose() { Draw(true, true); }

void TScreenCompositor::PresentNow() {
  Compose();
  window_.SwapBuffers();
}

}  // namespace ui

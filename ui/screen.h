// What is on screen besides the 3D view: the main window's still image (stretched over the
// window; black when there is none) and the dialog forms in z-order with the hint on top,
// drawn through the scene layer as pixel-space sprites. A form's texture is re-made only
// when its picture changed, since uploading whole forms every frame is slow without a GPU.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bitmap.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "scene/sprite.h"
#include "scene/viewer.h"

namespace platform {
class Window;
namespace widgets {
class TForm;
class TWidgetHost;
}  // namespace widgets
}  // namespace platform

namespace ui {

class TScreenCompositor {
 public:
  TScreenCompositor(platform::Window& window, platform::widgets::TWidgetHost& host);
  TScreenCompositor(const TScreenCompositor&) = delete;
  TScreenCompositor& operator=(const TScreenCompositor&) = delete;

  // The main window's still image (a snapshot of the paused game or the last screenshot).
  void SetStillImage(const platform::Bitmap& image);
  void ClearStillImage();
  bool HasStillImage() const { return hasStill_; }
  // Whether the still image is drawn by PresentNow (the 3D view is hidden).
  void ShowStill(bool shown) { stillShown_ = shown; }
  bool StillShown() const { return stillShown_; }

  // Draws the visible forms and the hint over whatever the framebuffer holds; for the
  // viewer's after-render hook, so dialogs lie over the 3D frame before it is shown.
  void PresentOverView();
  // Clears to black, draws the still image when shown, then the forms and the hint, but
  // does not show the frame.
  void Compose();
  // Compose and show: the screen while the 3D view is hidden, and the synchronous repaint
  // of a progress dialog while the main thread is busy.
  void PresentNow();

  // True when a visible form or the hint changed since the last frame drawn here, so a
  // loop with nothing else to draw can skip the frame.
  bool NeedsPresent() const;

  // Pictures handed to textures so far (forms' and the still image's): a form costs one
  // only when it was repainted.
  std::uint64_t Uploads() const { return uploads_; }

 private:
  struct Layer {
    const platform::widgets::TForm* form;
    std::uint64_t registration;
    TGLHUDSprite* sprite;
    std::uint64_t paintCount;  // of the picture now in the texture; 0 before the first
  };
  void Draw(bool clear, bool still);
  void Sync();
  Layer& LayerFor(platform::widgets::TForm& form);
  void Place(Layer& layer, platform::widgets::TForm& form);
  std::vector<platform::widgets::TForm*> DrawOrder() const;

  platform::Window& window_;
  platform::widgets::TWidgetHost& host_;
  TGLScene scene_;
  TGLCamera* camera_;
  TGLSceneBuffer buffer_;
  TGLHUDSprite* still_;
  bool hasStill_ = false;
  bool stillShown_ = false;
  std::vector<Layer> layers_;
  std::uint64_t uploads_ = 0;
  // What the last frame showed, to tell whether a new one is needed.
  struct Shown {
    const platform::widgets::TForm* form;
    int left, top;
    std::uint64_t paintCount;
    bool operator==(const Shown&) const = default;
  };
  std::vector<Shown> lastShown_;
  int lastWidth_ = 0, lastHeight_ = 0;  // of the window at the last frame drawn here
  bool lastStill_ = false;
  std::uint64_t stillRevision_ = 0, lastStillRevision_ = 0;
  std::vector<Shown> CurrentShown() const;
};

}  // namespace ui

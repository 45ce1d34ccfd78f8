// The scene root, its cameras and the per-frame progress walk.
#include "scene/scene.h"

#include "scene/camera.h"

namespace {
void CollectCameras(const TGLBaseSceneObject& o, std::vector<TGLCamera*>& out) {
  for (int i = 0; i < o.Count(); ++i) {
    TGLBaseSceneObject* c = o.Children(i);
    if (auto* cam = dynamic_cast<TGLCamera*>(c)) out.push_back(cam);
    CollectCameras(*c, out);
  }
}
}  // namespace

TGLScene::TGLScene() : root_(std::make_unique<TGLDummyCube>()) { root_->scene_ = this; }

TGLScene::~TGLScene() {
  doomed_.clear();
  root_->DeleteChildren();
}

std::vector<TGLCamera*> TGLScene::Cameras() const {
  std::vector<TGLCamera*> out;
  CollectCameras(*root_, out);
  return out;
}

void TGLScene::Progress(double deltaTime, double newTime) {
  progressing_ = true;
  root_->DoProgress(deltaTime, newTime);
  progressing_ = false;
  doomed_.clear();
}

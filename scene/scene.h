// TGLScene: the root of the scene tree and the list of cameras; advances every object
// once a frame. Deleting the scene deletes every object in it.
#pragma once

#include <vector>

#include "scene/baseobject.h"

class TGLCamera;

class TGLScene {
 public:
  TGLScene();
  ~TGLScene();
  TGLScene(const TGLScene&) = delete;
  TGLScene& operator=(const TGLScene&) = delete;

  // The root of every object; create scene objects as its children (or their descendants).
  TGLBaseSceneObject& Objects() { return *root_; }
  const TGLBaseSceneObject& Objects() const { return *root_; }
  // Every camera under the root, in tree order.
  std::vector<TGLCamera*> Cameras() const;

  void Progress(double deltaTime, double newTime);
  void DeleteAllObjects() { root_->DeleteChildren(); }

  // During Progress an object that frees itself is only detached; it is deleted when the
  // walk is over, so the code still running inside it stays valid.
  bool Progressing() const { return progressing_; }
  void DeferFree(std::unique_ptr<TGLBaseSceneObject> object) { doomed_.push_back(std::move(object)); }

 private:
  std::unique_ptr<TGLBaseSceneObject> root_;
  bool progressing_ = false;
  std::vector<std::unique_ptr<TGLBaseSceneObject>> doomed_;
};

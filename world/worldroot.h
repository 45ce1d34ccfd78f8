// TTRVWorldRoot: the cube every object of a running world hangs under. It gathers the frame's
// drawing in tree order but one: the sectors' ground comes after everything that stands on it
// (trees, walls, units, grass), just before the sky. The software renderer tests depth before
// it textures, so every ground pixel a wall or a tree already covers then costs almost
// nothing, and the ground's several layers are the dearest pixels of the frame.
#pragma once

#include "scene/baseobject.h"

class TTRVWorldRoot : public TGLDummyCube {
 public:
  // The child whose direct drawing is the ground (the sectors' cube), and the child the
  // ground is drawn before (the sky); without the latter the ground goes last.
  TGLBaseSceneObject* groundSource = nullptr;
  TGLBaseSceneObject* groundBefore = nullptr;

  void BuildList(TRenderContext& rci) override;
};

// The chase camera's glide. The eye's height is bounded both ways: never under the ground
// beneath it, and never more than 1 above the target, which wins when the ground asks for more
// (on a steep slope the view then looks through the hill rather than over the unit).
#include "game/camerafollow.h"

#include <algorithm>

#include "world/queries.h"
#include "world/world.h"

void FollowCamera(TTRVWorld& world, float dt) {
  const TTRVWorldContext& context = world.Context();
  TGLBaseSceneObject* eye = context.cockpit.cameraEye;
  TGLBaseSceneObject* camera = context.camera;
  if (!eye || !camera || !context.cameraTarget) return;
  const TTRVGroundView ground = GroundOf(world);

  // The mouse's height over the view tilts it: the pointer above the centre lowers the eye.
  float y = eye->Position.Y();
  if (context.cockpit.controls) y -= context.cockpit.controls->steerY * dt;
  eye->Position.SetY(y);
  const float lowest = TopHeight(ground, eye->AbsoluteAffinePosition()) - context.cameraTarget->Position.Y() + 0.5f;
  y = std::max(y, lowest);
  eye->Position.SetY(std::min(y, 1.0f));
  if (context.cockpit.zoomAccumulator) eye->Position.SetZ(static_cast<float>(*context.cockpit.zoomAccumulator) / 200);

  // The camera closes on its eye by (1 - 2 dt)^2 a frame.
  const float keep = (1 - 2 * dt) * (1 - 2 * dt);
  const TAffineVector target = eye->AbsoluteAffinePosition();
  TAffineVector at = camera->Position.AsAffineVector();
  at = target + (at - target) * keep;
  at.y = std::max(at.y, TopHeight(ground, at) + 0.5f);
  camera->Position.SetPoint(at);
}

// The aim point from the depth buffer, unprojected with the frame's own matrices.
#include "game/aimpoint.h"

#include <glm/gtc/matrix_transform.hpp>

#include "scene/camera.h"
#include "scene/gl.h"
#include "scene/rendercontext.h"
#include "world/world.h"

std::optional<TAffineVector> ReadAimPoint(const TTRVWorld& world, const TRenderContext& rci) {
  const TTRVWorldContext& context = world.Context();
  const TTRVCockpit& cockpit = context.cockpit;
  // The bake camera draws the same scene from above; its depth says nothing of the mouse.
  if (!cockpit.controls || !cockpit.mouseX || !cockpit.mouseY || !context.camera || rci.camera != context.camera)
    return std::nullopt;
  const int x = *cockpit.mouseX, y = rci.viewportHeight - 1 - *cockpit.mouseY;
  if (x < 0 || y < 0 || x >= rci.viewportWidth || y >= rci.viewportHeight) return std::nullopt;
  GLfloat depth = 1;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  const glm::vec3 point = glm::unProject(glm::vec3(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, depth),
                                         rci.view, rci.projection,
                                         glm::vec4(0, 0, rci.viewportWidth, rci.viewportHeight));
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return std::nullopt;
  return TAffineVector(point);
}

// The shared player step; the camera rig and the controls are the engine's, lent through the
// world's cockpit, and a headless game without them keeps the unit's own control block.
#include "units/playerstep.h"

#include <algorithm>
#include <vector>

#include "units/entity.h"
#include "units/targets.h"

void StepPlayerCommon(TTRVEntity& unit, float dt) {
  const TTRVWorldContext& context = unit.world->Context();
  const TTRVCockpit& cockpit = context.cockpit;
  const TTRVUnitTypeInfo& info = unit.TypeInfo();
  if (unit.Wrecked()) cockpit.Report(TTRVStatus::Failed, info.lostReason);
  if (cockpit.controls) unit.controls = *cockpit.controls;

  const TAffineVector position = unit.AbsoluteAffinePosition();
  TTRVControlBlock& c = unit.controls;
  const TTRVTrace sight = TraceSegment(GroundOf(*unit.world), position, TAffineVector(c.aimPoint));
  c.aimPoint = TVector(sight.lastVisible, 1);

  // The eye itself is the camera follow's (game step): it reads the zoom clamped here and
  // the camera target placed here in the next step.
  if (cockpit.zoomAccumulator)
    *cockpit.zoomAccumulator = std::clamp(*cockpit.zoomAccumulator, info.zoomMin, info.zoomMax);
  if (TGLBaseSceneObject* cameraTarget = context.cameraTarget) {
    cameraTarget->Position.SetPoint(position + TAffineVector(0, info.cameraHeight, 0));
    if (unit.state.unitType == utBoat) {
      // The boat's view swings around it with the mouse instead of looking along its bow.
      cameraTarget->Turn(-dt * c.steerX * 100);
    } else {
      cameraTarget->Direction.SetVector(TAffineVector(unit.AbsoluteDirection()));
    }
  }

  // The unit under the cross-hair is the one the player's rockets and the HUD follow.
  const TGLBaseSceneObject* eye = context.camera ? static_cast<const TGLBaseSceneObject*>(context.camera)
                                                 : cockpit.cameraEye;
  const TAffineVector from = eye ? eye->AbsoluteAffinePosition() : position;
  std::vector<TTRVUnitRef> units;
  CollectUnitRefs(*unit.world, units);
  const TTRVUnitRef* picked = PickUnit(units, from, TAffineVector(c.aimPoint), &unit);
  unit.target = picked ? dynamic_cast<TTRVEntity*>(picked->object) : nullptr;
}

// The part of the player's step that the helicopter, the tank and the boat share: the lost
// mission, the engine's controls, an aim that never passes through a hill, the zoom range and
// the camera target (the camera follow moves the eye after them) and the unit under the
// cross-hair. Each type's own player step runs this first.
#pragma once

class TTRVEntity;

void StepPlayerCommon(TTRVEntity& unit, float dt);

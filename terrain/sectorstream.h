// Streaming the sectors around the camera: every three seconds of game time the detail-level
// table is laid over the camera's sector, missing sectors in range are created (loaded from
// the world stream, or open sea), every sector in the table is given its level, and sectors
// whose time to live ran out are destroyed.
#pragma once

#include "scene/vectorgeometry.h"

class TTRVWorld;
class TTRVSector;

inline constexpr float kSectorUpdateInterval = 3.0f;

// Lays out what the sectors need from the world: the detail-level table for the view
// distance setting (and viewRange), the sky dome's radius at the fog end, the two imposter
// builders and the grass mask. Run once when the world is created (again if the settings
// change).
void PrepareSectors(TTRVWorld& world);

// The existing sector with these indices: the one in the column cube tagged sx whose sectorZ is
// sz. Null when there is none.
TTRVSector* FindSector(const TTRVWorld& world, int sx, int sz);
// The sector under a world position.
TTRVSector* SectorAt(const TTRVWorld& world, const TAffineVector& position);
// FindSector, or a new sector: open sea outside the stored map or where no record is stored,
// loaded otherwise. Null when the world holds no stream.
TTRVSector* GetOrCreateSector(TTRVWorld& world, int sx, int sz);

// One pass of the table around the camera position, then the expired sectors and empty
// columns are freed.
void UpdateSectors(TTRVWorld& world, const TAffineVector& camera);

// The sectors' share of a world step. First every sector waiting for its texture is baked;
// when any was, the answer is true and the step should skip its simulation this frame.
// Otherwise the sector timer runs and, past three seconds, the sectors are updated around
// the camera (the context's camera, else its camera target); then the grass follows the camera.
bool StepSectors(TTRVWorld& world, float dt);

// The top-down bake of a sector's ground: its full-detail ground, drawn in layers, and its
// water, and nothing else, rendered from straight above into the texture the coarse levels
// wear.
#pragma once

#include <string>

class TTRVSector;
class TTRVWorld;

// Name of a sector's baked material in the world's library: "D@<sx>@<sz>".
std::string BakedMaterialName(int sectorX, int sectorZ);

// Bakes every sector that still needs it (open sea never does). Answers the number baked, so
// the step can skip its simulation in a frame that baked. Without a GL context the sectors
// are marked baked with an empty texture.
int BakePendingSectors(TTRVWorld& world);
// Renders one sector's ground and water into the world's bake viewer, from straight above,
// and copies the picture into the sector's baked material.
void BakeGroundTexture(TTRVSector& sector);

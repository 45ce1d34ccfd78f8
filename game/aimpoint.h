// The point under the mouse: read from the depth the frame has drawn so far (the ground, the
// objects and the units are in; effects and HUD come later), so the player aims at whatever
// they see there, far hills included. It is read while a frame is drawn, after that frame's
// step: the game keeps it and hands it to the next step (TTRVGame::HandOverAimPoint), so the
// step never reads a value that drawing changes under it.
#pragma once

#include <optional>

#include "scene/vectorgeometry.h"

struct TRenderContext;
class TTRVWorld;

// The world point under the pointer. Only in frames drawn from the player's camera with the
// pointer over the view; none otherwise, and the aim then stays where it was.
std::optional<TAffineVector> ReadAimPoint(const TTRVWorld& world, const TRenderContext& rci);

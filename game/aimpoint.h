// The point under the mouse: read from the depth the frame has drawn so far (the ground, the
// objects and the units are in; effects and HUD come later), so the player aims at whatever
// they see there, far hills included.
#pragma once

struct TRenderContext;
class TTRVWorld;

// Writes the engine's aim point and moves the world's aim marker there. Only in frames drawn
// from the player's camera with the pointer over the view; otherwise the aim stays.
void ReadAimPoint(TTRVWorld& world, const TRenderContext& rci);

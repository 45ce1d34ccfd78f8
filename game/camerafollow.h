// The chase camera: every step the eye (a child of the camera target, which the player's unit
// moves) tilts with the mouse, keeps above the ground and at the zoomed distance, and the
// camera glides after it, never sinking into a hill. This is the only code that moves the
// eye: the player's unit clamps the zoom to its vehicle's range and places the camera target,
// and this step reads both.
#pragma once

class TTRVWorld;

// Moves the context's eye and camera; does nothing without a camera, an eye or a target.
void FollowCamera(TTRVWorld& world, float dt);

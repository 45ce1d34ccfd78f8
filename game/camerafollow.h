// The chase camera: every step the eye (a child of the camera target, which the player's unit
// moves) keeps above the ground and at the zoomed distance, and the camera glides after it,
// never sinking into a hill.
#pragma once

class TTRVWorld;

// Moves the context's camera after its eye; does nothing without a camera, an eye or a target.
void FollowCamera(TTRVWorld& world, float dt);

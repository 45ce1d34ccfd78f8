// The turret's two steps: the virtual gunner that picks a target and says where to aim and
// whether to fire, and the gun that turns its head toward that aim, fires when it bears and
// burns once when destroyed. A turret never moves and is never the player's unit; while far
// it does nothing at all (the common frame hides it and calls no step).
#pragma once

class TTRVEntity;

// The gunner, every near frame: re-thinks its target on the shared AI timer, then aims at the
// target's aim node as far as the ground lets it see and fires only while the whole line is
// clear. Without a target it stops firing and leaves the aim where it was.
void StepTurretAI(TTRVEntity& unit, float dt);

// The gun, every near frame, alive or wrecked: a wreck smokes, hides its head and explodes
// once; a live turret turns its pivot and pitches its head toward controls.aimPoint at
// bounded rates, runs its reload timers down and fires its weapon when asked and on target.
void StepTurretGun(TTRVEntity& unit, float dt);

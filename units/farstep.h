// The far step: what a helicopter, tank or boat out of the camera's reach does instead of its
// AI and physics. Once a second it fights anything close by in the abstract, then advances on
// its main enemy's base, holds near its own or roams toward the player, walking the world's
// whole-map fields. It never fires, plays or shows anything, and never touches a turret.
#pragma once

class TTRVEntity;

// Far enemies closer than this fight each other in the abstract instead of moving.
inline constexpr float kFarCombatRadius = 16;
// Where a far wreck is put out of the way.
inline constexpr float kFarWreckHeight = -100;
// Seconds between two far steps of a unit.
inline constexpr float kFarStepInterval = 1;

// One frame of dt seconds for a far unit (the `far` hook of the helicopter, tank and boat).
// Every side index, beacon, region and the camera target is checked: whatever is missing
// leaves out the part of the step that needs it.
void FarStep(TTRVEntity& unit, float dt);

// How the sides stand: the units each side still has, counted once a step after everything
// that can destroy one (the HUD and the mission rules read the counts); and, before the units
// move, from those counts, its strength near the camera (which scales how close computer
// units close in), the enemy each side turns on, and which beaten sides fall back to defend.
#pragma once

class TTRVWorld;

// Recounts every side's live units by type into its aliveCounts.
void CountAliveUnits(TTRVWorld& world);

// From the counts: each side's strength (0.06 per helicopter, 0.12 per tank and 0.18 per boat
// alive and near the camera, at most 1), its main enemy (the other side with the most units
// alive, the lower index on a tie, 0 when no other side has any) and, unless the stances were
// preset, the defending flag of every side but the player's (below a quarter of its starting
// vehicles, or none to start with).
void UpdateSideStandings(TTRVWorld& world);

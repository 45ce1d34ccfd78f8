// How the engine makes worlds: a new game from a world file or a saved game, with the
// engine's scene, camera, settings and loading dialog. Kept apart from the engine so the engine's rules can
// be tested with stand-in worlds.
#pragma once

class TTRVEngine;

// Sets the engine's NewGameLoader (islands of the program folder's worlds/) and its
// SavedGameLoader (save/<name>.TRV over the island it names).
void InstallWorldFactories(TTRVEngine& engine);

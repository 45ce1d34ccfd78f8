// How the engine makes worlds: a new game from a world file, with the engine's scene,
// camera, settings and loading dialog. Kept apart from the engine so the engine's rules can
// be tested with stand-in worlds.
#pragma once

class TTRVEngine;

// Sets the engine's NewGameLoader to load islands from the program folder's worlds/.
void InstallWorldFactories(TTRVEngine& engine);

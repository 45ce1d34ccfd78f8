// What of a running world a save holds. Writing it is TTRVGame::SaveGame, building a game back
// from it LoadSavedGame (game/game.h); both live in saveload.cpp.
#pragma once

#include "game/savegame.h"
#include "world/world.h"

// The world's set-up and every unit of every side container, as a save stores them.
TTRVSaveData CollectSave(const TTRVWorld& world);

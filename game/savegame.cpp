// Saved games: reading and writing.
#include "game/savegame.h"

TTRVExtractLoadGameData ReadSaveHeader(const std::filesystem::path&) { return {}; }

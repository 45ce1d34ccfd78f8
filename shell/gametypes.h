// Names of the twelve game types (unit type x mission) as the dialogs show them, and the
// jingle that announces a game type's objective.
#pragma once

#include <string>

#include "config/textids.h"

// "Air superiority", "Pozemní útok", ...; out-of-range numbers give "".
std::string GameTypeName(int unitType, int mission, TTRVLanguage language);

// "obj" + unit type digit + mission digit, where the ground and sea games that share an
// objective with another type share its jingle too; out-of-range numbers give "".
std::string ObjectiveJingleName(int unitType, int mission);

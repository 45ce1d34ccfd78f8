// The HUD theme's pictures for the forge's other steps (the help pictures show the same art
// the game draws over the 3D view). Every picture is cut out of pure black.
#pragma once

#include <string>

#include "world/themefile.h"

namespace forge {

// The theme "HUD" as records, not written anywhere: false with a message when a picture could
// not be drawn (the numbers need the font).
bool HudThemeData(TTRVThemeFileData& theme, std::string& error);

}  // namespace forge

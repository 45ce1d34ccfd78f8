// How the options, skirmish and world-creation dialogs show a setting that is on or off: the
// word in the player's language and its colour (green on; red off, or grey where off is
// merely unused rather than a warning).
#pragma once

#include <string>

#include "config/textids.h"
#include "platform/bitmap.h"

namespace ui {

std::string OnOffText(bool on, TTRVLanguage language);
platform::Color OnOffColor(bool on, bool greyWhenOff = false);

}  // namespace ui

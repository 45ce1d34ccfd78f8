// The on/off words and colours.
#include "ui/onoff.h"

namespace ui {

std::string OnOffText(bool on, TTRVLanguage language) {
  return TextString(on ? TextId::Enabled : TextId::Disabled, language);
}

platform::Color OnOffColor(bool on, bool greyWhenOff) {
  if (on) return platform::MakeColor(0, 128, 0);
  return greyWhenOff ? platform::MakeColor(128, 128, 128) : platform::MakeColor(255, 0, 0);
}

}  // namespace ui

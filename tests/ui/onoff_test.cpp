// A setting shown on or off: the word follows the player's language, and an off setting is
// red unless the dialog asks for grey.
#include <gtest/gtest.h>

#include "ui/onoff.h"

namespace {

TEST(OnOff, TheWordFollowsTheLanguageAndOffIsRedOrGrey) {
  const platform::Color green = platform::MakeColor(0, 128, 0), red = platform::MakeColor(255, 0, 0),
                        grey = platform::MakeColor(128, 128, 128);
  const struct {
    bool on;
    bool greyWhenOff;
    TTRVLanguage language;
    const char* text;
    platform::Color colour;
  } cases[] = {
      {true, false, TTRVLanguage::English, "Enabled", green},
      {true, true, TTRVLanguage::Czech, "Ano", green},  // grey is only for off
      {false, false, TTRVLanguage::English, "Disabled", red},
      {false, true, TTRVLanguage::Czech, "Ne", grey},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ui::OnOffText(c.on, c.language), c.text) << c.on << c.greyWhenOff;
    EXPECT_EQ(ui::OnOffColor(c.on, c.greyWhenOff), c.colour) << c.on << c.greyWhenOff;
  }
}

}  // namespace

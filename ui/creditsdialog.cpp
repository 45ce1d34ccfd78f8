// Credits dialog layout.
#include "ui/creditsdialog.h"

#include <string>

#include "platform/input.h"

namespace ui {

using platform::widgets::TAlignment;
using platform::widgets::TFont;

namespace {
constexpr int kCreditsWidth = 520;
constexpr int kCreditsHeight = 330;
constexpr int kButtonWidth = 110;
}  // namespace

TFormCredits::TFormCredits(platform::FontCache& fonts)
    : TTextPageForm("FormCredits", fonts, 0.5, 0.5, kCreditsWidth, kCreditsHeight, "Credits", 20) {
  const char* lines[kLines] = {"Morvane Field Command",
                               "A combat game of helicopters, tanks and boats",
                               "Design, programming and game data: the Morvane team",
                               "Islands, sounds and music",
                               "Every island, model, sound and tune is made by the game's own tools",
                               "Texts in English and Czech",
                               "Thank you for playing!"};
  for (int i = 0; i < kLines; ++i) {
    const bool heading = i % 3 == 0;
    AddText(Body(), "LabelCredits" + std::to_string(i), lines[i], 10, 60 + 28 * i, BodyWidth() - 20, 22,
            TFont{heading ? look::kTitleText : look::kText, heading ? 15 : 13, heading}, TAlignment::Center);
  }
  ok_ = AddRowButton("PanelOK", "OK", (BodyWidth() - kButtonWidth) / 2, kButtonWidth);
  PressOnKeys({platform::vk::Escape, platform::vk::Return}, *ok_);
}

}  // namespace ui

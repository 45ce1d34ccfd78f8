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
constexpr int kCreditsBody = kCreditsWidth - 2 * kRimSize;
constexpr int kButtonHeight = 30;
}  // namespace

TFormCredits::TFormCredits(platform::FontCache& fonts) : TDialogForm("FormCredits", fonts, 0.5, 0.5) {
  SetBounds(0, 0, kCreditsWidth, kCreditsHeight);
  auto* body = AddBody();
  AddTitle(*body, "Credits", 12, 20);
  const char* lines[kLines] = {"Morvane Field Command",
                               "A combat game of helicopters, tanks and boats",
                               "Design, programming and game data: the Morvane team",
                               "Islands, sounds and music",
                               "Every island, model, sound and tune is made by the game's own tools",
                               "Texts in English and Czech",
                               "Thank you for playing!"};
  for (int i = 0; i < kLines; ++i) {
    const bool heading = i % 3 == 0;
    AddText(*body, "LabelCredits" + std::to_string(i), lines[i], 10, 60 + 28 * i, kCreditsBody - 20, 22,
            TFont{heading ? look::kTitleText : look::kText, heading ? 15 : 13, heading}, TAlignment::Center);
  }
  ok_ = AddButton(*body, "PanelOK", "OK", (kCreditsBody - 110) / 2, kCreditsHeight - 2 * kRimSize - kButtonHeight - 18,
                  110, kButtonHeight);
  OnKeyDown = [this](platform::widgets::TWidget&, int vk) {
    if (vk == platform::vk::Escape || vk == platform::vk::Return) Press(*ok_);
  };
}

}  // namespace ui

// The text pages' keys: which button each key presses on the credits, the tips and the
// tutorial, and that other keys press nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/widgets/host.h"
#include "ui/creditsdialog.h"
#include "ui/tipsdialog.h"
#include "ui/tutorialdialog.h"

namespace {

using namespace platform::widgets;

TEST(TextPages, EachKeyPressesItsButtonAndOtherKeysNothing) {
  platform::FontCache fonts;
  ui::TFormCredits credits(fonts);
  ui::TFormTips tips(fonts);
  ui::TFormTutorial tutorial(fonts);
  const struct {
    TForm* page;
    std::vector<std::pair<int, TPanel*>> keys;  // every key of the page and its button
  } cases[] = {
      {&credits, {{platform::vk::Escape, &credits.PanelOK()}, {platform::vk::Return, &credits.PanelOK()}}},
      {&tips,
       {{platform::vk::Escape, &tips.PanelCancel()},
        {platform::vk::Return, &tips.PanelNext()},
        {platform::vk::Space, &tips.PanelNext()}}},
      {&tutorial, {{platform::vk::Escape, &tutorial.PanelCancel()}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page->Name());
    TWidgetHost host(fonts);
    host.AddForm(*c.page);
    c.page->Show();
    std::vector<std::string> pressed;
    for (TWidget* w : c.page->Components())
      if (auto* panel = dynamic_cast<TPanel*>(w))
        panel->OnClick = [&pressed, panel](TWidget&) { pressed.push_back(panel->Name()); };
    for (const auto& [key, button] : c.keys) {
      pressed.clear();
      host.KeyDown(key);
      EXPECT_EQ(pressed, std::vector<std::string>{button->Name()}) << "key " << key;
    }
    pressed.clear();
    host.KeyDown('A');
    host.KeyDown(platform::vk::Tab);
    EXPECT_TRUE(pressed.empty()) << testing::PrintToString(pressed);
  }
}

}  // namespace

// The loading, error and game-over dialogs as the main window drives them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/widgets/host.h"
#include "ui/decoration.h"
#include "ui/errordialog.h"
#include "ui/gameoverdialog.h"
#include "ui/loadingdialog.h"

namespace {

using namespace platform::widgets;

TEST(LoadingDialog, TheBarIsThePercentOf664PixelsTruncatedAndNeverLeavesItsTrack) {
  struct Case {
    double percent;
    int width;
  };
  const Case cases[] = {{0, 0},      {50, 332},    {33.3, 221}, {99.99, 663},
                        {100, 664},  {150, 664},   {-5, 0},     {std::numeric_limits<double>::quiet_NaN(), 0},
                        {std::numeric_limits<double>::infinity(), 664}};
  platform::FontCache fonts;
  ui::TFormLoading loading(fonts);
  for (const Case& c : cases) {
    loading.SetProgress("Loading world", c.percent, "A tip");
    EXPECT_EQ(loading.PanelProgress().Width(), c.width) << c.percent;
  }
  EXPECT_EQ(loading.LabelInfo().Caption(), "Loading world");
  EXPECT_EQ(loading.LabelTip().Caption(), "A tip");
  EXPECT_EQ(loading.PanelBar().Width(), ui::TFormLoading::kBarWidth);
  EXPECT_LE(loading.PanelBar().FormLeft() + ui::TFormLoading::kBarWidth, loading.Width() - ui::kRimSize);
}

TEST(LoadingDialog, ATipTooLongForItsLabelKeepsTheDialogsSize) {
  platform::FontCache fonts;
  ui::TFormLoading loading(fonts);
  const int height = loading.LabelTip().Height(), formHeight = loading.Height();
  std::string tip;
  for (int i = 0; i < 40; ++i) tip += "Helicopters fly low over forests to stay hidden. ";
  loading.SetProgress("Loading", 10, tip);
  EXPECT_EQ(loading.LabelTip().Height(), height);
  EXPECT_EQ(loading.Height(), formHeight);
}

TEST(ErrorDialog, EnterEscapeAndOKCloseIt) {
  platform::FontCache fonts;
  TWidgetHost host(fonts);
  ui::TFormError error(fonts);
  host.AddForm(error);
  ui::TDialogForm* dialogs[] = {&error};
  ui::LayoutForms(dialogs, ui::TCornerSets{}, 800, 600);
  int closed = 0;
  error.PanelOK().OnClick = [&](TWidget&) {
    ++closed;
    error.Hide();
  };
  EXPECT_EQ(error.LabelCaption().Caption(), "Warning !");
  EXPECT_EQ(error.LabelText().Caption(), "File not found !");

  for (int vk : {platform::vk::Return, platform::vk::Escape}) {
    error.Show();
    EXPECT_TRUE(host.KeyDown(vk));
    EXPECT_FALSE(error.Visible());
  }
  error.Show();
  const int x = error.PanelOK().ScreenLeft() + 10, y = error.PanelOK().ScreenTop() + 10;
  host.MouseDown(x, y, TMouseButton::Left, 1, 100);
  host.MouseUp(x, y, TMouseButton::Left);
  EXPECT_EQ(closed, 3);
  EXPECT_FALSE(host.KeyDown(platform::vk::Return)) << "a hidden dialog takes no keys";
}

TEST(GameOverDialog, ShowsTheChosenButtonsCentredWithTheirRims) {
  platform::FontCache fonts;
  ui::TFormGameOver over(fonts);
  ui::TDialogForm* dialogs[] = {&over};
  ui::LayoutForms(dialogs, ui::TCornerSets{}, 1024, 768);
  struct Case {
    bool mainMenu, load, cont;
  };
  const Case cases[] = {{true, true, false}, {false, false, true}, {true, false, false}, {true, true, true}};
  TPanel* buttons[] = {&over.PanelMainMenu(), &over.PanelLoad(), &over.PanelContinue()};
  const int bodyWidth = over.Width() - 2 * ui::kRimSize;
  for (const Case& c : cases) {
    over.ShowButtons(c.mainMenu, c.load, c.cont);
    const bool want[] = {c.mainMenu, c.load, c.cont};
    int left = bodyWidth, right = 0;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(buttons[i]->Visible(), want[i]) << i;
      TWidget* rim = over.FindComponent(buttons[i]->Name() + "BR");
      ASSERT_NE(rim, nullptr);
      EXPECT_EQ(rim->Visible(), want[i]) << "the rim follows the button";
      EXPECT_EQ(rim->Left(), buttons[i]->Left() + buttons[i]->Width());
      if (!want[i]) continue;
      left = std::min(left, buttons[i]->Left());
      right = std::max(right, buttons[i]->Left() + buttons[i]->Width());
    }
    EXPECT_NEAR(left, bodyWidth - right, 1) << "as much room on the left as on the right";
  }
  over.SetTitle("Mission failed !");
  over.SetReason("Your helicopter was destroyed.");
  over.SetContinueCaption("Continue tutorial");
  EXPECT_EQ(over.PanelTitle().Caption(), "Mission failed !");
  EXPECT_EQ(over.LabelReason().Caption(), "Your helicopter was destroyed.");
  EXPECT_EQ(over.PanelContinue().Caption(), "Continue tutorial");
}

}  // namespace

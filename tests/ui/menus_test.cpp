// The menus' own rules, without a window: which main-menu buttons the first run, the
// tutorial's progress and this build's dialogs allow, rims that follow their buttons, the
// tutorial's locked lessons and descriptions under the mouse, the game menu's buttons and
// keys, and the generator dialog's progress page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/input.h"
#include "platform/widgets/host.h"
#include "ui/createworlddialog.h"
#include "ui/decoration.h"
#include "ui/gamemenu.h"
#include "ui/mainmenu.h"
#include "ui/tutorialdialog.h"

namespace {

using namespace platform::widgets;

std::vector<std::string> Shown(TForm& form) {
  std::vector<std::string> names;
  for (TWidget* w : form.Components()) {
    auto* panel = dynamic_cast<TPanel*>(w);
    if (panel && panel->Visible() && !panel->Caption().empty()) names.push_back(panel->Name());
  }
  return names;
}

// Clicks the middle of a widget through the host, as the player would.
void Click(TWidgetHost& host, const TWidget& w) {
  const int x = w.ScreenLeft() + w.Width() / 2, y = w.ScreenTop() + w.Height() / 2;
  host.MouseMove(x, y);
  host.MouseDown(x, y, TMouseButton::Left, 1, 0);
  host.MouseUp(x, y, TMouseButton::Left);
}

TEST(MainMenu, TheButtonsFollowTheFirstRunTheTutorialAndTheDialogsThere) {
  using V = std::vector<std::string>;
  struct Case {
    ui::TMainMenuState state;
    V shown;
  } cases[] = {
      {{false, 9, true, true, true, true}, V{"PanelCzech", "PanelEnglish"}},
      {{true, 0, true, true, false, false}, V{"PanelTutorial", "PanelTips", "PanelCredits", "PanelExit"}},
      {{true, 8, true, true, false, false}, V{"PanelTutorial", "PanelTips", "PanelCredits", "PanelExit"}},
      {{true, 9, true, true, false, false},
       V{"PanelCampaign", "PanelSkirmish", "PanelTutorial", "PanelTips", "PanelCredits", "PanelExit"}},
      {{true, 9, false, true, true, true},
       V{"PanelSkirmish", "PanelTutorial", "PanelLoadGame", "PanelOptions", "PanelTips", "PanelCredits", "PanelExit"}},
  };
  platform::FontCache fonts;
  ui::TFormMainMenu menu(fonts);
  ui::TCornerSets corners;
  ui::TDialogForm* dialog = &menu;
  ui::LayoutForms(std::span<ui::TDialogForm* const>(&dialog, 1), corners, 800, 600);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.shown));
    menu.Arrange(c.state);
    EXPECT_EQ(Shown(menu), c.shown);
    EXPECT_EQ(menu.LabelTitle().Visible(), c.state.languageChosen);
    // The title's shadow shows and moves with it, and the buttons start below both.
    const TLabel& title = menu.LabelTitle();
    const TWidget* shadow = title.Parent()->FindChild("Label1");
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->Visible(), title.Visible());
    EXPECT_EQ(shadow->Top(), title.Top() + 2);
    // Stacked without overlapping, inside the dialog, and each rim with its button.
    int lastBottom = title.Visible() ? shadow->Top() + shadow->Height() : 0;
    for (TWidget* w : menu.Components()) {
      auto* panel = dynamic_cast<TPanel*>(w);
      if (!panel || panel->Caption().empty() || panel->Name() == "PanelBack") continue;
      const TWidget* rim = panel->Parent()->FindChild(panel->Name() + "BR");
      ASSERT_NE(rim, nullptr) << panel->Name();
      EXPECT_EQ(rim->Visible(), panel->Visible()) << panel->Name();
      if (!panel->Visible()) continue;
      EXPECT_GT(panel->Top(), lastBottom) << panel->Name();
      EXPECT_EQ(rim->Top(), panel->Top() + panel->Height()) << panel->Name();
      lastBottom = panel->Top() + panel->Height();
    }
    EXPECT_LT(lastBottom, menu.Height() - 2 * ui::kRimSize);
  }
}

TEST(TutorialDialog, LessonsBeyondTheProgressAreLockedAndIgnoreClicksAndTheMouse) {
  platform::FontCache fonts;
  ui::TFormTutorial tutorial(fonts);
  std::vector<std::string> texts;
  for (int i = 0; i < 20; ++i) texts.push_back("text " + std::to_string(i));
  tutorial.Arrange(2, texts, TTRVLanguage::Czech);
  TWidgetHost host(fonts);
  host.AddForm(tutorial);
  tutorial.Show();
  int started = -1;
  tutorial.OnLesson = [&](int lesson) { started = lesson; };
  for (int n = 0; n < ui::kLessonCount; ++n) {
    SCOPED_TRACE(n);
    TPanel& lesson = tutorial.PanelTut(n);
    const bool open = n <= 2;
    EXPECT_EQ(lesson.Caption(), open ? texts[static_cast<std::size_t>(n)] : "Uzamčeno");
    EXPECT_EQ(lesson.Font().size, open ? 14 : 12);
    EXPECT_EQ(lesson.Cursor, open ? platform::CursorKind::Hand : platform::CursorKind::No);
    started = -1;
    Click(host, lesson);
    EXPECT_EQ(started, open ? n : -1);
    EXPECT_EQ(tutorial.LabelInfo().Caption(), open ? texts[static_cast<std::size_t>(n + 10)] : "");
  }
  // Lesson 0 is always open, and its description is the first one shown.
  tutorial.Arrange(0, texts, TTRVLanguage::English);
  EXPECT_EQ(tutorial.LabelInfo().Caption(), "text 10");
  EXPECT_EQ(tutorial.PanelTut(1).Caption(), "Locked");
  // Too few texts keep the designed captions instead of blank buttons.
  tutorial.Arrange(9, std::vector<std::string>{}, TTRVLanguage::English);
  EXPECT_EQ(tutorial.PanelTut(9).Caption(), "Boat battle");
}

TEST(GameMenu, OnlyOfferedButtonsShowAndEscapeContinues) {
  platform::FontCache fonts;
  ui::TFormGameMenu menu(fonts);
  EXPECT_EQ(Shown(menu), (std::vector<std::string>{"PanelContinue", "PanelExit"}));
  const int small = menu.Height();
  menu.Offers.save = true;
  menu.Arrange();
  EXPECT_TRUE(menu.PanelSave().Visible());
  EXPECT_GT(menu.Height(), small) << "the dialog grows with its buttons";
  menu.SetSaveAllowed(false);  // a mission's end is being shown
  EXPECT_FALSE(menu.PanelSave().Visible());
  menu.SetSaveAllowed(true);
  EXPECT_TRUE(menu.PanelSave().Visible());

  TWidgetHost host(fonts);
  host.AddForm(menu);
  menu.Show();
  int continued = 0;
  menu.PanelContinue().OnClick = [&](TWidget&) { ++continued; };
  host.KeyDown(platform::vk::Escape);
  EXPECT_EQ(continued, 1);
}

TEST(CreateWorldDialog, TheProgressPageHasNoButtonsAndShowsTheCampaignOnlyForOne) {
  platform::FontCache fonts;
  ui::TFormCreateWorld dialog(fonts);
  dialog.StartProgress("Tutorial");
  for (const char* name : {"PanelCancel", "PanelLast", "PanelNext"})
    EXPECT_FALSE(dialog.FindComponent(name)->Visible()) << name;
  EXPECT_EQ(dialog.LabelWorldName().Caption(), "Tutorial");

  TTRVProgressView view;
  view.title = "Create new world";
  view.task = "Calculating rivers 50%";
  view.taskBarWidth = 344;
  int shown = 0;
  dialog.OnProgress = [&](const TTRVProgressView&) { ++shown; };
  dialog.ShowProgress(view, "a tip");
  EXPECT_EQ(dialog.LabelInfo().Caption(), "Calculating rivers 50%");
  EXPECT_EQ(dialog.PanelBar().Width(), 344);
  EXPECT_FALSE(dialog.LabelWorldInfo().Visible());
  EXPECT_FALSE(dialog.PanelCampProgress().Parent()->Visible());
  EXPECT_EQ(dialog.LabelWorldName().Caption(), "Tutorial");

  view.campaign = true;
  view.nameLabel = "Archipelago";
  view.worldInfo = "World 3 of 16";
  view.campaignBarWidth = 5000;  // never past its track
  dialog.ShowProgress(view, "");
  EXPECT_TRUE(dialog.LabelWorldInfo().Visible());
  EXPECT_EQ(dialog.LabelWorldName().Caption(), "Archipelago");
  EXPECT_EQ(dialog.PanelCampProgress().Width(), kProgressBarWidth);
  EXPECT_EQ(shown, 2);
}

}  // namespace
